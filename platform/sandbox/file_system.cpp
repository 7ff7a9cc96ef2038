#include "platform/sandbox/file_system.h"

#include <vector>

#include "platform/sandbox/layout.h"
#include "platform/sandbox/paths.h"

namespace vu::platform::sandbox {
namespace {

// The listing is taken whole at FindFirst: later changes to the folder do not show in it, which
// is one of the behaviours Windows allows.
class SandboxListing final : public Listing {
 public:
  explicit SandboxListing(std::vector<FindData> entries) : entries_(std::move(entries)) {}

  bool Next(FindData& entry) override {
    if (next_ >= entries_.size()) return false;
    entry = std::move(entries_[next_++]);
    return true;
  }

 private:
  std::vector<FindData> entries_;
  std::size_t next_ = 1;  // the first entry went out with FindFirst
};

}  // namespace

Status SandboxFileSystem::FindFirst(std::string_view pattern, FindData& first,
                                    std::unique_ptr<Listing>& listing) {
  return Find(pattern, first, listing, true);
}

Status SandboxFileSystem::FindFirstNames(std::string_view pattern, FindData& first,
                                         std::unique_ptr<Listing>& listing) {
  return Find(pattern, first, listing, false);
}

Status SandboxFileSystem::Find(std::string_view pattern, FindData& first,
                               std::unique_ptr<Listing>& listing, bool sizes) {
  listing.reset();
  std::vector<FindData> entries;
  const Status status = store_.List(pattern, entries, sizes);
  if (status != ERROR_SUCCESS) return status;
  first = entries.front();
  listing = std::make_unique<SandboxListing>(std::move(entries));
  return ERROR_SUCCESS;
}

std::uint32_t SandboxFileSystem::Attributes(std::string_view path, Status* error) {
  return store_.Attributes(path, error);
}

Status SandboxFileSystem::SetAttributes(std::string_view path, std::uint32_t attributes) {
  return store_.SetAttributes(path, attributes);
}

SandboxFileSystem::SandboxFileSystem(FileStore& store, const std::string& machineDir)
    : store_(store),
      running_(machineDir, store.resolver()),
      journal_(machineDir + "/" + std::string(kJournal)) {}

Status SandboxFileSystem::Remove(std::string_view path) {
  if (running_.InUse(path)) return ERROR_SHARING_VIOLATION;
  return store_.Remove(path);
}

Status SandboxFileSystem::RemoveAtRestart(std::string_view path) {
  HostEntry entry;
  const Status status = store_.resolver().Resolve(path, entry);
  if (status != ERROR_SUCCESS) return status;
  if (!entry.exists()) return ERROR_FILE_NOT_FOUND;
  // As asked, as Windows keeps it: a folder too (it goes only if it is empty by then).
  return journal_.Append(std::string(kRestartDeletionPrefix) + std::string(path));
}

Status SandboxFileSystem::Copy(std::string_view from, std::string_view to, bool failIfExists) {
  // A running program cannot be replaced; one that does not exist yet cannot be running.
  if (running_.InUse(to)) return ERROR_SHARING_VIOLATION;
  return store_.Copy(from, to, failIfExists);
}

Status SandboxFileSystem::MakeDirectory(std::string_view path) {
  return store_.MakeDirectory(path);
}

Status SandboxFileSystem::RemoveDirectory(std::string_view path) {
  return store_.RemoveDirectory(path);
}

Status SandboxFileSystem::Length(std::string_view path, std::uint64_t& length) {
  return store_.Length(path, length);
}

Status SandboxFileSystem::ReadFirstLine(std::string_view path, std::string& line) {
  return store_.ReadFirstLine(path, line);
}

Status SandboxFileSystem::ReadAll(std::string_view path, std::string& bytes) {
  return store_.ReadAll(path, bytes);
}

Status SandboxFileSystem::WriteAll(std::string_view path, std::string_view bytes) {
  return store_.WriteAll(path, bytes);
}

Status SandboxFileSystem::Append(std::string_view path, std::string_view bytes) {
  return store_.Append(path, bytes);
}

Status SandboxFileSystem::WriteProfileString(std::string_view file, std::string_view section,
                                             std::string_view key, std::string_view value) {
  return store_.WriteProfileString(file, section, key, value);
}

Status SandboxFileSystem::ReadProfileString(std::string_view file, std::string_view section,
                                            std::string_view key, std::string& value) {
  return store_.ReadProfileString(file, section, key, value);
}

}  // namespace vu::platform::sandbox
