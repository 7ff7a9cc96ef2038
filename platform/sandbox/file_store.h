// The files of the sandbox machine's drives with Windows' rules and status codes, without fault
// injection: the file system and the shell are built on it.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/files.h"
#include "platform/sandbox/attributes.h"
#include "platform/sandbox/paths.h"

namespace vu::platform::sandbox {

class FileStore {
 public:
  explicit FileStore(const std::string& machineDir);
  FileStore(const FileStore&) = delete;
  FileStore& operator=(const FileStore&) = delete;

  const PathResolver& resolver() const { return resolver_; }

  // Every entry of "folder\pattern" in listing order: "." and ".." first (not at a drive root),
  // then the names in case-insensitive order. ERROR_FILE_NOT_FOUND when nothing matches.
  // The entries |pattern| lists, with their sizes unless |sizes| is false (then 0).
  Status List(std::string_view pattern, std::vector<FindData>& entries, bool sizes = true);

  std::uint32_t Attributes(std::string_view path, Status* error);
  Status SetAttributes(std::string_view path, std::uint32_t attributes);
  Status Remove(std::string_view path);
  Status Copy(std::string_view from, std::string_view to, bool failIfExists);
  Status MakeDirectory(std::string_view path);
  // Makes the folder and every missing folder above it.
  Status MakeDirectories(std::string_view path);
  Status RemoveDirectory(std::string_view path);
  Status Length(std::string_view path, std::uint64_t& length);
  Status ReadFirstLine(std::string_view path, std::string& line);
  Status ReadAll(std::string_view path, std::string& bytes);
  Status WriteAll(std::string_view path, std::string_view bytes);
  Status Append(std::string_view path, std::string_view bytes);
  Status WriteProfileString(std::string_view file, std::string_view section, std::string_view key,
                            std::string_view value);
  Status ReadProfileString(std::string_view file, std::string_view section, std::string_view key,
                           std::string& value);

 private:
  // The settable attribute bits of an existing entry.
  std::uint32_t BitsOf(const HostEntry& entry) const;
  // Resolves an existing file for reading.
  Status ResolveFile(std::string_view path, HostEntry& entry);
  // Resolves a file about to be written: refused when it is a folder or read-only.
  Status ResolveForWriting(std::string_view path, HostEntry& entry);
  // Keeps the attributes right after a write: a new file starts as archive, a changed one
  // gets the archive bit.
  Status AfterWriting(const HostEntry& entry, bool existed);
  Status ReadContent(std::string_view path, std::string& bytes, std::size_t limit);

  PathResolver resolver_;
  AttributeStore attributes_;
  // The machine folder, outside every drive: where a file being replaced is written first, so
  // that a program killed in between leaves nothing on the machine's drives.
  std::string machineDir_;
};

}  // namespace vu::platform::sandbox
