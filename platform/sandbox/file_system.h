// The sandbox machine's FileSystem: the file store behind the seam, each call first offered to
// fault injection. The subject of a fault rule is the path written "C:\X\y" whatever
// separators, "." or ".." the caller used; for a copy either path; for a listing the folder so
// written, a backslash and the pattern as given.
#pragma once

#include "platform/files.h"
#include "platform/sandbox/faults.h"
#include "platform/sandbox/file_store.h"

namespace vu::platform::sandbox {

class SandboxFileSystem final : public vu::platform::FileSystem {
 public:
  SandboxFileSystem(FileStore& store, Faults& faults) : store_(store), faults_(faults) {}

  Status FindFirst(std::string_view pattern, FindData& first,
                   std::unique_ptr<Listing>& listing) override;
  std::uint32_t Attributes(std::string_view path, Status* error = nullptr) override;
  Status SetAttributes(std::string_view path, std::uint32_t attributes) override;
  Status Remove(std::string_view path) override;
  Status Copy(std::string_view from, std::string_view to, bool failIfExists) override;
  Status MakeDirectory(std::string_view path) override;
  Status RemoveDirectory(std::string_view path) override;
  Status Length(std::string_view path, std::uint64_t& length) override;
  Status ReadFirstLine(std::string_view path, std::string& line) override;
  Status ReadAll(std::string_view path, std::string& bytes) override;
  Status WriteAll(std::string_view path, std::string_view bytes) override;
  Status Append(std::string_view path, std::string_view bytes) override;
  Status WriteProfileString(std::string_view file, std::string_view section, std::string_view key,
                            std::string_view value) override;
  Status ReadProfileString(std::string_view file, std::string_view section, std::string_view key,
                           std::string& value) override;

 private:
  FileStore& store_;
  Faults& faults_;
};

}  // namespace vu::platform::sandbox
