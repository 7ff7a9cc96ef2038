#include "platform/sandbox/shell_link_idlist.h"

#include <algorithm>
#include <array>
#include <cstdint>

#include "platform/sandbox/shell_link_bytes.h"
#include "platform/text.h"

namespace vu::platform::sandbox::lnk {
namespace {

// CLSID_MyComputer {20D04FE0-3AEA-1069-A2D8-08002B30309D} in its stored byte order.
constexpr std::array<unsigned char, 16> kMyComputer = {
    0xE0, 0x4F, 0xD0, 0x20, 0xEA, 0x3A, 0x69, 0x10, 0xA2, 0xD8, 0x08, 0x00, 0x2B, 0x30, 0x30, 0x9D};
constexpr std::uint8_t kRootItem = 0x1F;
constexpr std::uint8_t kMyComputerSortIndex = 0x50;
constexpr std::uint8_t kDriveItem = 0x2F;
constexpr std::uint8_t kFolderItem = 0x31;
constexpr std::uint8_t kFileItem = 0x32;
constexpr std::uint8_t kUnicodeNameFlag = 0x04;
constexpr std::size_t kFileNameOffset = 14;
constexpr std::uint32_t kFileEntryExtension = 0xBEEF0004;
constexpr std::size_t kDriveItemSize = 25;

std::uint8_t ItemType(std::string_view item) {
  return static_cast<std::uint8_t>(item[2]);
}

// The long name held by a 0xBEEF0004 extension block starting at |at|; the position of the
// name depends on the block's version (3: Windows XP, 7: Vista, 8: 7, 9: 8.1 and later).
std::optional<std::string> ExtensionLongName(std::string_view item, std::size_t at) {
  const ByteReader r(item);
  const auto size = r.U16(at);
  const auto version = r.U16(at + 2);
  const auto signature = r.U32(at + 4);
  if (!size || !version || !signature || *signature != kFileEntryExtension) return std::nullopt;
  const auto block = r.Slice(at, *size);
  if (!block || *version < 3) return std::nullopt;
  std::size_t nameAt = 18;
  if (*version >= 7) nameAt += 18;
  nameAt += 2;
  if (*version >= 9) nameAt += 4;
  if (*version >= 8) nameAt += 4;
  const auto name = ByteReader(*block).WString(nameAt);
  if (!name) return std::nullopt;
  return Utf16ToUtf8(*name);
}

// The name of a file-system item: the extension block's long name when there is one (Windows
// XP and later), else the primary name, which older shells fill with the long name.
std::optional<std::string> FileItemName(std::string_view item) {
  const ByteReader r(item);
  std::string primary;
  std::size_t nameEnd = 0;
  if (ItemType(item) & kUnicodeNameFlag) {
    const auto name = r.WString(kFileNameOffset);
    if (!name) return std::nullopt;
    primary = Utf16ToUtf8(*name);
    nameEnd = kFileNameOffset + 2 * (name->size() + 1);
  } else {
    const auto name = r.CString(kFileNameOffset);
    if (!name) return std::nullopt;
    primary = Cp1252ToUtf8(*name);
    nameEnd = kFileNameOffset + name->size() + 1;
  }
  // The item's last two bytes give the extension block's offset; the block also follows the
  // primary name at the next even offset.
  const auto stated = r.U16(item.size() - 2);
  for (std::size_t at : {static_cast<std::size_t>(stated.value_or(0)), nameEnd + (nameEnd & 1)}) {
    if (at < nameEnd) continue;
    if (auto longName = ExtensionLongName(item, at)) return longName;
  }
  return primary;
}

// "C:\" from a drive item; nullopt for anything else.
std::optional<std::string> DriveItemPath(std::string_view item) {
  const auto name = ByteReader(item).CString(3);
  if (!name || name->size() != 3 || (*name)[1] != ':' || (*name)[2] != '\\') return std::nullopt;
  const char letter = (*name)[0];
  if (!((letter >= 'A' && letter <= 'Z') || (letter >= 'a' && letter <= 'z'))) return std::nullopt;
  return std::string(*name);
}

bool IsValidShortChar(char32_t c) {
  if ((c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')) return true;
  return std::u32string_view(U"!#$%&'()-@^_`{}~").find(c) != std::u32string_view::npos;
}

// Upper-cases a name part and makes it fit a short name: blanks and dots go, characters a
// short name cannot hold become '_'.
std::string ShortPart(std::u16string_view part, std::size_t limit, bool& changed) {
  std::string out;
  for (char16_t c : part) {
    char32_t u = (c >= 'a' && c <= 'z') ? c - 32 : c;
    if (u == ' ' || u == '.') {
      changed = true;
      continue;
    }
    if (!IsValidShortChar(u)) {
      changed = true;
      u = '_';
    }
    if (out.size() == limit) {
      changed = true;
      break;
    }
    out += static_cast<char>(u);
  }
  return out;
}

std::string FileItem(std::string_view name, bool folder) {
  const std::u16string longName = Utf8ToUtf16(name);
  std::string item;
  PutU16(item, 0);  // size, set below
  PutU8(item, folder ? kFolderItem : kFileItem);
  PutU8(item, 0);
  PutU32(item, 0);  // file size
  PutU32(item, 0);  // modification date and time
  PutU16(item, folder ? 0x10 : 0x20);
  item += ShortName(name);
  item += '\0';
  if (item.size() & 1) item += '\0';
  const std::size_t extension = item.size();
  PutU16(item, static_cast<std::uint16_t>(22 + 2 * (longName.size() + 1)));
  PutU16(item, 3);  // the Windows XP layout
  PutU32(item, kFileEntryExtension);
  PutU32(item, 0);  // creation date and time
  PutU32(item, 0);  // access date and time
  PutU16(item, 0x14);
  PutU16(item, 0);  // no localized name
  PutUtf16(item, longName, true);
  PutU16(item, static_cast<std::uint16_t>(extension));
  return item;
}

}  // namespace

std::optional<std::vector<std::string_view>> SplitIdList(std::string_view list) {
  const ByteReader r(list);
  std::vector<std::string_view> items;
  std::size_t at = 0;
  for (;;) {
    const auto size = r.U16(at);
    if (!size) return std::nullopt;
    if (*size == 0) return items;
    if (*size < 3) return std::nullopt;  // an item holds at least its size and its type
    const auto item = r.Slice(at, *size);
    if (!item) return std::nullopt;
    items.push_back(*item);
    at += *size;
  }
}

std::optional<std::string> PathFromIdList(const std::vector<std::string_view>& items) {
  std::size_t i = 0;
  if (i < items.size() && ItemType(items[i]) == kRootItem) {
    const auto clsid = ByteReader(items[i]).Slice(4, kMyComputer.size());
    if (!clsid || !std::equal(kMyComputer.begin(), kMyComputer.end(),
                              reinterpret_cast<const unsigned char*>(clsid->data()))) {
      return std::nullopt;
    }
    ++i;
  }
  if (i >= items.size() || (ItemType(items[i]) & 0x70) != 0x20) return std::nullopt;
  auto path = DriveItemPath(items[i++]);
  if (!path) return std::nullopt;
  for (; i < items.size(); ++i) {
    if ((ItemType(items[i]) & 0x70) != 0x30) return std::nullopt;
    const auto name = FileItemName(items[i]);
    if (!name || name->empty() || name->find('\\') != std::string::npos) return std::nullopt;
    if (path->back() != '\\') *path += '\\';
    *path += *name;
  }
  return path;
}

std::string BuildIdList(std::string_view target, bool targetIsFolder) {
  if (target.size() < 3 || target[1] != ':' || target[2] != '\\') return {};
  char letter = target[0];
  if (letter >= 'a' && letter <= 'z') letter = static_cast<char>(letter - 32);
  if (letter < 'A' || letter > 'Z') return {};

  std::string list;
  PutU16(list, 20);
  PutU8(list, kRootItem);
  PutU8(list, kMyComputerSortIndex);
  for (unsigned char b : kMyComputer)
    list += static_cast<char>(b);

  PutU16(list, kDriveItemSize);
  PutU8(list, kDriveItem);
  std::string drive{letter, ':', '\\'};
  drive.resize(kDriveItemSize - 3, '\0');
  list += drive;

  std::vector<std::string_view> parts;
  for (std::size_t start = 3; start <= target.size();) {
    std::size_t end = target.find('\\', start);
    if (end == std::string_view::npos) end = target.size();
    if (end > start) parts.push_back(target.substr(start, end - start));
    start = end + 1;
  }
  for (std::size_t k = 0; k < parts.size(); ++k) {
    const bool folder = k + 1 < parts.size() || targetIsFolder;
    std::string item = FileItem(parts[k], folder);
    if (item.size() > 0xFFFF) return {};
    PutU16At(item, 0, static_cast<std::uint16_t>(item.size()));
    list += item;
  }
  PutU16(list, 0);
  if (list.size() > 0xFFFF) return {};
  return list;
}

std::string ShortName(std::string_view longName) {
  const std::u16string name = Utf8ToUtf16(longName);
  if (name == u"." || name == u"..") return std::string(longName);
  const std::size_t dot = name.rfind(u'.');
  const bool hasExtension = dot != std::u16string::npos && dot > 0;
  const std::u16string_view base =
      std::u16string_view(name).substr(0, hasExtension ? dot : name.size());
  const std::u16string_view ext =
      hasExtension ? std::u16string_view(name).substr(dot + 1) : std::u16string_view();
  bool changed = false;
  std::string shortBase = ShortPart(base, 8, changed);
  const std::string shortExt = ShortPart(ext, 3, changed);
  if (shortBase.empty()) changed = true;
  if (changed) {
    if (shortBase.size() > 6) shortBase.resize(6);
    if (shortBase.empty()) shortBase = "_";
    shortBase += "~1";
  }
  return shortExt.empty() ? shortBase : shortBase + "." + shortExt;
}

}  // namespace vu::platform::sandbox::lnk
