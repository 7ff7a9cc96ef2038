// Text helpers shared by both back ends, the programs and the tools: trimming, UTF-8 / UTF-16 /
// Windows-1252 conversion, Windows-style case-insensitive comparison and wildcard matching.
#pragma once

#include <string>
#include <string_view>

namespace vu::platform {

// Blank and tab: what every reader of the product's texts passes over around a word. No name
// Windows accepts for a file, key or value can begin or end in a tab, so names lose nothing.
inline constexpr std::string_view kBlanks = " \t";

// |text| without the |blanks| it begins and ends with. Defined here, in the header, so that the
// help compiler built for the build host uses it without linking this layer.
constexpr std::string_view Trim(std::string_view text, std::string_view blanks = kBlanks) {
  const std::size_t first = text.find_first_not_of(blanks);
  if (first == std::string_view::npos) return {};
  return text.substr(first, text.find_last_not_of(blanks) - first + 1);
}

// Invalid UTF-8 bytes become U+FFFD; nothing is dropped silently.
std::u16string Utf8ToUtf16(std::string_view utf8);
// Unpaired surrogates become U+FFFD.
std::string Utf16ToUtf8(std::u16string_view utf16);

// Windows-1252 (the Western ANSI code page), for files that are ANSI by definition.
std::string Cp1252ToUtf8(std::string_view ansi);
// Characters without a Windows-1252 byte become '?'; |lossless| (when given) tells whether any did.
std::string Utf8ToCp1252(std::string_view utf8, bool* lossless = nullptr);
bool IsValidUtf8(std::string_view bytes);

// Upper case as Windows compares names: ASCII, Latin-1, Latin Extended-A, Greek and Cyrillic
// letters; everything else unchanged.
std::string UpperCase(std::string_view utf8);
std::string LowerCase(std::string_view utf8);
bool EqualsNoCase(std::string_view a, std::string_view b);
// Negative, zero or positive, comparing the upper-cased texts code point by code point.
int CompareNoCase(std::string_view a, std::string_view b);

// Windows wildcard match of a file name ('*' any run, '?' one character; "*.*" matches every
// name, with or without a dot), case-insensitive.
bool MatchesPattern(std::string_view name, std::string_view pattern);

}  // namespace vu::platform
