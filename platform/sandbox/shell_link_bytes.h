// Little-endian byte access for the shell link format: a reader that answers nullopt instead of
// reading past its view, and append helpers for the writer.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace vu::platform::sandbox::lnk {

class ByteReader {
 public:
  explicit ByteReader(std::string_view bytes) : bytes_(bytes) {}

  std::size_t size() const { return bytes_.size(); }

  std::optional<std::uint8_t> U8(std::size_t offset) const;
  std::optional<std::uint16_t> U16(std::size_t offset) const;
  std::optional<std::uint32_t> U32(std::size_t offset) const;
  // |length| bytes from |offset|; nullopt when any of them lies outside the view.
  std::optional<std::string_view> Slice(std::size_t offset, std::size_t length) const;
  // A NUL-terminated single-byte string (without its NUL) that must end inside the view.
  std::optional<std::string_view> CString(std::size_t offset) const;
  // A NUL-terminated UTF-16LE string (without its NUL) that must end inside the view.
  std::optional<std::u16string> WString(std::size_t offset) const;

 private:
  std::string_view bytes_;
};

// |count| UTF-16LE code units from |bytes| (which holds at least 2 * count bytes).
std::u16string DecodeUtf16Le(std::string_view bytes, std::size_t count);

void PutU8(std::string& out, std::uint8_t value);
void PutU16(std::string& out, std::uint16_t value);
void PutU32(std::string& out, std::uint32_t value);
void PutU32At(std::string& out, std::size_t offset, std::uint32_t value);
void PutU16At(std::string& out, std::size_t offset, std::uint16_t value);
// UTF-16LE code units, optionally followed by a NUL unit.
void PutUtf16(std::string& out, std::u16string_view text, bool terminate);

}  // namespace vu::platform::sandbox::lnk
