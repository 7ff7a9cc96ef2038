#include "optimizer/engine/registry_mistakes.h"

#include <cstdint>
#include <memory>

#include "common/registry_mod.h"
#include "common/vb.h"
#include "optimizer/engine/missing_file.h"
#include "optimizer/engine/paths.h"
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
// The same branch of the 32-bit programs' keys, as the 64-bit view shows it on 64-bit Windows.
constexpr std::string_view kExcludedWow64Branch = "SOFTWARE\\WOW6432NODE\\CLASSES\\";
constexpr int kFinalProgressInterval = 50;

// A value is a mistake only when its text is judged missing both as the enumeration reads it and
// as it is stored.
bool IsMistake(Engine& engine, RootKey root, const std::string& keyPath,
               const common::RegistryEntry& entry) {
  if (entry.type != REG_SZ) return false;
  // A value of the 32-bit programs' keys names what they see (System32 is their own folder).
  const bool view32 = InWow64View(keyPath);
  auto missing = [&](const std::string& text) {
    return common::IsSet(IsMissingFile(
        engine.machine, view32 ? As32BitProgramsSeeIt(engine.machine.system(), text) : text));
  };
  if (!missing(entry.data)) return false;
  const std::optional<std::string> stored =
      StoredText(engine.machine.registry(), root, keyPath, entry.name);
  if (!stored) return false;
  return *stored == entry.data || missing(*stored);
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

int ScanRegistryKey(Engine& engine, RootKey root, const std::string& keyPath, MistakeList& list) {
  vu::platform::Registry& registry = engine.machine.registry();
  for (std::uint32_t index = 0;; ++index) {
    const common::RegistryEntry entry = common::EnumRegistryValue(registry, root, keyPath, index);
    if (entry.data == common::kEnumNotFound) break;
    if (IsMistake(engine, root, keyPath, entry)) list.Add({keyPath, entry.name});
  }
  for (std::uint32_t index = 0;; ++index) {
    const std::string name = common::EnumRegistryKey(registry, root, keyPath, index);
    if (name == common::kEnumNotFound) break;
    const std::string childPath = keyPath + name + "\\";
    engine.progress.ShowKey(vu::platform::LowerCase(name));
    engine.progress.Yield();
    const std::string upper = vu::platform::UpperCase(childPath);
    if (upper != kExcludedBranch && upper != kExcludedWow64Branch) {
      ScanRegistryKey(engine, root, childPath, list);
    }
  }
  return list.count;
}

bool FixRegistryMistakes(Engine& engine) {
  bool allDone = true;
  for (const Pass& pass : kPasses) {
    engine.progress.ShowSection(pass.section);
    MistakeList list;
    ScanRegistryKey(engine, pass.root, kStartKey, list);
    for (const RegistryMistake& mistake : list.entries) {
      const vu::platform::Status status = common::DeleteRegistryValueChecked(
          engine.machine.registry(), pass.root, mistake.keyPath, mistake.valueName);
      if (status != ERROR_SUCCESS && status != ERROR_FILE_NOT_FOUND) allDone = false;
    }
    // Finds beyond the list stay in the registry: the step did not fix everything it found.
    if (list.Overflowed()) allDone = false;
  }
  engine.progress.PaceBar(kFinalProgressInterval);
  return allDone;
}

}  // namespace vu::optimizer
