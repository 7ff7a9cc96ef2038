#include "tests/support/machine_snapshot.h"

#include <gtest/gtest.h>

#include <memory>

#include "common/regedit4.h"
#include "platform/text.h"

namespace vu::test_support {
namespace {

using vu::platform::FileSystem;
using vu::platform::FindData;

void AddRegistry(vu::platform::Registry& registry, vu::platform::RootKey root,
                 MachineSnapshot& shot) {
  std::string text;
  ASSERT_EQ(common::ExportRegFile(registry, {{root, ""}}, text), ERROR_SUCCESS);
  std::vector<common::RegFileEdit> edits;
  common::RegFileProblem problem;
  ASSERT_TRUE(common::ParseRegFile(text, edits, problem)) << problem.message;
  for (const common::RegFileEdit& e : edits) {
    auto& key = shot.registry[vu::platform::UpperCase(common::RegKeyName(e.root, e.path))];
    if (e.kind == common::RegFileEdit::Kind::kSetValue)
      key[vu::platform::UpperCase(e.name)] = std::to_string(e.type) + ":" + e.data;
  }
}

bool IsBackups(const std::string& path) {
  return vu::platform::UpperCase(path).ends_with("\\VELLORIA OPTIMIZER BACKUPS");
}

void AddFolder(FileSystem& files, const std::string& folder, MachineSnapshot& shot) {
  FindData entry;
  std::unique_ptr<vu::platform::Listing> listing;
  if (files.FindFirst(folder + "\\*", entry, listing) != ERROR_SUCCESS) return;
  std::vector<FindData> entries;
  do {
    if (entry.name != "." && entry.name != "..") entries.push_back(entry);
  } while (listing->Next(entry));
  listing.reset();
  for (const FindData& e : entries) {
    const std::string path = folder + "\\" + e.name;
    if (IsBackups(path)) continue;
    std::string line = std::to_string(e.attributes) + " " + std::to_string(e.size);
    if (e.attributes & FILE_ATTRIBUTE_DIRECTORY) {
      AddFolder(files, path, shot);
    } else {
      std::string bytes;
      files.ReadAll(path, bytes);
      line += " " + bytes;
    }
    shot.drive[path] = line;  // the spelling counts too
  }
}

template <typename Map, typename Note>
void Compare(const Map& want, const Map& got, const std::string& what, Note note) {
  for (const auto& [name, entry] : want) {
    const auto it = got.find(name);
    if (it == got.end()) {
      note(what + " gone: " + name);
    } else if (!(it->second == entry)) {
      note(what + " differs: " + name);
    }
  }
  for (const auto& [name, entry] : got) {
    if (!want.count(name)) note(what + " added: " + name);
  }
}

}  // namespace

MachineSnapshot TakeSnapshot(vu::platform::Machine& machine,
                             const std::vector<std::string>& drives) {
  MachineSnapshot shot;
  AddRegistry(machine.registry(), HKEY_LOCAL_MACHINE, shot);
  AddRegistry(machine.registry(), HKEY_USERS, shot);
  for (const std::string& drive : drives)
    AddFolder(machine.files(), drive, shot);
  return shot;
}

std::vector<std::string> SnapshotDiff(const MachineSnapshot& want, const MachineSnapshot& got,
                                      std::size_t most) {
  std::vector<std::string> lines;
  const auto note = [&](const std::string& line) {
    if (lines.size() < most) lines.push_back(line);
  };
  for (const auto& [key, values] : want.registry) {
    const auto it = got.registry.find(key);
    if (it == got.registry.end()) {
      note("key gone: " + key);
    } else {
      Compare(values, it->second, "value of " + key, note);
    }
  }
  for (const auto& [key, values] : got.registry) {
    if (!want.registry.count(key)) note("key added: " + key);
  }
  Compare(want.drive, got.drive, "file", note);
  return lines;
}

std::string SnapshotDiffText(const MachineSnapshot& want, const MachineSnapshot& got) {
  std::string text;
  for (const std::string& line : SnapshotDiff(want, got))
    text += line + "\n";
  return text;
}

}  // namespace vu::test_support
