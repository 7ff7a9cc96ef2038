#include "tools/helpc/codepage.h"

#include <cstdint>
#include <cstdio>

namespace vu::helpc {

namespace {

// Windows-1252 bytes 0x80 to 0x9F; zero where the code page has no character.
constexpr char32_t kHighControls[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

std::optional<unsigned char> Encode(char32_t c) {
  if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) return static_cast<unsigned char>(c);
  for (int i = 0; i < 32; ++i) {
    if (kHighControls[i] != 0 && kHighControls[i] == c) return static_cast<unsigned char>(0x80 + i);
  }
  return std::nullopt;
}

}  // namespace

std::optional<std::string> ToWindows1252(std::string_view utf8, std::string* bad) {
  std::string out;
  std::size_t i = 0;
  while (i < utf8.size()) {
    const auto lead = static_cast<unsigned char>(utf8[i]);
    int extra = 0;
    char32_t c = 0;
    if (lead < 0x80) {
      c = lead;
    } else if ((lead & 0xE0) == 0xC0) {
      extra = 1;
      c = lead & 0x1F;
    } else if ((lead & 0xF0) == 0xE0) {
      extra = 2;
      c = lead & 0x0F;
    } else if ((lead & 0xF8) == 0xF0) {
      extra = 3;
      c = lead & 0x07;
    } else {
      if (bad) *bad = "invalid UTF-8";
      return std::nullopt;
    }
    if (i + extra >= utf8.size() && extra > 0) {
      if (bad) *bad = "invalid UTF-8";
      return std::nullopt;
    }
    for (int k = 1; k <= extra; ++k) {
      const auto next = static_cast<unsigned char>(utf8[i + k]);
      if ((next & 0xC0) != 0x80) {
        if (bad) *bad = "invalid UTF-8";
        return std::nullopt;
      }
      c = (c << 6) | (next & 0x3F);
    }
    const std::optional<unsigned char> byte = Encode(c);
    if (!byte || c == 0) {
      if (bad) {
        char name[16];
        std::snprintf(name, sizeof name, "U+%04X", static_cast<unsigned>(c));
        *bad = name;
      }
      return std::nullopt;
    }
    out += static_cast<char>(*byte);
    i += 1 + extra;
  }
  return out;
}

}  // namespace vu::helpc
