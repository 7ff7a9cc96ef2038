#include "platform/sandbox/file_system.h"

#include <vector>

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
  listing.reset();
  if (auto fault = faults_.Check(Op::FindFirst, FaultSubject(pattern))) return *fault;
  std::vector<FindData> entries;
  const Status status = store_.List(pattern, entries);
  if (status != ERROR_SUCCESS) return status;
  first = entries.front();
  listing = std::make_unique<SandboxListing>(std::move(entries));
  return ERROR_SUCCESS;
}

std::uint32_t SandboxFileSystem::Attributes(std::string_view path, Status* error) {
  if (auto fault = faults_.Check(Op::Attributes, FaultSubject(path))) {
    if (error != nullptr) *error = *fault;
    return INVALID_FILE_ATTRIBUTES;
  }
  return store_.Attributes(path, error);
}

Status SandboxFileSystem::SetAttributes(std::string_view path, std::uint32_t attributes) {
  if (auto fault = faults_.Check(Op::SetAttributes, FaultSubject(path))) return *fault;
  return store_.SetAttributes(path, attributes);
}

Status SandboxFileSystem::Remove(std::string_view path) {
  if (auto fault = faults_.Check(Op::Remove, FaultSubject(path))) return *fault;
  return store_.Remove(path);
}

Status SandboxFileSystem::Copy(std::string_view from, std::string_view to, bool failIfExists) {
  if (auto fault = faults_.Check(Op::Copy, FaultSubject(from), FaultSubject(to))) return *fault;
  return store_.Copy(from, to, failIfExists);
}

Status SandboxFileSystem::MakeDirectory(std::string_view path) {
  if (auto fault = faults_.Check(Op::MakeDirectory, FaultSubject(path))) return *fault;
  return store_.MakeDirectory(path);
}

Status SandboxFileSystem::RemoveDirectory(std::string_view path) {
  if (auto fault = faults_.Check(Op::RemoveDirectory, FaultSubject(path))) return *fault;
  return store_.RemoveDirectory(path);
}

Status SandboxFileSystem::Length(std::string_view path, std::uint64_t& length) {
  if (auto fault = faults_.Check(Op::Length, FaultSubject(path))) return *fault;
  return store_.Length(path, length);
}

Status SandboxFileSystem::ReadFirstLine(std::string_view path, std::string& line) {
  if (auto fault = faults_.Check(Op::ReadFirstLine, FaultSubject(path))) return *fault;
  return store_.ReadFirstLine(path, line);
}

Status SandboxFileSystem::ReadAll(std::string_view path, std::string& bytes) {
  if (auto fault = faults_.Check(Op::ReadAll, FaultSubject(path))) return *fault;
  return store_.ReadAll(path, bytes);
}

Status SandboxFileSystem::WriteAll(std::string_view path, std::string_view bytes) {
  if (auto fault = faults_.Check(Op::WriteAll, FaultSubject(path))) return *fault;
  return store_.WriteAll(path, bytes);
}

Status SandboxFileSystem::Append(std::string_view path, std::string_view bytes) {
  if (auto fault = faults_.Check(Op::Append, FaultSubject(path))) return *fault;
  return store_.Append(path, bytes);
}

Status SandboxFileSystem::WriteProfileString(std::string_view file, std::string_view section,
                                             std::string_view key, std::string_view value) {
  if (auto fault = faults_.Check(Op::WriteProfileString, FaultSubject(file))) return *fault;
  return store_.WriteProfileString(file, section, key, value);
}

Status SandboxFileSystem::ReadProfileString(std::string_view file, std::string_view section,
                                            std::string_view key, std::string& value) {
  if (auto fault = faults_.Check(Op::ReadProfileString, FaultSubject(file))) return *fault;
  return store_.ReadProfileString(file, section, key, value);
}

}  // namespace vu::platform::sandbox
