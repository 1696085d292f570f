// Builds fax recordings for the tests, the benchmark and the fuzz corpus: bit buffers with
// phasing bands and chart lines, and the receiver's literal and run bytes that unpack into
// exactly such a buffer.
#pragma once

#include <cstdint>
#include <vector>

#include "common/bytes.h"
#include "fax/fax_decode.h"

namespace tern::testing {

// Packs bits (one per element, 0 or 1): eight or more equal bits as run bytes (8 + 3k
// bits), everything else as seven-bit literals, the last one filled up with 0.
inline Bytes packBits(const std::vector<std::uint8_t>& bits) {
  Bytes out;
  std::size_t i = 0;
  while (i < bits.size()) {
    std::size_t same = 1;
    while (i + same < bits.size() && bits[i + same] == bits[i] && same < 197) ++same;
    if (same >= 8) {
      const std::size_t k = (same - 8) / 3;
      out.push_back(static_cast<std::uint8_t>(0x80 | (bits[i] ? 0x40 : 0) | k));
      i += 8 + 3 * k;
      continue;
    }
    std::uint8_t literal = 0;
    for (int j = 0; j < 7; ++j) {
      literal = static_cast<std::uint8_t>(literal << 1);
      if (i < bits.size()) literal = static_cast<std::uint8_t>(literal | (bits[i++] & 1));
    }
    out.push_back(literal);
  }
  return out;
}

// Data that unpacks into `buffer` with n = buffer.size(). The stream starts at the least
// significant bit of byte 0; the other bits of byte 0 cannot be carried (they unpack as 0).
inline Bytes encodeBuffer(ByteView buffer) {
  if (buffer.empty()) return {};
  std::vector<std::uint8_t> bits;
  bits.reserve(buffer.size() * 8);
  bits.push_back(buffer[0] & 1);
  for (std::size_t i = 1; i < buffer.size(); ++i)
    for (int b = 7; b >= 0; --b) bits.push_back((buffer[i] >> b) & 1);
  return packBits(bits);
}

// Bit `bit` of a buffer, most significant first: pixel `bit % 8` of byte `bit / 8`.
inline void setBit(Bytes& buffer, std::size_t bit) {
  buffer[bit / 8] = static_cast<std::uint8_t>(buffer[bit / 8] | (0x80 >> (bit % 8)));
}
inline void clearBit(Bytes& buffer, std::size_t bit) {
  buffer[bit / 8] = static_cast<std::uint8_t>(buffer[bit / 8] & ~(0x80 >> (bit % 8)));
}

// Writes a five-line phasing band at byte `q`: black except a bar at byte `barAt` of each
// line holding `barClearBits` white bits (lines filled in turn, at most 40 each) and
// scattered white bits far from the bar, so that the band has `setBits` black bits. The
// scattered bits give any 5-byte window at most 75 white bits.
inline void putBand(Bytes& buffer, std::size_t q, std::size_t barAt, int barClearBits,
                    int setBits) {
  constexpr std::size_t kLine = kFaxLineBytes;
  for (std::size_t i = 0; i < 5 * kLine; ++i) buffer[q + i] = 0xFF;
  int left = barClearBits;
  for (std::size_t line = 0; line < 5 && left > 0; ++line)
    for (std::size_t bit = 0; bit < 40 && left > 0; ++bit, --left)
      clearBit(buffer, (q + line * kLine + barAt) * 8 + bit);
  int extra = 5 * static_cast<int>(kLine) * 8 - setBits - barClearBits;
  for (int bit = 0; bit < 3 && extra > 0; ++bit)
    for (std::size_t line = 0; line < 5 && extra > 0; ++line)
      for (std::size_t at = 100; at < kLine && extra > 0; ++at, --extra)
        clearBit(buffer, (q + line * kLine + at) * 8 + static_cast<std::size_t>(bit) * 3);
}

// A bit buffer of a whole chart: a white first band, a phasing band of black lines with a
// ten-byte white bar at their start (the chart starts at byte 1125), then `lines` chart
// lines of a grid, frames and pseudo-random text blocks, like a weather chart: mostly
// white with runs, and enough detail to need literals.
inline Bytes chartBuffer(int lines, std::uint32_t seed = 1) {
  constexpr std::size_t kLine = kFaxLineBytes;
  const std::size_t start = kPhasingBandBytes;
  Bytes buffer(start + static_cast<std::size_t>(lines) * kLine + 1, 0);
  for (int line = 0; line < lines; ++line) {
    std::uint8_t* row = buffer.data() + start + static_cast<std::size_t>(line) * kLine;
    if (line < 5) {  // phasing: black, white bar of ten bytes at the left edge
      for (std::size_t i = 10; i < kLine; ++i) row[i] = 0xFF;
      continue;
    }
    if (line % 150 == 0) {
      for (std::size_t i = 12; i < kLine - 2; ++i) row[i] = 0xFF;  // grid line
      continue;
    }
    for (std::size_t i = 12; i < kLine - 2; i += 25) row[i] |= 0x10;  // meridians
    // Text blocks: every fourth line band of 12 lines carries random bytes in a few places.
    if ((line / 12) % 4 == 1) {
      for (std::size_t block = 20; block + 12 < kLine; block += 40) {
        for (std::size_t i = block; i < block + 10; ++i) {
          seed = seed * 1664525u + 1013904223u;
          row[i] = static_cast<std::uint8_t>(seed >> 24);
        }
      }
    }
  }
  return buffer;
}

}  // namespace tern::testing
