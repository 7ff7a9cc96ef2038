#include "platform/text.h"

#include <array>
#include <cstdint>

namespace vu::platform {
namespace {

constexpr char32_t kReplacement = 0xFFFD;

// Decodes one code point at |i| and advances |i|; invalid sequences give U+FFFD and advance by
// one byte so that nothing is skipped silently.
char32_t DecodeUtf8(std::string_view s, std::size_t& i) {
  const auto b0 = static_cast<unsigned char>(s[i]);
  if (b0 < 0x80) {
    ++i;
    return b0;
  }
  int extra = 0;
  char32_t cp = 0;
  char32_t min = 0;
  if ((b0 & 0xE0) == 0xC0) {
    extra = 1, cp = b0 & 0x1F, min = 0x80;
  } else if ((b0 & 0xF0) == 0xE0) {
    extra = 2, cp = b0 & 0x0F, min = 0x800;
  } else if ((b0 & 0xF8) == 0xF0) {
    extra = 3, cp = b0 & 0x07, min = 0x10000;
  } else {
    ++i;
    return kReplacement;
  }
  if (i + extra >= s.size()) {
    ++i;
    return kReplacement;
  }
  for (int k = 1; k <= extra; ++k) {
    const auto b = static_cast<unsigned char>(s[i + k]);
    if ((b & 0xC0) != 0x80) {
      ++i;
      return kReplacement;
    }
    cp = (cp << 6) | (b & 0x3F);
  }
  if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
    ++i;
    return kReplacement;
  }
  i += extra + 1;
  return cp;
}

void AppendUtf8(std::string& out, char32_t cp) {
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | (cp >> 6));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (cp >> 18));
    out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

// Windows-1252 bytes 0x80..0x9F; 0 where the code page has no character.
constexpr std::array<char16_t, 32> kCp1252High = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

char32_t ToUpper(char32_t c) {
  if (c < 0x80) return (c >= 'a' && c <= 'z') ? c - 32 : c;
  // Latin-1: à..þ except ÷; ÿ -> Ÿ.
  if ((c >= 0xE0 && c <= 0xFE && c != 0xF7)) return c - 32;
  if (c == 0xFF) return 0x178;
  // Latin Extended-A: pairs, odd is lower case (with the two shifted runs).
  if (c >= 0x100 && c <= 0x137) return (c & 1) ? c - 1 : c;
  if (c >= 0x139 && c <= 0x148) return (c & 1) ? c : c - 1;
  if (c >= 0x14A && c <= 0x177) return (c & 1) ? c - 1 : c;
  if (c == 0x17A || c == 0x17C || c == 0x17E) return c - 1;
  // Greek and Cyrillic basic letters.
  if (c >= 0x3B1 && c <= 0x3C9 && c != 0x3C2) return c - 32;
  if (c >= 0x430 && c <= 0x44F) return c - 32;
  if (c >= 0x450 && c <= 0x45F) return c - 80;
  return c;
}

char32_t ToLower(char32_t c) {
  if (c < 0x80) return (c >= 'A' && c <= 'Z') ? c + 32 : c;
  if ((c >= 0xC0 && c <= 0xDE && c != 0xD7)) return c + 32;
  if (c == 0x178) return 0xFF;
  if (c >= 0x100 && c <= 0x137) return (c & 1) ? c : c + 1;
  if (c >= 0x139 && c <= 0x148) return (c & 1) ? c + 1 : c;
  if (c >= 0x14A && c <= 0x177) return (c & 1) ? c : c + 1;
  if (c == 0x179 || c == 0x17B || c == 0x17D) return c + 1;
  if (c >= 0x391 && c <= 0x3A9 && c != 0x3A2) return c + 32;
  if (c >= 0x410 && c <= 0x42F) return c + 32;
  if (c >= 0x400 && c <= 0x40F) return c + 80;
  return c;
}

template <typename Map>
std::string MapCase(std::string_view utf8, Map map) {
  std::string out;
  out.reserve(utf8.size());
  for (std::size_t i = 0; i < utf8.size();) {
    // ASCII maps to ASCII: most names and paths need no decoding.
    const auto byte = static_cast<unsigned char>(utf8[i]);
    if (byte < 0x80) {
      out += static_cast<char>(map(byte));
      ++i;
      continue;
    }
    AppendUtf8(out, map(DecodeUtf8(utf8, i)));
  }
  return out;
}

std::u32string Decode(std::string_view utf8) {
  std::u32string out;
  out.reserve(utf8.size());
  for (std::size_t i = 0; i < utf8.size();)
    out += DecodeUtf8(utf8, i);
  return out;
}

bool Match(const std::u32string& name, std::size_t n, const std::u32string& pat, std::size_t p) {
  // Iterative wildcard match with single-star backtracking: linear in practice, never recursive.
  std::size_t starP = std::u32string::npos, starN = 0;
  while (n < name.size()) {
    if (p < pat.size() && (pat[p] == U'?' || pat[p] == name[n])) {
      ++n, ++p;
    } else if (p < pat.size() && pat[p] == U'*') {
      starP = p++, starN = n;
    } else if (starP != std::u32string::npos) {
      p = starP + 1, n = ++starN;
    } else {
      return false;
    }
  }
  while (p < pat.size() && pat[p] == U'*')
    ++p;
  return p == pat.size();
}

}  // namespace

std::u16string Utf8ToUtf16(std::string_view utf8) {
  std::u16string out;
  out.reserve(utf8.size());
  for (std::size_t i = 0; i < utf8.size();) {
    char32_t cp = DecodeUtf8(utf8, i);
    if (cp >= 0x10000) {
      cp -= 0x10000;
      out += static_cast<char16_t>(0xD800 + (cp >> 10));
      out += static_cast<char16_t>(0xDC00 + (cp & 0x3FF));
    } else {
      out += static_cast<char16_t>(cp);
    }
  }
  return out;
}

std::string Utf16ToUtf8(std::u16string_view utf16) {
  std::string out;
  out.reserve(utf16.size());
  for (std::size_t i = 0; i < utf16.size(); ++i) {
    char32_t c = utf16[i];
    if (c >= 0xD800 && c <= 0xDBFF && i + 1 < utf16.size() && utf16[i + 1] >= 0xDC00 &&
        utf16[i + 1] <= 0xDFFF) {
      c = 0x10000 + ((c - 0xD800) << 10) + (utf16[i + 1] - 0xDC00);
      ++i;
    } else if (c >= 0xD800 && c <= 0xDFFF) {
      c = kReplacement;
    }
    AppendUtf8(out, c);
  }
  return out;
}

std::string Cp1252ToUtf8(std::string_view ansi) {
  std::string out;
  out.reserve(ansi.size());
  for (char ch : ansi) {
    const auto b = static_cast<unsigned char>(ch);
    char32_t cp = b;
    if (b >= 0x80 && b <= 0x9F) cp = kCp1252High[b - 0x80] ? kCp1252High[b - 0x80] : b;
    AppendUtf8(out, cp);
  }
  return out;
}

std::string Utf8ToCp1252(std::string_view utf8, bool* lossless) {
  std::string out;
  out.reserve(utf8.size());
  bool ok = true;
  for (std::size_t i = 0; i < utf8.size();) {
    const char32_t cp = DecodeUtf8(utf8, i);
    if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF)) {
      out += static_cast<char>(cp);
      continue;
    }
    char byte = 0;
    for (std::size_t k = 0; k < kCp1252High.size(); ++k) {
      if (kCp1252High[k] != 0 && kCp1252High[k] == cp) byte = static_cast<char>(0x80 + k);
    }
    if (byte == 0) {
      ok = false;
      byte = '?';
    }
    out += byte;
  }
  if (lossless) *lossless = ok;
  return out;
}

bool IsValidUtf8(std::string_view bytes) {
  for (std::size_t i = 0; i < bytes.size();) {
    const std::size_t before = i;
    const char32_t cp = DecodeUtf8(bytes, i);
    // A genuine U+FFFD is three bytes long; the decoder's replacement for a bad byte is one.
    if (cp == kReplacement && i - before == 1) return false;
  }
  return true;
}

std::string UpperCase(std::string_view utf8) {
  return MapCase(utf8, ToUpper);
}
std::string LowerCase(std::string_view utf8) {
  return MapCase(utf8, ToLower);
}

int CompareNoCase(std::string_view a, std::string_view b) {
  std::size_t i = 0, j = 0;
  // An ASCII byte is a whole character: read without decoding.
  auto next = [](std::string_view text, std::size_t& at) -> char32_t {
    const auto byte = static_cast<unsigned char>(text[at]);
    if (byte < 0x80) {
      ++at;
      return ToUpper(byte);
    }
    return ToUpper(DecodeUtf8(text, at));
  };
  while (i < a.size() && j < b.size()) {
    const char32_t ca = next(a, i);
    const char32_t cb = next(b, j);
    if (ca != cb) return ca < cb ? -1 : 1;
  }
  if (i < a.size()) return 1;
  if (j < b.size()) return -1;
  return 0;
}

bool EqualsNoCase(std::string_view a, std::string_view b) {
  return CompareNoCase(a, b) == 0;
}

bool MatchesPattern(std::string_view name, std::string_view pattern) {
  std::u32string pat = Decode(UpperCase(pattern));
  // "*.*" and "*." stand for every name in a Windows listing, dotted or not.
  if (pat == U"*.*" || pat == U"*.") pat = U"*";
  return Match(Decode(UpperCase(name)), 0, pat, 0);
}

}  // namespace vu::platform
