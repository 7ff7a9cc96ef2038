#include "optimizer/engine/registry_mistakes.h"

#include <cstdint>
#include <memory>

#include "common/registry_mod.h"
#include "common/vb.h"
#include "optimizer/engine/missing_file.h"
#include "optimizer/engine/paths.h"
#include "optimizer/engine/registry_walk.h"
#include "optimizer/engine/wow64_view.h"
#include "platform/text.h"

namespace vu::optimizer {

namespace {

using vu::platform::RootKey;

struct Pass {
  RootKey root;
  const char* section;
};
constexpr Pass kPasses[] = {{HKEY_LOCAL_MACHINE, "HKEY_LOCAL_MACHINE :"},
                            {HKEY_CURRENT_USER, "HKEY_CURRENT_USER :"},
                            {HKEY_USERS, "HKEY_USERS :"}};
constexpr const char* kStartKey = "Software\\";
constexpr std::string_view kExcludedBranch = "SOFTWARE\\CLASSES\\";
// The list of installed programs: its entries are judged whole by the uninstall-entries step
// (or left alone when that step is not chosen). Judging their values one by one here would
// strip an entry of its uninstall command and leave a stub the other step can no longer judge.
constexpr std::string_view kUninstallBranch =
    "SOFTWARE\\MICROSOFT\\WINDOWS\\CURRENTVERSION\\UNINSTALL\\";
// Both branches again in the 32-bit programs' keys, as the 64-bit view shows them on 64-bit
// Windows.
constexpr std::string_view kExcludedWow64Branch = "SOFTWARE\\WOW6432NODE\\CLASSES\\";
constexpr std::string_view kUninstallWow64Branch =
    "SOFTWARE\\WOW6432NODE\\MICROSOFT\\WINDOWS\\CURRENTVERSION\\UNINSTALL\\";
// The performance counters' names and help texts: served by the system on NT, not stored values
// (opened, they cannot be enumerated), and never paths.
constexpr std::string_view kPerflibBranch =
    "SOFTWARE\\MICROSOFT\\WINDOWS NT\\CURRENTVERSION\\PERFLIB\\";
constexpr std::string_view kPerflibWow64Branch =
    "SOFTWARE\\WOW6432NODE\\MICROSOFT\\WINDOWS NT\\CURRENTVERSION\\PERFLIB\\";
constexpr int kFinalProgressInterval = 50;

// A value is a mistake only when its text is judged missing both as the enumeration reads it and
// as it is stored. Unknown when either check could not be made.
PathState JudgeValue(Engine& engine, const MissingFileJudge& isMissing, RootKey root,
                     const std::string& keyPath, const common::RegistryEntry& entry) {
  if (entry.type != REG_SZ) return PathState::Exists;
  // A value of the 32-bit programs' keys names what they see (System32 is their own folder).
  const bool view32 = InWow64View(keyPath);
  auto judge = [&](const std::string& text) {
    return isMissing(view32 ? As32BitProgramsSeeIt(engine.machine.system(), text) : text);
  };
  const PathState read = judge(entry.data);
  if (read != PathState::Missing) return read;
  const std::optional<std::string> stored =
      StoredText(engine.machine.registry(), root, keyPath, entry.name);
  if (!stored) return PathState::Unknown;
  if (*stored == entry.data) return PathState::Missing;
  return judge(*stored);
}

}  // namespace

std::optional<std::string> StoredText(vu::platform::Registry& registry, RootKey root,
                                      std::string_view keyPath, std::string_view valueName) {
  std::unique_ptr<vu::platform::RegistryKey> key;
  registry.OpenKey(root, keyPath, key);
  if (!key) return std::nullopt;
  std::uint32_t type = 0;
  std::string data;
  if (key->QueryValue(valueName, type, data) != ERROR_SUCCESS) return std::nullopt;
  return TrimNull(data);
}

namespace {

void ScanKey(Engine& engine, const MissingFileJudge& judge, RootKey root,
             const std::string& keyPath, MistakeList& list) {
  vu::platform::Registry& registry = engine.machine.registry();
  const bool valuesRead =
      ForEachValue(registry, root, keyPath, [&](const common::RegistryEntry& entry) {
        list.AddJudged(JudgeValue(engine, judge, root, keyPath, entry), {keyPath, entry.name});
        return true;
      });
  if (!valuesRead) list.unjudged = true;
  const bool keysRead = ForEachSubkey(registry, root, keyPath, [&](const std::string& name) {
    const std::string childPath = keyPath + name + "\\";
    engine.progress.ShowKey(vu::platform::LowerCase(name));
    engine.progress.Yield();
    const std::string upper = vu::platform::UpperCase(childPath);
    if (upper != kExcludedBranch && upper != kUninstallBranch && upper != kExcludedWow64Branch &&
        upper != kUninstallWow64Branch && upper != kPerflibBranch && upper != kPerflibWow64Branch) {
      ScanKey(engine, judge, root, childPath, list);
    }
  });
  if (!keysRead) list.unjudged = true;
}

}  // namespace

int ScanRegistryKey(Engine& engine, RootKey root, const std::string& keyPath, MistakeList& list) {
  ScanKey(engine, MissingFileJudge(engine.machine), root, keyPath, list);
  return list.count;
}

bool FixRegistryMistakes(Engine& engine) {
  bool allDone = true;
  for (const Pass& pass : kPasses) {
    engine.progress.ShowSection(pass.section);
    MistakeList list;
    ScanRegistryKey(engine, pass.root, kStartKey, list);
    std::vector<vu::platform::Registry::ValueName> values;
    for (const RegistryMistake& mistake : list.entries)
      values.emplace_back(mistake.keyPath, mistake.valueName);
    engine.machine.registry().ExpectValueDeletions(pass.root, values);
    for (const RegistryMistake& mistake : list.entries) {
      const vu::platform::Status status = common::DeleteRegistryValueChecked(
          engine.machine.registry(), pass.root, mistake.keyPath, mistake.valueName);
      if (status != ERROR_SUCCESS && status != ERROR_FILE_NOT_FOUND) allDone = false;
    }
    // Finds beyond the list stay in the registry, and what could not be read may hold more:
    // either way the step did not fix everything there is.
    if (!list.Complete()) allDone = false;
  }
  engine.progress.PaceBar(kFinalProgressInterval);
  return allDone;
}

}  // namespace vu::optimizer
