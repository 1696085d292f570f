#include "common/bytes.h"

namespace tern {

void ByteWriter::u16(std::uint16_t v) {
  std::uint8_t b[2];
  putU16(b, v);
  out_.insert(out_.end(), b, b + 2);
}

void ByteWriter::u32(std::uint32_t v) {
  std::uint8_t b[4];
  putU32(b, v);
  out_.insert(out_.end(), b, b + 4);
}

std::optional<ByteView> ByteReader::take(std::size_t n) {
  if (!ok_ || n > remaining()) {
    ok_ = false;
    return std::nullopt;
  }
  ByteView v = in_.subspan(pos_, n);
  pos_ += n;
  return v;
}

std::optional<std::uint8_t> ByteReader::u8() {
  auto v = take(1);
  if (!v) return std::nullopt;
  return (*v)[0];
}

std::optional<std::uint16_t> ByteReader::u16() {
  auto v = take(2);
  if (!v) return std::nullopt;
  return getU16(*v, 0);
}

std::optional<std::uint32_t> ByteReader::u32() {
  auto v = take(4);
  if (!v) return std::nullopt;
  return getU32(*v, 0);
}

std::optional<std::int32_t> ByteReader::i32() {
  auto v = u32();
  if (!v) return std::nullopt;
  return static_cast<std::int32_t>(*v);
}

std::string toHex(ByteView bytes, char separator) {
  static const char* digits = "0123456789ABCDEF";
  std::string out;
  out.reserve(bytes.size() * 3);
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    if (i != 0 && separator != '\0') out.push_back(separator);
    out.push_back(digits[bytes[i] >> 4]);
    out.push_back(digits[bytes[i] & 0x0F]);
  }
  return out;
}

}  // namespace tern
