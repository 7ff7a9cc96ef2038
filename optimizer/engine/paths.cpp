#include "optimizer/engine/paths.h"

#include <vector>

#include "common/registry_data.h"

namespace vu::optimizer {

namespace {
constexpr std::size_t kSystemDirBuffer = 255;
}  // namespace

std::string GetSystemDir(vu::platform::System& system) {
  std::string directory = system.SystemDirectory();
  if (common::AnsiLength(directory) + 1 > kSystemDirBuffer) return std::string();
  return directory;
}

std::string TrimNull(std::string_view text) {
  return std::string(text.substr(0, text.find('\0')));
}

std::string ReverseString(std::string_view text) {
  // Reverse whole code points so that a multi-byte character stays readable; a stray byte that
  // is not part of a character counts as one character of its own.
  std::vector<std::string_view> characters;
  for (std::size_t i = 0; i < text.size();) {
    std::size_t length = 1;
    const auto lead = static_cast<unsigned char>(text[i]);
    const std::size_t expected = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
    while (length < expected && i + length < text.size() &&
           (static_cast<unsigned char>(text[i + length]) & 0xC0) == 0x80) {
      ++length;
    }
    if (length != expected) length = 1;
    characters.push_back(text.substr(i, length));
    i += length;
  }
  std::string reversed;
  reversed.reserve(text.size());
  for (auto it = characters.rbegin(); it != characters.rend(); ++it)
    reversed += *it;
  return reversed;
}

}  // namespace vu::optimizer
