#include "platform/sandbox/shell_link_info.h"

#include "platform/sandbox/shell_link_bytes.h"
#include "platform/text.h"

namespace vu::platform::sandbox::lnk {
namespace {

constexpr std::uint32_t kVolumeIdAndLocalBasePath = 0x1;
constexpr std::uint32_t kCommonNetworkRelativeLinkAndPathSuffix = 0x2;
constexpr std::uint32_t kHeaderSize = 0x1C;
constexpr std::uint32_t kHeaderSizeWithUnicode = 0x24;
constexpr std::uint32_t kNetworkLinkHeaderSize = 0x14;
constexpr std::uint32_t kNetworkLinkHeaderSizeWithUnicode = 0x1C;
constexpr std::uint32_t kValidNetType = 0x2;
constexpr std::uint32_t kNetworkProviderLanman = 0x00020000;
constexpr std::uint32_t kDriveFixed = 3;

// A string of the structure: the Unicode one at |unicodeOffset| when that is set, else the
// Windows-1252 one at |offset|.
std::optional<std::string> ReadString(const ByteReader& r, std::uint32_t offset,
                                      std::uint32_t unicodeOffset) {
  if (unicodeOffset != 0) {
    const auto text = r.WString(unicodeOffset);
    if (!text) return std::nullopt;
    return Utf16ToUtf8(*text);
  }
  const auto text = r.CString(offset);
  if (!text) return std::nullopt;
  return Cp1252ToUtf8(*text);
}

std::string Join(std::string base, std::string_view suffix) {
  if (suffix.empty()) return base;
  if (!base.empty() && base.back() != '\\') base += '\\';
  return base + std::string(suffix);
}

// The NetName of a CommonNetworkRelativeLink at |offset|; nullopt when malformed.
std::optional<std::string> ReadNetName(const ByteReader& info, std::uint32_t offset) {
  const auto size = info.U32(offset);
  if (!size || *size < kNetworkLinkHeaderSize) return std::nullopt;
  const auto block = info.Slice(offset, *size);
  if (!block) return std::nullopt;
  const ByteReader r(*block);
  const auto netNameOffset = r.U32(8);
  if (!netNameOffset || *netNameOffset == 0) return std::nullopt;
  std::uint32_t unicodeOffset = 0;
  if (*netNameOffset > kNetworkLinkHeaderSize) {
    const auto u = r.U32(20);
    if (!u) return std::nullopt;
    unicodeOffset = *u;
  }
  return ReadString(r, *netNameOffset, unicodeOffset);
}

void PutAnsi(std::string& out, std::string_view utf8) {
  out += Utf8ToCp1252(utf8);
  out += '\0';
}

void AlignEven(std::string& out) {
  if (out.size() & 1) out += '\0';
}

}  // namespace

bool ParseLinkInfo(std::string_view block, std::optional<std::string>& path) {
  path.reset();
  const ByteReader r(block);
  const auto headerSize = r.U32(4);
  const auto flags = r.U32(8);
  const auto volumeOffset = r.U32(12);
  const auto localOffset = r.U32(16);
  const auto networkOffset = r.U32(20);
  const auto suffixOffset = r.U32(24);
  if (!headerSize || !suffixOffset || *headerSize > block.size()) return false;
  if (*headerSize != kHeaderSize && *headerSize < kHeaderSizeWithUnicode) return false;
  std::uint32_t localUnicode = 0;
  std::uint32_t suffixUnicode = 0;
  if (*headerSize >= kHeaderSizeWithUnicode) {
    localUnicode = r.U32(28).value_or(0);
    suffixUnicode = r.U32(32).value_or(0);
  }

  std::string suffix;
  if (*suffixOffset != 0 || suffixUnicode != 0) {
    auto text = ReadString(r, *suffixOffset, suffixUnicode);
    if (!text) return false;
    suffix = std::move(*text);
  }

  if (*flags & kCommonNetworkRelativeLinkAndPathSuffix) {
    const auto netName = ReadNetName(r, *networkOffset);
    if (!netName) return false;
    path = Join(*netName, suffix);
    return true;
  }
  if (*flags & kVolumeIdAndLocalBasePath) {
    const auto volumeSize = r.U32(*volumeOffset);
    if (*volumeOffset == 0 || !volumeSize || *volumeSize <= 0x10 ||
        !r.Slice(*volumeOffset, *volumeSize)) {
      return false;
    }
    if (*localOffset == 0 && localUnicode == 0) return false;
    const auto local = ReadString(r, *localOffset, localUnicode);
    if (!local) return false;
    path = Join(*local, suffix);
  }
  return true;
}

std::string BuildLinkInfo(std::string_view target, std::uint32_t volumeSerial) {
  const bool network = target.size() > 2 && target[0] == '\\' && target[1] == '\\';
  std::string_view netName;
  std::string_view rest;
  if (network) {
    const std::size_t server = target.find('\\', 2);
    if (server == std::string_view::npos || server == 2) return {};
    const std::size_t share = target.find('\\', server + 1);
    if (share == server + 1 || server + 1 == target.size()) return {};  // no share name
    netName = target.substr(0, share);
    if (share != std::string_view::npos) rest = target.substr(share + 1);
    // "\\server\share\" keeps its last backslash in the name, as the suffix is empty.
    if (share != std::string_view::npos && rest.empty()) netName = target;
  } else if (target.size() < 3 || target[1] != ':' || target[2] != '\\') {
    return {};
  }
  bool lossless = true;
  Utf8ToCp1252(target, &lossless);
  const std::uint32_t headerSize = lossless ? kHeaderSize : kHeaderSizeWithUnicode;

  std::string info(headerSize, '\0');
  PutU32At(info, 4, headerSize);
  if (network) {
    PutU32At(info, 8, kCommonNetworkRelativeLinkAndPathSuffix);
    PutU32At(info, 20, static_cast<std::uint32_t>(info.size()));
    const std::size_t start = info.size();
    const std::uint32_t linkHeader =
        lossless ? kNetworkLinkHeaderSize : kNetworkLinkHeaderSizeWithUnicode;
    info.resize(start + linkHeader, '\0');
    PutU32At(info, start + 4, kValidNetType);
    PutU32At(info, start + 8, linkHeader);
    PutU32At(info, start + 16, kNetworkProviderLanman);
    PutAnsi(info, netName);
    if (!lossless) {
      AlignEven(info);
      PutU32At(info, start + 20, static_cast<std::uint32_t>(info.size() - start));
      PutUtf16(info, Utf8ToUtf16(netName), true);
    }
    PutU32At(info, start, static_cast<std::uint32_t>(info.size() - start));
  } else {
    PutU32At(info, 8, kVolumeIdAndLocalBasePath);
    PutU32At(info, 12, static_cast<std::uint32_t>(info.size()));
    PutU32(info, 0x11);  // VolumeID with an empty label right after its header
    PutU32(info, kDriveFixed);
    PutU32(info, volumeSerial);
    PutU32(info, 0x10);
    info += '\0';
    PutU32At(info, 16, static_cast<std::uint32_t>(info.size()));
    PutAnsi(info, target);
  }
  PutU32At(info, 24, static_cast<std::uint32_t>(info.size()));
  PutAnsi(info, rest);
  if (!lossless) {
    AlignEven(info);
    if (!network) {
      PutU32At(info, 28, static_cast<std::uint32_t>(info.size()));
      PutUtf16(info, Utf8ToUtf16(target), true);
    }
    PutU32At(info, 32, static_cast<std::uint32_t>(info.size()));
    PutUtf16(info, Utf8ToUtf16(rest), true);
  }
  PutU32At(info, 0, static_cast<std::uint32_t>(info.size()));
  return info;
}

}  // namespace vu::platform::sandbox::lnk
