// Registry key paths and root names, shared by the sandbox registry, the REGEDIT4 reader and
// writer, and the vmachine tool.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/status.h"

namespace vu::platform {

// The segments of a key path. Empty segments are dropped, so a leading, trailing or doubled
// backslash is tolerated as Windows 9x tolerates it ("\Control Panel\desktop").
std::vector<std::string_view> SplitKeyPath(std::string_view path);
// The segments joined with single backslashes: the canonical spelling of a path.
std::string NormalizeKeyPath(std::string_view path);

// "HKEY_LOCAL_MACHINE" (or "HKLM", any case) -> HKEY_LOCAL_MACHINE; nullopt for an unknown name.
std::optional<RootKey> ParseRootName(std::string_view name);
// HKEY_LOCAL_MACHINE -> "HKEY_LOCAL_MACHINE"; empty for a value that is not a root.
std::string_view RootName(RootKey root);

// Splits "HKEY_CURRENT_USER\Software\X" into its root and the path below it; false when the
// first segment names no root.
bool ParseFullKeyName(std::string_view fullName, RootKey& root, std::string& path);

}  // namespace vu::platform
