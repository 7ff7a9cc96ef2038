#include "optimizer/engine/shared_entries.h"

#include <cstdint>
#include <memory>

#include "common/registry_mod.h"
#include "optimizer/engine/missing_file.h"
#include "optimizer/engine/paths.h"
#include "optimizer/engine/registry_mistakes.h"
#include "optimizer/engine/registry_walk.h"
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
PathState JudgeValue(Engine& engine, RootKey root, const std::string& keyPath,
                     const common::RegistryEntry& entry) {
  const bool view32 = InWow64View(keyPath);
  auto judge = [&](const std::string& text) {
    return JudgeUninstallCommand(
        engine.machine, view32 ? As32BitProgramsSeeIt(engine.machine.system(), text) : text);
  };
  const PathState read = judge(entry.data);
  if (read != PathState::Missing) return read;
  const std::optional<std::string> stored =
      StoredText(engine.machine.registry(), root, keyPath, entry.name);
  if (!stored) return PathState::Unknown;
  if (*stored == entry.data) return PathState::Missing;
  return judge(*stored);
}

// Whether |keyPath| is there at all: the 32-bit programs' lists exist only on 64-bit Windows.
bool KeyExists(Engine& engine, const std::string& keyPath) {
  std::unique_ptr<vu::platform::RegistryKey> key;
  return engine.machine.registry().OpenKey(HKEY_LOCAL_MACHINE, keyPath, key) !=
         ERROR_FILE_NOT_FOUND;
}

// The SharedDLLs values of |keyPath| whose DLL is gone.
void FindOrphanedDllsIn(Engine& engine, const std::string& keyPath, OrphanList& list) {
  const bool view32 = InWow64View(keyPath);
  const MissingFileJudge isMissing(engine.machine);
  const bool read = ForEachValue(
      engine.machine.registry(), HKEY_LOCAL_MACHINE, keyPath,
      [&](const common::RegistryEntry& entry) {
        const std::string path =
            view32 ? As32BitProgramsSeeIt(engine.machine.system(), entry.name) : entry.name;
        list.AddJudged(isMissing(path), entry.name);
        return true;
      });
  if (!read) list.unjudged = true;
}

// Deletes |list|'s values from |keyPath|; true when the list was whole and each went.
bool DeleteOrphans(Engine& engine, const std::string& keyPath, const OrphanList& list) {
  bool allDone = list.Complete();
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
  if (judge) {
    bool seenDisplayName = false;
    const bool read =
        ForEachValue(registry, root, keyPath, [&](const common::RegistryEntry& entry) {
          if (entry.type != REG_SZ) return true;
          if (vu::platform::UpperCase(entry.name) == kDisplayName) seenDisplayName = true;
          if (!seenDisplayName || !EndsWithUninstallString(entry.name)) return true;
          const PathState state = JudgeValue(engine, root, keyPath, entry);
          list.AddJudged(state, keyPath);
          return state != PathState::Missing;  // listed once is enough
        });
    if (!read) list.unjudged = true;
  }
  const bool read = ForEachSubkey(registry, root, keyPath, [&](const std::string& name) {
    WalkUninstallKey(engine, root, keyPath + name + "\\", list, true);
  });
  if (!read) list.unjudged = true;
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
  // On 64-bit Windows the 32-bit programs keep their own list.
  const std::string twin = Wow64Twin(kSharedDllsKey);
  if (KeyExists(engine, twin)) {
    OrphanList twinList;
    FindOrphanedDllsIn(engine, twin, twinList);
    allDone = DeleteOrphans(engine, twin, twinList) && allDone;
  }
  return allDone;
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
  const std::string twin = Wow64Twin(kUninstallKey);
  if (KeyExists(engine, twin)) FindStaleUninstallEntries(engine, HKEY_LOCAL_MACHINE, twin, list);
  bool allDone = list.Complete();
  // An entry below one deleted before it went with that one.
  for (const std::string& keyPath : list.entries) {
    allDone = Gone(common::DeleteRegistryKeyChecked(engine.machine.registry(), HKEY_LOCAL_MACHINE,
                                                    keyPath)) &&
              allDone;
  }
  return allDone;
}

PathState JudgeUninstallCommand(vu::platform::Machine& machine, std::string_view text) {
  vu::platform::FileSystem& files = machine.files();
  const std::string command = TrimNull(text);
  // Only a command that starts with a program path on the system drive is judged at all.
  if (!IsSystemDrivePath(machine.system(), command)) return PathState::Exists;
  const PathHead head = ResolvePathHead(files, command);
  if (head.state != PathState::Exists) return head.state;
  const std::string_view rest = std::string_view(command).substr(head.length);

  const std::string systemDir = GetSystemDir(machine.system());
  if (systemDir.empty()) return PathState::Unknown;
  const std::string drive = systemDir.substr(0, 1) + ":\\";
  const std::size_t at = rest.find(drive);
  if (at == std::string_view::npos || at == 0) return PathState::Exists;
  std::string_view path = rest.substr(at);
  path = path.substr(0, path.find('"'));

  // The second path is gone only when every reading of it is: cut after its extension, whole,
  // or cut before a blank or comma (an argument that follows it unquoted).
  const PathState cut = ProbePath(files, CutAfterDot(path));
  const PathState whole = ResolvePathHead(files, path).state;
  if (cut == PathState::Exists || whole == PathState::Exists) return PathState::Exists;
  if (cut == PathState::Unknown || whole == PathState::Unknown) return PathState::Unknown;
  if (cut == PathState::Missing || whole == PathState::Missing) return PathState::Missing;
  return PathState::Invalid;
}

common::VbBool IsStaleUninstallCommand(vu::platform::Machine& machine, std::string_view text) {
  return common::ToVbBool(JudgeUninstallCommand(machine, text) == PathState::Missing);
}

}  // namespace vu::optimizer
