#include "optimizer/engine/restore_check.h"

#include "optimizer/engine/backup_log.h"
#include "optimizer/engine/restore.h"
#include "platform/ini.h"
#include "platform/text.h"

namespace vu::optimizer {

using vu::platform::Status;
using vu::platform::UpperCase;

namespace {

bool Missing(Status status) {
  return status == ERROR_FILE_NOT_FOUND || status == ERROR_PATH_NOT_FOUND;
}

std::string Error(Status status) {
  return "it cannot be read (error " + std::to_string(status) + ")";
}

std::string Join(std::string_view folder, std::string_view name) {
  std::string path(folder);
  if (!path.empty() && path.back() == '\\') path.pop_back();
  return path + '\\' + std::string(name);
}

}  // namespace

void RestoreExpectation::Undid(const FileRecord& r) {
  PathState& state = paths_[UpperCase(r.path)];
  if (state.path.empty()) state.path = r.path;
  const auto clear = [&] {
    state.copy.clear();
    state.entries.clear();
    state.sectionsAbsent.clear();
  };
  switch (r.kind) {
    case FileRecord::Kind::kFile:
    case FileRecord::Kind::kFolder:
      clear();
      state.exists = true;
      state.folder = r.kind == FileRecord::Kind::kFolder;
      state.attributes = r.attributes;
      if (!state.folder) state.copy = r.copy;
      break;
    case FileRecord::Kind::kAttributes:
      // Attributes cannot be set on a path that is gone by then.
      if (state.exists == false) break;
      state.exists = true;
      state.attributes = r.attributes;
      break;
    case FileRecord::Kind::kEntry: {
      // Setting an entry makes the file; removing one from a missing file leaves it missing.
      if (r.value) state.exists = true;
      if (state.exists == false) break;
      state.entries[{UpperCase(r.section), UpperCase(r.key)}] = {r.section, r.key, r.value};
      if (r.sectionExisted) {
        state.sectionsAbsent.erase(UpperCase(r.section));
      } else {
        state.sectionsAbsent[UpperCase(r.section)] = r.section;
      }
      break;
    }
    case FileRecord::Kind::kNewFile:
    case FileRecord::Kind::kNewFolder:
      clear();
      state.exists = false;
      state.folder = r.kind == FileRecord::Kind::kNewFolder;
      state.attributes.reset();
      break;
  }
}

void RestoreExpectation::Undid(const std::vector<common::RegFileEdit>& edits) {
  using Kind = common::RegFileEdit::Kind;
  for (const common::RegFileEdit& e : edits) {
    const std::string name = UpperCase(common::RegKeyName(e.root, e.path));
    KeyState& key = keys_[name];
    key.root = e.root;
    if (key.path.empty()) key.path = e.path;
    switch (e.kind) {
      case Kind::kDeleteKey:
        for (auto& [other, state] : keys_) {
          if (other == name || other.starts_with(name + "\\")) {
            state.exists = false;
            state.values.clear();
          }
        }
        break;
      case Kind::kCreateKey:
        key.exists = true;
        // A key made again makes the keys above it too.
        for (auto& [other, state] : keys_) {
          if (state.exists == false && name.starts_with(other + "\\")) state.exists = true;
        }
        break;
      case Kind::kSetValue:
        key.exists = true;
        key.values[UpperCase(e.name)] = {e.name, std::make_pair(e.type, e.data)};
        break;
      case Kind::kDeleteValue:
        if (key.exists != false) key.values[UpperCase(e.name)] = {e.name, std::nullopt};
        break;
    }
  }
}

std::string RestoreExpectation::CheckPath(vu::platform::FileSystem& files, std::string_view folder,
                                          const PathState& state) const {
  Status error = ERROR_SUCCESS;
  const std::uint32_t attributes = files.Attributes(state.path, &error);
  if (attributes == INVALID_FILE_ATTRIBUTES && !Missing(error)) return Error(error);
  const bool there = attributes != INVALID_FILE_ATTRIBUTES;
  if (state.exists == false) return there ? "it is still there" : "";
  if (state.exists == true && !there) return "it is missing";
  if (!there) return "";  // only entries to remove from a file that is not there
  if (state.exists == true && state.folder != ((attributes & FILE_ATTRIBUTE_DIRECTORY) != 0))
    return state.folder ? "it is not a folder" : "it is a folder";
  if (state.attributes && (attributes & kKeptAttributes) != *state.attributes)
    return "its attributes were not put back";
  if (!state.copy.empty() || !state.entries.empty() || !state.sectionsAbsent.empty()) {
    std::string bytes;
    Status status = files.ReadAll(state.path, bytes);
    if (status != ERROR_SUCCESS) return Error(status);
    if (!state.copy.empty()) {
      std::string saved;
      status = files.ReadAll(Join(folder, state.copy), saved);
      if (status != ERROR_SUCCESS) return "its copy in the backup " + Error(status);
      if (bytes != saved) return "it does not hold what it held before";
    }
    for (const auto& [names, entry] : state.entries) {
      if (vu::platform::ini::GetEntry(bytes, entry.section, entry.key) != entry.value)
        return entry.key + " in [" + entry.section + "] was not put back";
    }
    for (const auto& [upper, section] : state.sectionsAbsent) {
      if (vu::platform::ini::HasSection(bytes, section))
        return "the section [" + section + "] is still there";
    }
  }
  return "";
}

std::string RestoreExpectation::CheckKey(vu::platform::Registry& registry,
                                         const KeyState& state) const {
  std::unique_ptr<vu::platform::RegistryKey> key;
  const Status opened = registry.OpenKey(state.root, state.path, key);
  if (opened != ERROR_SUCCESS && !Missing(opened)) return Error(opened);
  if (state.exists == false) return opened == ERROR_SUCCESS ? "the key is still there" : "";
  if (opened != ERROR_SUCCESS) return "the key is missing";
  for (const auto& [upper, value] : state.values) {
    std::uint32_t type = 0;
    std::string data;
    const Status status = key->QueryValue(value.name, type, data);
    const std::string label =
        value.name.empty() ? std::string("the default value") : "value \"" + value.name + "\"";
    if (status != ERROR_SUCCESS && !Missing(status)) return label + " " + Error(status);
    if (!value.data && status == ERROR_SUCCESS) return label + " is still there";
    if (value.data && status != ERROR_SUCCESS) return label + " is missing";
    if (value.data && (type != value.data->first || data != value.data->second))
      return label + " was not put back";
  }
  return "";
}

void RestoreExpectation::Compare(vu::platform::Machine& machine, std::string_view folder,
                                 RestoreReport& report) const {
  for (const auto& [upper, state] : paths_) {
    const std::string problem = CheckPath(machine.files(), folder, state);
    if (problem.empty()) {
      report.restored.push_back("Restored " + state.path);
    } else {
      report.failed.push_back("Not restored: " + state.path + ": " + problem);
    }
  }
  for (const auto& [upper, state] : keys_) {
    const std::string name = common::RegKeyName(state.root, state.path);
    const std::string problem = CheckKey(machine.registry(), state);
    if (problem.empty()) {
      report.restored.push_back("Restored " + name);
    } else {
      report.failed.push_back("Not restored: " + name + ": " + problem);
    }
  }
}

}  // namespace vu::optimizer
