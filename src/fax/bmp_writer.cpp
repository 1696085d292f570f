#include "fax/bmp_writer.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>

#include "common/cpu_features.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace tern {

namespace {

constexpr std::uint32_t kFileHeaderSize = 14;
constexpr std::uint32_t kInfoHeaderSize = 40;
constexpr std::int32_t kPixelsPerMetre = 2835;  // 72 dpi

int bitsFor(std::size_t paletteSize) { return paletteSize <= 2 ? 1 : paletteSize <= 16 ? 4 : 8; }

// Eight one-bit pixels (bit 0 of each byte) as one byte, the first pixel in its most
// significant bit. The multiplication moves bit 0 of byte i to bit 63 - i; every other
// product falls above bit 63 or below bit 56 and cannot carry into the result.
std::uint8_t packEight(const std::uint8_t* pixels) {
  std::uint64_t word = 0;
  if constexpr (std::endian::native == std::endian::little) {
    std::memcpy(&word, pixels, 8);
  } else {
    for (int i = 7; i >= 0; --i) word = (word << 8) | pixels[i];
  }
  return static_cast<std::uint8_t>(((word & 0x0101010101010101u) * 0x8040201008040201u) >> 56);
}

#if defined(__SSE2__)
// Every byte with its bits in the opposite order.
constexpr std::array<std::uint8_t, 256> kReversedBits = [] {
  std::array<std::uint8_t, 256> table{};
  for (unsigned b = 0; b < 256; ++b) {
    unsigned r = 0;
    for (int i = 0; i < 8; ++i) r |= ((b >> i) & 1u) << (7 - i);
    table[b] = static_cast<std::uint8_t>(r);
  }
  return table;
}();

// Sixteen one-bit pixels as two bytes. Shifting each 16-bit lane left by seven puts bit 0 of
// both its bytes at their top bit (what moves up from the lower byte lands below the upper
// byte's top bit), the top bits come out first pixel lowest, and each byte is reversed.
void packSixteen(const std::uint8_t* pixels, std::uint8_t* to) {
  const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(pixels));
  const auto tops = static_cast<unsigned>(_mm_movemask_epi8(_mm_slli_epi16(v, 7)));
  to[0] = kReversedBits[tops & 0xFFu];
  to[1] = kReversedBits[tops >> 8];
}
#endif

// One row of palette indices as the file stores it: whole bytes where eight (or two) pixels
// fill one, the last, partly filled byte with its unused bits 0. `vectors`: SSE2 may pack.
void packRow(const std::uint8_t* from, std::uint8_t* to, int width, int bits,
             [[maybe_unused]] bool vectors) {
  if (bits == 1) {
    const int whole = width / 8;
    int k = 0;
#if defined(__SSE2__)
    if (vectors)
      for (; k + 1 < whole; k += 2) packSixteen(from + 8 * k, to + k);
#endif
    for (; k < whole; ++k) to[k] = packEight(from + 8 * k);
    for (int x = 8 * whole; x < width; ++x)
      to[x >> 3] = static_cast<std::uint8_t>(to[x >> 3] | ((from[x] & 1) << (7 - (x & 7))));
  } else if (bits == 4) {
    const int whole = width / 2;
    for (int k = 0; k < whole; ++k)
      to[k] = static_cast<std::uint8_t>(((from[2 * k] & 15) << 4) | (from[2 * k + 1] & 15));
    if (width % 2 != 0) to[whole] = static_cast<std::uint8_t>((from[width - 1] & 15) << 4);
  } else {
    std::copy(from, from + width, to);
  }
}

}  // namespace

Bytes encodeBmp(const FaxPicture& picture) {
  const int bits = bitsFor(picture.palette.size());
  const std::uint32_t paletteEntries = 1u << bits;
  const int width = std::max(0, picture.width);
  const int height =
      picture.pixels.size() >= static_cast<std::size_t>(width) *
                                   static_cast<std::size_t>(std::max(0, picture.height))
          ? std::max(0, picture.height)
          : 0;
  const std::uint32_t rowBytes = ((static_cast<std::uint32_t>(width) * bits + 31) / 32) * 4;
  const std::uint32_t imageBytes = rowBytes * static_cast<std::uint32_t>(height);
  const std::uint32_t offset = kFileHeaderSize + kInfoHeaderSize + 4 * paletteEntries;

  Bytes out;
  out.reserve(offset + imageBytes);
  ByteWriter w(out);
  w.u8('B');
  w.u8('M');
  w.u32(offset + imageBytes);
  w.u16(0);
  w.u16(0);
  w.u32(offset);
  w.u32(kInfoHeaderSize);
  w.i32(width);
  w.i32(height);  // positive: rows bottom-up
  w.u16(1);       // planes
  w.u16(static_cast<std::uint16_t>(bits));
  w.u32(0);  // no compression
  w.u32(imageBytes);
  w.i32(kPixelsPerMetre);
  w.i32(kPixelsPerMetre);
  w.u32(paletteEntries);
  w.u32(0);
  for (std::uint32_t i = 0; i < paletteEntries; ++i) {
    const std::uint32_t rgb = i < picture.palette.size() ? picture.palette[i] : 0;
    w.u8(static_cast<std::uint8_t>(rgb));        // blue
    w.u8(static_cast<std::uint8_t>(rgb >> 8));   // green
    w.u8(static_cast<std::uint8_t>(rgb >> 16));  // red
    w.u8(0);
  }

  const std::size_t start = out.size();
  out.resize(start + imageBytes, 0);
  const bool vectors = ProcessorHasSse2();
  for (int y = 0; y < height; ++y) {
    const std::uint8_t* from = picture.pixels.data() + static_cast<std::size_t>(height - 1 - y) *
                                                           static_cast<std::size_t>(width);
    std::uint8_t* to = out.data() + start + static_cast<std::size_t>(y) * rowBytes;
    packRow(from, to, width, bits, vectors);
  }
  return out;
}

FileStatus writeBmp(const std::string& path, const FaxPicture& picture) {
  return replaceFileAtomically(path, encodeBmp(picture));
}

}  // namespace tern
