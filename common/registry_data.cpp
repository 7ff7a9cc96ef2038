#include "common/registry_data.h"

#include <charconv>
#include <cmath>

#include "platform/text.h"

namespace vu::common {
namespace {

bool IsBlank(char c) {
  return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}
bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

// Bytes in the code point that starts with |lead| (valid UTF-8 assumed).
std::size_t SequenceLength(unsigned char lead) {
  if (lead < 0x80) return 1;
  if ((lead & 0xE0) == 0xC0) return 2;
  if ((lead & 0xF0) == 0xE0) return 3;
  return 4;
}

std::optional<std::int32_t> RoundToLong(double value) {
  if (!std::isfinite(value)) return std::nullopt;
  double whole = std::floor(value);
  const double fraction = value - whole;
  if (fraction > 0.5 || (fraction == 0.5 && std::fmod(whole, 2.0) != 0.0)) whole += 1.0;
  if (whole < -2147483648.0 || whole > 2147483647.0) return std::nullopt;
  return static_cast<std::int32_t>(whole);
}

}  // namespace

std::string DataToText(const RegistryData& data) {
  if (const auto* text = std::get_if<std::string>(&data)) return *text;
  return std::to_string(std::get<std::int64_t>(data));
}

std::optional<std::int32_t> TextToLong(std::string_view text) {
  std::size_t i = 0;
  std::size_t end = text.size();
  while (i < end && IsBlank(text[i]))
    ++i;
  while (end > i && IsBlank(text[end - 1]))
    --end;

  // Rebuild the number without separators in the form from_chars reads.
  std::string number;
  if (i < end && (text[i] == '+' || text[i] == '-')) {
    if (text[i] == '-') number += '-';
    ++i;
  }
  bool digits = false;
  for (; i < end && (IsDigit(text[i]) || (digits && text[i] == ',')); ++i) {
    if (text[i] != ',') number += text[i], digits = true;
  }
  if (i < end && text[i] == '.') {
    number += '.';
    for (++i; i < end && IsDigit(text[i]); ++i)
      number += text[i], digits = true;
  }
  if (!digits) return std::nullopt;
  if (i < end && (text[i] == 'e' || text[i] == 'E' || text[i] == 'd' || text[i] == 'D')) {
    number += 'e';
    ++i;
    if (i < end && (text[i] == '+' || text[i] == '-')) number += text[i++];
    bool exponentDigits = false;
    for (; i < end && IsDigit(text[i]); ++i)
      number += text[i], exponentDigits = true;
    if (!exponentDigits) return std::nullopt;
  }
  if (i != end) return std::nullopt;

  double value = 0;
  const auto [ptr, ec] = std::from_chars(number.data(), number.data() + number.size(), value);
  if (ec == std::errc::result_out_of_range) return std::nullopt;
  if (ec != std::errc() || ptr != number.data() + number.size()) return std::nullopt;
  return RoundToLong(value);
}

std::optional<std::int32_t> DataToLong(const RegistryData& data) {
  if (const auto* text = std::get_if<std::string>(&data)) return TextToLong(*text);
  const std::int64_t number = std::get<std::int64_t>(data);
  if (number < INT32_MIN || number > INT32_MAX) return std::nullopt;
  return static_cast<std::int32_t>(number);
}

std::string TextOfBytes(std::string_view bytes) {
  return vu::platform::Cp1252ToUtf8(bytes);
}

std::string BytesOfText(std::string_view text) {
  if (!vu::platform::IsValidUtf8(text)) return std::string(text);
  std::string bytes;
  bytes.reserve(text.size());
  for (std::size_t i = 0; i < text.size();) {
    const std::size_t length = SequenceLength(static_cast<unsigned char>(text[i]));
    const std::string_view one = text.substr(i, length);
    i += length;
    // U+0080..U+009F stand for the bytes of the same value, as Windows maps the five codes
    // Windows-1252 leaves undefined; the other characters go through the code page.
    if (length == 2 && static_cast<unsigned char>(one[0]) == 0xC2 &&
        static_cast<unsigned char>(one[1]) < 0xA0) {
      bytes += one[1];
    } else {
      bytes += vu::platform::Utf8ToCp1252(one);
    }
  }
  return bytes;
}

std::size_t AnsiLength(std::string_view text) {
  if (!vu::platform::IsValidUtf8(text)) return text.size();
  std::size_t characters = 0;
  for (char c : text) {
    if ((static_cast<unsigned char>(c) & 0xC0) != 0x80) ++characters;
  }
  return characters;
}

}  // namespace vu::common
