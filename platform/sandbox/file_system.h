// The sandbox machine's FileSystem: the file store behind the seam, with the machine's running
// programs' files in use.
#pragma once

#include <string>

#include "platform/files.h"
#include "platform/sandbox/file_store.h"
#include "platform/sandbox/journal.h"
#include "platform/sandbox/running_programs.h"

namespace vu::platform::sandbox {

class SandboxFileSystem final : public vu::platform::FileSystem {
 public:
  // |machineDir|: the machine's folder, which holds the running programs' list and the journal.
  SandboxFileSystem(FileStore& store, const std::string& machineDir);

  Status FindFirst(std::string_view pattern, FindData& first,
                   std::unique_ptr<Listing>& listing) override;
  Status FindFirstNames(std::string_view pattern, FindData& first,
                        std::unique_ptr<Listing>& listing) override;
  std::uint32_t Attributes(std::string_view path, Status* error = nullptr) override;
  Status SetAttributes(std::string_view path, std::uint32_t attributes) override;
  Status Remove(std::string_view path) override;
  // Writes the journal's "delete-at-restart <path>" line; the file stays.
  Status RemoveAtRestart(std::string_view path) override;
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
  Status Find(std::string_view pattern, FindData& first, std::unique_ptr<Listing>& listing,
              bool sizes);

  FileStore& store_;
  RunningPrograms running_;
  Journal journal_;
};

}  // namespace vu::platform::sandbox
