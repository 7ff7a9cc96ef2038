// The LinkInfo structure of a shell link: the target's volume and local base path, or its
// network share (CommonNetworkRelativeLink), each completed by a common path suffix.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace vu::platform::sandbox::lnk {

// Reads a LinkInfo structure; |block| is exactly its LinkInfoSize bytes. False when a size or
// offset is inconsistent or a string does not end inside the structure. Otherwise |path| is
// the target with UNC priority: NetName + "\" + suffix when there is a network part, else
// LocalBasePath + suffix (the Unicode variants when present); nullopt when neither is there.
bool ParseLinkInfo(std::string_view block, std::optional<std::string>& path);

// The LinkInfo for an absolute target "X:\..." or "\\server\share\...", as the shell writes it;
// empty for any other text. Unicode variants are added when the path has characters outside
// Windows-1252.
std::string BuildLinkInfo(std::string_view target, std::uint32_t volumeSerial);

}  // namespace vu::platform::sandbox::lnk
