// Little-endian byte helpers. Every fixed layout of the project (USB frames, record
// headers, data files, the settings file) is read and written through these, never by
// casting structs, so the layouts do not depend on the compiler's padding or byte order.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace tern {

using Bytes = std::vector<std::uint8_t>;
using ByteView = std::span<const std::uint8_t>;

inline std::uint16_t getU16(ByteView b, std::size_t at) {
  return static_cast<std::uint16_t>(b[at] | (b[at + 1] << 8));
}
inline std::uint32_t getU32(ByteView b, std::size_t at) {
  return static_cast<std::uint32_t>(b[at]) | (static_cast<std::uint32_t>(b[at + 1]) << 8) |
         (static_cast<std::uint32_t>(b[at + 2]) << 16) |
         (static_cast<std::uint32_t>(b[at + 3]) << 24);
}
inline std::int32_t getI32(ByteView b, std::size_t at) {
  return static_cast<std::int32_t>(getU32(b, at));
}
inline void putU16(std::uint8_t* out, std::uint16_t v) {
  out[0] = static_cast<std::uint8_t>(v);
  out[1] = static_cast<std::uint8_t>(v >> 8);
}
inline void putU32(std::uint8_t* out, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) out[i] = static_cast<std::uint8_t>(v >> (8 * i));
}

// Appends little-endian values to a growing buffer.
class ByteWriter {
 public:
  explicit ByteWriter(Bytes& out) : out_(out) {}
  void u8(std::uint8_t v) { out_.push_back(v); }
  void u16(std::uint16_t v);
  void u32(std::uint32_t v);
  void i32(std::int32_t v) { u32(static_cast<std::uint32_t>(v)); }
  void bytes(ByteView v) { out_.insert(out_.end(), v.begin(), v.end()); }
  void text(std::string_view v) { out_.insert(out_.end(), v.begin(), v.end()); }
  void zeros(std::size_t n) { out_.insert(out_.end(), n, 0); }

 private:
  Bytes& out_;
};

// Reads little-endian values from outside bytes. Every read checks the bounds; a read past
// the end fails (returns nothing) and leaves the reader failed, so a parser can read a whole
// record and check `ok()` once.
class ByteReader {
 public:
  explicit ByteReader(ByteView in) : in_(in) {}
  std::optional<std::uint8_t> u8();
  std::optional<std::uint16_t> u16();
  std::optional<std::uint32_t> u32();
  std::optional<std::int32_t> i32();
  // The next n bytes, or nothing when fewer remain.
  std::optional<ByteView> take(std::size_t n);
  bool skip(std::size_t n) { return take(n).has_value(); }

  bool ok() const { return ok_; }
  std::size_t position() const { return pos_; }
  std::size_t remaining() const { return in_.size() - pos_; }
  bool atEnd() const { return pos_ == in_.size(); }

 private:
  ByteView in_;
  std::size_t pos_ = 0;
  bool ok_ = true;
};

// Hex text of bytes ("0A 1B ..."), for diagnostics and the command-line tool.
std::string toHex(ByteView bytes, char separator = ' ');

}  // namespace tern
