#pragma once
// Little-endian byte building and reading for the help file's structures.

#include <cstdint>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace vu::helpc {

using Bytes = std::vector<std::uint8_t>;

inline void Put8(Bytes& out, unsigned value) {
  out.push_back(static_cast<std::uint8_t>(value));
}
inline void Put16(Bytes& out, unsigned value) {
  Put8(out, value & 0xFF);
  Put8(out, (value >> 8) & 0xFF);
}
inline void Put32(Bytes& out, std::uint32_t value) {
  Put16(out, value & 0xFFFF);
  Put16(out, value >> 16);
}
inline void PutString(Bytes& out, std::string_view text) {
  out.insert(out.end(), text.begin(), text.end());
}
inline void PutStringZ(Bytes& out, std::string_view text) {
  PutString(out, text);
  Put8(out, 0);
}
inline void Set16(Bytes& out, std::size_t at, unsigned value) {
  out[at] = static_cast<std::uint8_t>(value & 0xFF);
  out[at + 1] = static_cast<std::uint8_t>((value >> 8) & 0xFF);
}
inline void Set32(Bytes& out, std::size_t at, std::uint32_t value) {
  Set16(out, at, value & 0xFFFF);
  Set16(out, at + 2, value >> 16);
}

// A malformed help file.
class FormatError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// A bounds-checked view of part of a file.
class Reader {
 public:
  Reader(std::span<const std::uint8_t> data, std::string what)
      : data_(data), what_(std::move(what)) {}

  std::size_t size() const { return data_.size(); }
  std::size_t pos() const { return pos_; }
  void Seek(std::size_t pos) {
    if (pos > data_.size()) Fail("offset beyond its end");
    pos_ = pos;
  }
  bool AtEnd() const { return pos_ >= data_.size(); }

  std::uint8_t U8() {
    Need(1);
    return data_[pos_++];
  }
  std::uint16_t U16() {
    Need(2);
    const unsigned value = data_[pos_] | (data_[pos_ + 1] << 8);
    pos_ += 2;
    return static_cast<std::uint16_t>(value);
  }
  std::uint32_t U32() {
    const std::uint32_t low = U16();
    return low | (static_cast<std::uint32_t>(U16()) << 16);
  }
  std::string StringZ() {
    std::string text;
    for (;;) {
      const std::uint8_t c = U8();
      if (c == 0) return text;
      text += static_cast<char>(c);
    }
  }
  std::span<const std::uint8_t> Take(std::size_t count) {
    Need(count);
    const auto part = data_.subspan(pos_, count);
    pos_ += count;
    return part;
  }

  [[noreturn]] void Fail(const std::string& message) const {
    throw FormatError(what_ + ": " + message);
  }

 private:
  void Need(std::size_t count) const {
    if (count > data_.size() - pos_) Fail("truncated");
  }

  std::span<const std::uint8_t> data_;
  std::string what_;
  std::size_t pos_ = 0;
};

}  // namespace vu::helpc
