// The names of the parts of a sandbox machine's folder (a stable format: tools and tests rely
// on it).
#pragma once

#include <string_view>

namespace vu::platform::sandbox {

inline constexpr std::string_view kMachineIni = "machine.ini";         // [System] facts
inline constexpr std::string_view kDrivesFolder = "drives";            // drives/C/ ...
inline constexpr std::string_view kRegistryDb = "registry.db";         // the registry (SQLite)
inline constexpr std::string_view kJournal = "journal.log";            // outside effects
inline constexpr std::string_view kAttributesFile = "attributes.txt";  // DOS attributes
inline constexpr std::string_view kShortNamesFile = "shortnames.txt";  // 8.3 aliases
inline constexpr std::string_view kRunningFile = "running.txt";        // programs running

}  // namespace vu::platform::sandbox
