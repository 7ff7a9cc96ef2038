// The value a caller hands to SetRegistryValue (text or a number, like the run time's variant)
// and the run time's conversions of it: to text, to a 32-bit integer, and between the characters
// of a text and the bytes they stand for in the ANSI code page (Windows-1252).
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <variant>

namespace vu::common {

// Text (UTF-8) or a whole number. A string literal selects the text, an integer the number.
using RegistryData = std::variant<std::string, std::int64_t>;

// The text of the data: the text itself, or the number in plain decimal ("-5", "53600").
std::string DataToText(const RegistryData& data);

// The run time's conversion to a 32-bit integer (CLng); nullopt when it fails.
//
// Text: blanks (space, tab, CR, LF) may surround the number; an optional leading sign; digits,
// with ',' allowed as a thousands separator after the first digit; an optional '.' and fraction;
// an optional exponent (E or D, optional sign, digits). A fraction is rounded half to even
// ("1.5" -> 2, "2.5" -> 2, "1.6" -> 2). Anything else fails: "", "12abc", "&HFF", "1 2".
// A number (whole or rounded) outside -2147483648 .. 2147483647 fails: "4294967295" fails,
// "-1" gives -1 (stored as the DWORD 4294967295).
std::optional<std::int32_t> TextToLong(std::string_view text);
std::optional<std::int32_t> DataToLong(const RegistryData& data);

// The characters whose ANSI codes are |bytes|, one character per byte (the run time's Chr of
// each byte): how a caller spells binary data for REG_BINARY, and how binary data read back as
// text looks. Every byte 0..255 has its character, so BytesOfText(TextOfBytes(b)) == b.
std::string TextOfBytes(std::string_view bytes);

// The ANSI bytes of a text, one byte per character; a character without an ANSI code becomes
// '?'. Data that is not valid UTF-8 is taken to be bytes already and comes back unchanged, so
// "\xE8\0\0\0" and the text "è\0\0\0" both give the bytes E8 00 00 00.
std::string BytesOfText(std::string_view text);

// How many bytes the ANSI form of |text| takes: its number of characters.
std::size_t AnsiLength(std::string_view text);

}  // namespace vu::common
