// Reader and writer of shell link (.lnk) files in Microsoft's published MS-SHLLINK format,
// for the sandbox machine, which has no shell to ask.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace vu::platform::sandbox {

// The target path the shell's link object reports for this file with SLGP_UNCPRIORITY, or
// nullopt when the shell could not load it (wrong size or CLSID, truncated or inconsistent
// structures). Never reads outside |bytes|.
std::optional<std::string> ReadShellLinkTarget(std::string_view bytes);

// A shortcut to |target| (an absolute path, a local drive path "C:\..." or a network path
// "\\server\share\..."), written the way the shell writes one: header, target ID list, LinkInfo
// and the Unicode string data (arguments when not empty).
std::string BuildShellLink(std::string_view target, std::string_view arguments = {},
                           bool targetIsFolder = false);

}  // namespace vu::platform::sandbox
