// Whole-file reads and writes on the host, with host errors turned into Win32 status codes.
#pragma once

#include <cstddef>
#include <cstdio>
#include <functional>
#include <string>
#include <string_view>
#include <system_error>

#include "platform/status.h"

namespace vu::platform::sandbox {

// The Win32 status closest to a host error.
Status StatusFromError(std::error_code error);

// An open host file (FILE*). Not copyable; destroying it closes the file.
class HostFile {
 public:
  HostFile(const std::string& path, const char* mode);
  HostFile(const HostFile&) = delete;
  HostFile& operator=(const HostFile&) = delete;
  ~HostFile();

  explicit operator bool() const { return file_ != nullptr; }
  std::FILE* get() const { return file_; }
  // Closes now, reporting a write error that only shows at closing.
  Status Close();

 private:
  std::FILE* file_;
};

// Reads at most |limit| bytes from the start of the file.
Status ReadHostFile(const std::string& path, std::string& bytes,
                    std::size_t limit = static_cast<std::size_t>(-1));
// Hands each line of the file to |visit|, without its line end ("\n" or "\r\n"), reading a
// piece at a time: a file of many lines is never held whole.
Status ForEachHostLine(const std::string& path, const std::function<void(std::string_view)>& visit);
// Creates or truncates the file and writes |bytes|.
Status WriteHostFile(const std::string& path, std::string_view bytes);
// Writes a temporary file and renames it over |path|, so that a reader sees the old content or
// the new, never a part. The temporary file is made in |scratch| (a folder on the same host file
// system) when given, else beside |path|: a program killed in between leaves it there.
Status ReplaceHostFile(const std::string& path, std::string_view bytes,
                       const std::string& scratch = {});
// Appends |bytes| to the file, creating it when missing.
Status AppendHostFile(const std::string& path, std::string_view bytes);
// The same, returning only after the bytes (and a new file's name) are on stable storage.
Status AppendHostFileDurably(const std::string& path, std::string_view bytes);

}  // namespace vu::platform::sandbox
