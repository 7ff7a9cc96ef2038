// libFuzzer target for the INI editor. The input is "section\nkey\nvalue\ntext". Whatever the
// text, setting the entry and undoing that (the old value written back, or the entry removed,
// with its section when that was new) must give back the text byte for byte, and reading the
// entry after setting it must give the value.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "platform/ini.h"

namespace {

namespace ini = vu::platform::ini;

std::string_view NextLine(std::string_view& input) {
  const std::size_t end = input.find('\n');
  const std::string_view line = input.substr(0, end);
  input.remove_prefix(end == std::string_view::npos ? input.size() : end + 1);
  return line;
}

bool Blank(char c) {
  return c == ' ' || c == '\t';
}

// Names and values the programs write: one line, no blanks at either end, a key that cannot be
// taken for a comment or a section, a value not in quotes and not empty (an empty value leaves no
// trace of whether the blanks around the old one stood before or after it).
bool Usable(std::string_view s, std::string_view forbidden, bool mayBeEmpty) {
  if (s.empty()) return mayBeEmpty;
  return s.find_first_of(forbidden) == std::string_view::npos && !Blank(s.front()) &&
         !Blank(s.back());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string_view input(reinterpret_cast<const char*>(data), size);
  const std::string_view section = NextLine(input);
  const std::string_view key = NextLine(input);
  const std::string_view value = NextLine(input);
  const std::string_view text = input;
  if (!Usable(section, "\r\n]", false) || !Usable(key, "\r\n=", false) ||
      !Usable(value, "\r\n", false) || key.front() == ';' || key.front() == '[' ||
      value.front() == '"' || value.front() == '\'') {
    ini::GetEntry(text, "vcache", "MinFileCache");
    ini::RemoveEntry(text, "vcache", "MinFileCache", true);
    return 0;
  }
  const auto old = ini::GetEntry(text, section, key);
  const bool hadSection = ini::HasSection(text, section);
  const std::string edited = ini::SetEntry(text, section, key, value);
  if (ini::GetEntry(edited, section, key) != std::string(value)) std::abort();
  const std::string undone = old ? ini::SetEntry(edited, section, key, *old)
                                 : ini::RemoveEntry(edited, section, key, !hadSection);
  if (undone != text) std::abort();
  return 0;
}
