#include "platform/sandbox/shell_link.h"

#include <algorithm>
#include <array>
#include <cstdint>

#include "platform/sandbox/shell_link_bytes.h"
#include "platform/sandbox/shell_link_idlist.h"
#include "platform/sandbox/shell_link_info.h"
#include "platform/text.h"

namespace vu::platform::sandbox {
namespace {

using lnk::ByteReader;

// CLSID_ShellLink {00021401-0000-0000-C000-000000000046} in its stored byte order.
constexpr std::array<unsigned char, 16> kShellLinkClsid = {
    0x01, 0x14, 0x02, 0x00, 0x00, 0x00, 0x00, 0x00, 0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46};
constexpr std::uint32_t kHeaderSize = 0x4C;

// LinkFlags.
constexpr std::uint32_t kHasLinkTargetIdList = 0x1;
constexpr std::uint32_t kHasLinkInfo = 0x2;
constexpr std::uint32_t kHasName = 0x4;
constexpr std::uint32_t kHasRelativePath = 0x8;
constexpr std::uint32_t kHasWorkingDir = 0x10;
constexpr std::uint32_t kHasArguments = 0x20;
constexpr std::uint32_t kHasIconLocation = 0x40;
constexpr std::uint32_t kIsUnicode = 0x80;
constexpr std::uint32_t kForceNoLinkInfo = 0x100;
constexpr std::uint32_t kHasDarwinId = 0x1000;

constexpr std::uint32_t kAttributeDirectory = 0x10;
constexpr std::uint32_t kAttributeArchive = 0x20;
constexpr std::uint32_t kShowNormal = 1;
constexpr std::uint32_t kVolumeSerial = 0x1C2D3E4F;

// What one pass over the file found that decides the target.
struct Parsed {
  std::optional<std::string> idListPath;
  std::optional<std::string> linkInfoPath;
  std::optional<std::string> relativePath;
};

// Walks the structures after the header; false when one of them is inconsistent or cut off.
bool Parse(const ByteReader& r, std::uint32_t flags, Parsed& parsed) {
  std::size_t at = kHeaderSize;
  if (flags & kHasLinkTargetIdList) {
    const auto size = r.U16(at);
    if (!size) return false;
    const auto list = r.Slice(at + 2, *size);
    if (!list) return false;
    const auto items = lnk::SplitIdList(*list);
    if (!items) return false;
    parsed.idListPath = lnk::PathFromIdList(*items);
    at += 2 + *size;
  }
  if (flags & kHasLinkInfo) {
    const auto size = r.U32(at);
    if (!size) return false;
    const auto block = r.Slice(at, *size);
    if (!block || !lnk::ParseLinkInfo(*block, parsed.linkInfoPath)) return false;
    if (flags & kForceNoLinkInfo) parsed.linkInfoPath.reset();
    at += *size;
  }
  const bool unicode = flags & kIsUnicode;
  for (std::uint32_t flag :
       {kHasName, kHasRelativePath, kHasWorkingDir, kHasArguments, kHasIconLocation}) {
    if (!(flags & flag)) continue;
    const auto count = r.U16(at);
    if (!count) return false;
    const std::size_t length = static_cast<std::size_t>(*count) * (unicode ? 2 : 1);
    const auto text = r.Slice(at + 2, length);
    if (!text) return false;
    if (flag == kHasRelativePath) {
      // Some writers count the terminating NUL as well; the text ends at the first one.
      std::string value =
          unicode ? Utf16ToUtf8(lnk::DecodeUtf16Le(*text, *count)) : Cp1252ToUtf8(*text);
      value.erase(std::find(value.begin(), value.end(), '\0'), value.end());
      parsed.relativePath = std::move(value);
    }
    at += 2 + length;
  }
  // ExtraData: blocks until the terminal block (size below 4) or the end of the file.
  while (at < r.size()) {
    const auto size = r.U32(at);
    if (!size) return false;
    if (*size < 4) break;
    if (*size < 8 || !r.Slice(at, *size)) return false;
    at += *size;
  }
  return true;
}

}  // namespace

std::optional<std::string> ReadShellLinkTarget(std::string_view bytes) {
  const ByteReader r(bytes);
  const auto headerSize = r.U32(0);
  const auto clsid = r.Slice(4, kShellLinkClsid.size());
  const auto flags = r.U32(0x14);
  if (!headerSize || *headerSize != kHeaderSize || !clsid || !flags || bytes.size() < kHeaderSize ||
      !std::equal(kShellLinkClsid.begin(), kShellLinkClsid.end(),
                  reinterpret_cast<const unsigned char*>(clsid->data()))) {
    return std::nullopt;
  }
  Parsed parsed;
  if (!Parse(r, *flags, parsed)) return std::nullopt;
  // An advertised (installer) shortcut has no path until the installer resolves it.
  if (*flags & kHasDarwinId) return std::string();
  if (parsed.linkInfoPath) return parsed.linkInfoPath;
  if (parsed.idListPath) return parsed.idListPath;
  // The shell keeps a relative path as it is when nothing it names can be found.
  if (parsed.relativePath) return parsed.relativePath;
  return std::string();
}

std::string BuildShellLink(std::string_view target, std::string_view arguments,
                           bool targetIsFolder) {
  std::string link;
  lnk::PutU32(link, kHeaderSize);
  for (unsigned char b : kShellLinkClsid)
    link += static_cast<char>(b);
  lnk::PutU32(link, 0);  // LinkFlags, set below
  lnk::PutU32(link, targetIsFolder ? kAttributeDirectory : kAttributeArchive);
  link.append(3 * 8, '\0');  // creation, access and write times
  lnk::PutU32(link, 0);      // file size
  lnk::PutU32(link, 0);      // icon index
  lnk::PutU32(link, kShowNormal);
  lnk::PutU16(link, 0);  // hot key
  link.append(2 + 4 + 4, '\0');

  std::uint32_t flags = kIsUnicode;
  const std::string idList = lnk::BuildIdList(target, targetIsFolder);
  if (!idList.empty()) {
    flags |= kHasLinkTargetIdList;
    lnk::PutU16(link, static_cast<std::uint16_t>(idList.size()));
    link += idList;
  }
  const std::string info = lnk::BuildLinkInfo(target, kVolumeSerial);
  if (!info.empty()) {
    flags |= kHasLinkInfo;
    link += info;
  }
  // StringData, in the order the format fixes.
  const auto putString = [&link](std::string_view text) {
    std::u16string wide = Utf8ToUtf16(text);
    if (wide.size() > 0xFFFF) wide.resize(0xFFFF);
    lnk::PutU16(link, static_cast<std::uint16_t>(wide.size()));
    lnk::PutUtf16(link, wide, false);
  };
  // Without an ID list the target also goes into the relative path: a reader that takes only
  // LinkInfo's local base path (Wine's link object) finds a network target there.
  if (idList.empty() && !target.empty()) {
    flags |= kHasRelativePath;
    putString(target);
  }
  if (!arguments.empty()) {
    flags |= kHasArguments;
    putString(arguments);
  }
  lnk::PutU32(link, 0);  // terminal ExtraData block
  lnk::PutU32At(link, 0x14, flags);
  return link;
}

}  // namespace vu::platform::sandbox
