#include "optimizer/engine/shared_entries.h"

#include <cstdint>

#include "common/registry_mod.h"
#include "optimizer/engine/missing_file.h"
#include "optimizer/engine/paths.h"
#include "optimizer/engine/registry_mistakes.h"
#include "optimizer/engine/wow64_view.h"
#include "platform/text.h"

namespace vu::optimizer {

namespace {

using vu::platform::RootKey;
using vu::platform::Status;

constexpr std::string_view kDisplayName = "DISPLAYNAME";
constexpr std::string_view kUninstallString = "UNINSTALLSTRING";

bool Gone(Status status) {
  return status == ERROR_SUCCESS || status == ERROR_FILE_NOT_FOUND;
}

bool EndsWithUninstallString(std::string_view name) {
  const std::string upper = vu::platform::UpperCase(name);
  return upper.ends_with(kUninstallString);
}

// A command is stale only when it is judged so both as the enumeration reads it and as stored.
// The 32-bit programs' list (on 64-bit Windows) names what they see.
bool IsStaleValue(Engine& engine, RootKey root, const std::string& keyPath,
                  const common::RegistryEntry& entry) {
  const bool view32 = InWow64View(keyPath);
  auto stale = [&](const std::string& text) {
    return common::IsSet(IsStaleUninstallCommand(
        engine.machine, view32 ? As32BitProgramsSeeIt(engine.machine.system(), text) : text));
  };
  if (!stale(entry.data)) return false;
  const std::optional<std::string> stored =
      StoredText(engine.machine.registry(), root, keyPath, entry.name);
  if (!stored) return false;
  return *stored == entry.data || stale(*stored);
}

// The SharedDLLs values of |keyPath| whose DLL is gone.
void FindOrphanedDllsIn(Engine& engine, const std::string& keyPath, OrphanList& list) {
  vu::platform::Registry& registry = engine.machine.registry();
  const bool view32 = InWow64View(keyPath);
  for (std::uint32_t index = 0;; ++index) {
    const common::RegistryEntry entry =
        common::EnumRegistryValue(registry, HKEY_LOCAL_MACHINE, keyPath, index);
    if (entry.data == common::kEnumNotFound) break;
    const std::string path =
        view32 ? As32BitProgramsSeeIt(engine.machine.system(), entry.name) : entry.name;
    if (common::IsSet(IsMissingFile(engine.machine, path))) list.Add(entry.name);
  }
}

// Deletes |list|'s values from |keyPath|; true when each went.
bool DeleteOrphans(Engine& engine, const std::string& keyPath, const OrphanList& list) {
  bool allDone = !list.Overflowed();
  for (const std::string& name : list.entries) {
    allDone = Gone(common::DeleteRegistryValueChecked(engine.machine.registry(), HKEY_LOCAL_MACHINE,
                                                      keyPath, name)) &&
              allDone;
  }
  return allDone;
}

// One key of the walk; |judge| is false for the key the walk started from.
void WalkUninstallKey(Engine& engine, RootKey root, const std::string& keyPath,
                      StaleEntryList& list, bool judge) {
  vu::platform::Registry& registry = engine.machine.registry();
  engine.progress.Yield();
  bool seenDisplayName = false;
  bool listed = false;
  for (std::uint32_t index = 0; judge && !listed; ++index) {
    const common::RegistryEntry entry = common::EnumRegistryValue(registry, root, keyPath, index);
    if (entry.data == common::kEnumNotFound) break;
    if (entry.type != REG_SZ) continue;
    if (vu::platform::UpperCase(entry.name) == kDisplayName) seenDisplayName = true;
    if (seenDisplayName && EndsWithUninstallString(entry.name) &&
        IsStaleValue(engine, root, keyPath, entry)) {
      list.Add(keyPath);
      listed = true;
    }
  }
  for (std::uint32_t index = 0;; ++index) {
    const std::string name = common::EnumRegistryKey(registry, root, keyPath, index);
    if (name == common::kEnumNotFound) break;
    WalkUninstallKey(engine, root, keyPath + name + "\\", list, true);
  }
}

}  // namespace

int FindOrphanedDlls(Engine& engine, OrphanList& list) {
  FindOrphanedDllsIn(engine, std::string(kSharedDllsKey), list);
  return list.count;
}

bool RemoveOrphanedDlls(Engine& engine) {
  OrphanList list;
  FindOrphanedDlls(engine, list);
  bool allDone = DeleteOrphans(engine, std::string(kSharedDllsKey), list);
  // On 64-bit Windows the 32-bit programs keep their own list (absent elsewhere: nothing found).
  const std::string twin = Wow64Twin(kSharedDllsKey);
  OrphanList twinList;
  FindOrphanedDllsIn(engine, twin, twinList);
  return DeleteOrphans(engine, twin, twinList) && allDone;
}

int FindStaleUninstallEntries(Engine& engine, RootKey root, const std::string& keyPath,
                              StaleEntryList& list) {
  WalkUninstallKey(engine, root, keyPath, list, false);
  return list.count;
}

bool RemoveStaleUninstallEntries(Engine& engine) {
  StaleEntryList list;
  FindStaleUninstallEntries(engine, HKEY_LOCAL_MACHINE, std::string(kUninstallKey), list);
  // The 32-bit programs' own list on 64-bit Windows, judged as well.
  FindStaleUninstallEntries(engine, HKEY_LOCAL_MACHINE, Wow64Twin(kUninstallKey), list);
  bool allDone = !list.Overflowed();
  // An entry below one deleted before it went with that one.
  for (const std::string& keyPath : list.entries) {
    allDone = Gone(common::DeleteRegistryKeyChecked(engine.machine.registry(), HKEY_LOCAL_MACHINE,
                                                    keyPath)) &&
              allDone;
  }
  return allDone;
}

common::VbBool IsStaleUninstallCommand(vu::platform::Machine& machine, std::string_view text) {
  vu::platform::FileSystem& files = machine.files();
  const std::string command = TrimNull(text);
  // Only a command that starts with a program path on the system drive is judged at all.
  if (!IsSystemDrivePath(machine.system(), command)) return common::kFalse;
  const PathHead head = ResolvePathHead(files, command);
  if (head.state == PathState::Missing) return common::kTrue;
  if (head.state == PathState::Unknown) return common::kFalse;
  const std::string_view rest = std::string_view(command).substr(head.length);

  const std::string systemDir = GetSystemDir(machine.system());
  if (systemDir.empty()) return common::kFalse;
  const std::string drive = systemDir.substr(0, 1) + ":\\";
  const std::size_t at = rest.find(drive);
  if (at == std::string_view::npos || at == 0) return common::kFalse;
  std::string_view path = rest.substr(at);
  path = path.substr(0, path.find('"'));

  // The second path is gone only when no reading of it exists: cut after its extension, whole,
  // or cut before a blank or comma (an argument that follows it unquoted).
  const std::string cut = CutAfterDot(path);
  const PathState cutState = ProbePath(files, cut);
  if (cutState == PathState::Exists) return common::kFalse;
  const PathHead whole = ResolvePathHead(files, path);
  if (whole.state == PathState::Exists) return common::kFalse;
  return common::ToVbBool(cutState == PathState::Missing || whole.state == PathState::Missing);
}

}  // namespace vu::optimizer
