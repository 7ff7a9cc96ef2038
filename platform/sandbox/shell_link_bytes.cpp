#include "platform/sandbox/shell_link_bytes.h"

namespace vu::platform::sandbox::lnk {

std::optional<std::uint8_t> ByteReader::U8(std::size_t offset) const {
  if (offset >= bytes_.size()) return std::nullopt;
  return static_cast<std::uint8_t>(bytes_[offset]);
}

std::optional<std::uint16_t> ByteReader::U16(std::size_t offset) const {
  const auto s = Slice(offset, 2);
  if (!s) return std::nullopt;
  return static_cast<std::uint16_t>(static_cast<unsigned char>((*s)[0]) |
                                    (static_cast<unsigned char>((*s)[1]) << 8));
}

std::optional<std::uint32_t> ByteReader::U32(std::size_t offset) const {
  const auto s = Slice(offset, 4);
  if (!s) return std::nullopt;
  std::uint32_t value = 0;
  for (int i = 3; i >= 0; --i)
    value = (value << 8) | static_cast<unsigned char>((*s)[i]);
  return value;
}

std::optional<std::string_view> ByteReader::Slice(std::size_t offset, std::size_t length) const {
  if (offset > bytes_.size() || length > bytes_.size() - offset) return std::nullopt;
  return bytes_.substr(offset, length);
}

std::optional<std::string_view> ByteReader::CString(std::size_t offset) const {
  if (offset >= bytes_.size()) return std::nullopt;
  const std::size_t end = bytes_.find('\0', offset);
  if (end == std::string_view::npos) return std::nullopt;
  return bytes_.substr(offset, end - offset);
}

std::optional<std::u16string> ByteReader::WString(std::size_t offset) const {
  for (std::size_t p = offset; p < bytes_.size() && bytes_.size() - p >= 2; p += 2) {
    if (bytes_[p] == '\0' && bytes_[p + 1] == '\0') {
      return DecodeUtf16Le(bytes_.substr(offset), (p - offset) / 2);
    }
  }
  return std::nullopt;
}

std::u16string DecodeUtf16Le(std::string_view bytes, std::size_t count) {
  std::u16string text;
  text.reserve(count);
  for (std::size_t i = 0; i < count; ++i) {
    text += static_cast<char16_t>(static_cast<unsigned char>(bytes[2 * i]) |
                                  (static_cast<unsigned char>(bytes[2 * i + 1]) << 8));
  }
  return text;
}

void PutU8(std::string& out, std::uint8_t value) {
  out += static_cast<char>(value);
}

void PutU16(std::string& out, std::uint16_t value) {
  out += static_cast<char>(value & 0xFF);
  out += static_cast<char>(value >> 8);
}

void PutU32(std::string& out, std::uint32_t value) {
  for (int i = 0; i < 4; ++i)
    out += static_cast<char>((value >> (8 * i)) & 0xFF);
}

void PutU32At(std::string& out, std::size_t offset, std::uint32_t value) {
  for (int i = 0; i < 4; ++i)
    out[offset + i] = static_cast<char>((value >> (8 * i)) & 0xFF);
}

void PutU16At(std::string& out, std::size_t offset, std::uint16_t value) {
  out[offset] = static_cast<char>(value & 0xFF);
  out[offset + 1] = static_cast<char>(value >> 8);
}

void PutUtf16(std::string& out, std::u16string_view text, bool terminate) {
  for (char16_t c : text)
    PutU16(out, static_cast<std::uint16_t>(c));
  if (terminate) PutU16(out, 0);
}

}  // namespace vu::platform::sandbox::lnk
