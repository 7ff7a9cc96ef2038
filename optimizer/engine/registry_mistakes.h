// The registry mistakes scanner: string values under the Software keys of three roots whose text
// names a file on the system drive that is gone are collected, then deleted.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "optimizer/engine/engine.h"
#include "optimizer/engine/found_list.h"
#include "platform/registry.h"

namespace vu::optimizer {

// One mistake: the key it was found in (relative to the root, ending in "\") and the value's name.
struct RegistryMistake {
  std::string keyPath;
  std::string valueName;
};
using MistakeList = FoundList<RegistryMistake>;

// The three passes (HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER, HKEY_USERS), each a full scan of
// "Software\" and then the deletion of what it found; paces the bar at 50 ms at the end. True
// when every deletion took effect, no pass found more than its list could hold, and every key
// and value could be read and judged. The entries of the list of installed programs are left to
// their own step.
bool FixRegistryMistakes(Engine& engine);

// Appends the mistakes of |keyPath| and, recursively, of its subkeys (never the branch
// "SOFTWARE\CLASSES\"), showing each key's name in lower case and yielding once
// per key. Returns the list's count, finds beyond the 1000th included.
int ScanRegistryKey(Engine& engine, vu::platform::RootKey root, const std::string& keyPath,
                    MistakeList& list);

// The text of a value exactly as stored, up to its first NUL; nullopt when it cannot be read.
// The enumeration drops the last character of every text, which is the text itself, not its
// terminator, when the value was stored without one.
std::optional<std::string> StoredText(vu::platform::Registry& registry, vu::platform::RootKey root,
                                      std::string_view keyPath, std::string_view valueName);

}  // namespace vu::optimizer
