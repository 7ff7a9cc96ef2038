#include "platform/sandbox/facts.h"

#include <array>
#include <charconv>
#include <limits>

#include "platform/ini.h"
#include "platform/sandbox/host_io.h"
#include "platform/sandbox/paths.h"
#include "platform/text.h"

namespace vu::platform::sandbox {
namespace {

enum class Kind { Folder, Bytes, Percent, Word, Int, Text };

struct Fact {
  std::string_view name;
  Kind kind;
};

constexpr std::string_view kVolumeSerial = "VolumeSerial.";

constexpr std::array<Fact, 20> kFacts = {{
    {"WindowsDir", Kind::Folder},  {"SystemDir", Kind::Folder},      {"TotalPhys", Kind::Bytes},
    {"AvailPhys", Kind::Bytes},    {"TotalPageFile", Kind::Bytes},   {"AvailPageFile", Kind::Bytes},
    {"TotalVirtual", Kind::Bytes}, {"AvailVirtual", Kind::Bytes},    {"MemoryLoad", Kind::Percent},
    {"PlatformId", Kind::Word},    {"MajorVersion", Kind::Word},     {"MinorVersion", Kind::Word},
    {"BuildNumber", Kind::Word},   {"ProcessorType", Kind::Word},    {"UserName", Kind::Text},
    {"CleanBoot", Kind::Int},      {"ScreenWidth", Kind::Int},       {"ScreenHeight", Kind::Int},
    {"LogPixelsX", Kind::Int},     {"SystemWow64Dir", Kind::Folder},
}};

std::optional<Kind> KindOf(std::string_view canonicalName) {
  if (canonicalName.starts_with(kVolumeSerial)) return Kind::Word;
  for (const Fact& fact : kFacts) {
    if (fact.name == canonicalName) return fact.kind;
  }
  return std::nullopt;
}

}  // namespace

std::optional<std::string> CanonicalFactName(std::string_view name) {
  for (const Fact& fact : kFacts) {
    if (EqualsNoCase(fact.name, name)) return std::string(fact.name);
  }
  if (name.size() == kVolumeSerial.size() + 1 &&
      EqualsNoCase(name.substr(0, kVolumeSerial.size()), kVolumeSerial)) {
    const char letter = name.back();
    if ((letter >= 'A' && letter <= 'Z') || (letter >= 'a' && letter <= 'z'))
      return std::string(kVolumeSerial) + static_cast<char>(letter & ~0x20);
  }
  return std::nullopt;
}

std::optional<std::uint64_t> ParseFactNumber(std::string_view text) {
  int base = 10;
  if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
    text.remove_prefix(2);
    base = 16;
  }
  std::uint64_t value = 0;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value, base);
  if (text.empty() || ec != std::errc() || end != text.data() + text.size()) return std::nullopt;
  return value;
}

bool IsValidFactValue(std::string_view canonicalName, std::string_view value) {
  const std::optional<Kind> kind = KindOf(canonicalName);
  if (!kind) return false;
  if (*kind == Kind::Text) return value.find_first_of("\r\n") == std::string_view::npos;
  if (*kind == Kind::Folder) {
    WinPath path;
    return ParseWinPath(value, path) == ERROR_SUCCESS;
  }
  const std::optional<std::uint64_t> number = ParseFactNumber(value);
  if (!number) return false;
  switch (*kind) {
    case Kind::Percent:
      return *number <= 100;
    case Kind::Word:
      return *number <= std::numeric_limits<std::uint32_t>::max();
    case Kind::Int:
      return *number <= static_cast<std::uint64_t>(std::numeric_limits<int>::max());
    default:
      return true;
  }
}

std::vector<std::pair<std::string, std::string>> DefaultFacts() {
  return {
      {"WindowsDir", "C:\\WINDOWS"},
      {"SystemDir", "C:\\WINDOWS\\SYSTEM"},
      {"TotalPhys", "67108864"},
      {"AvailPhys", "25165824"},
      {"TotalPageFile", "134217728"},
      {"AvailPageFile", "109051904"},
      {"TotalVirtual", "2147352576"},
      {"AvailVirtual", "2118123520"},
      {"MemoryLoad", "62"},
      {"PlatformId", "1"},
      {"MajorVersion", "4"},
      {"MinorVersion", "10"},
      // Windows 9x puts the version in the build number's high word: 4.10, build 1998.
      {"BuildNumber", "0x040A07CE"},
      {"ProcessorType", "586"},
      {"UserName", "User"},
      {"CleanBoot", "0"},
      {"ScreenWidth", "800"},
      {"ScreenHeight", "600"},
      {"LogPixelsX", "96"},
      {"VolumeSerial.C", "0x2A1F3C4D"},
  };
}

std::string FactsFileText(const std::vector<std::pair<std::string, std::string>>& facts) {
  std::string text = "[" + std::string(kFactsSection) + "]\r\n";
  for (const auto& [name, value] : facts)
    text += name + "=" + value + "\r\n";
  return text;
}

FactSheet FactSheet::Read(const std::string& iniPath) {
  FactSheet sheet;
  if (ReadHostFile(iniPath, sheet.text_) != ERROR_SUCCESS) sheet.text_.clear();
  return sheet;
}

std::optional<std::string> FactSheet::Text(std::string_view name) const {
  if (const auto known = asked_.find(name); known != asked_.end()) return known->second;
  return asked_.emplace(std::string(name), ini::GetEntry(text_, kFactsSection, name)).first->second;
}

std::optional<std::uint64_t> FactSheet::Number(std::string_view name) const {
  const std::optional<std::string> text = Text(name);
  return text ? ParseFactNumber(*text) : std::nullopt;
}

Status WriteFacts(const std::string& iniPath,
                  const std::vector<std::pair<std::string, std::string>>& facts) {
  std::string text;
  const Status status = ReadHostFile(iniPath, text);
  if (status != ERROR_SUCCESS) return status;
  for (const auto& [name, value] : facts)
    text = ini::SetEntry(text, kFactsSection, name, value);
  return ReplaceHostFile(iniPath, text);
}

}  // namespace vu::platform::sandbox
