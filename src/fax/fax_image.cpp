#include "fax/fax_image.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace tern {

namespace {

constexpr std::size_t kStride = kFaxSize;

// The eight pixels of a bit-stream byte, most significant bit first; a set bit is black (1).
constexpr auto kPixelsOfByte = [] {
  std::array<std::array<std::uint8_t, 8>, 256> table{};
  for (int b = 0; b < 256; ++b)
    for (int i = 0; i < 8; ++i) table[b][i] = static_cast<std::uint8_t>((b >> (7 - i)) & 1);
  return table;
}();

void expandLine(const std::uint8_t* bytes, std::uint8_t* row) {
  for (int i = 0; i < kFaxLineBytes; ++i)
    std::memcpy(row + 8 * i, kPixelsOfByte[bytes[i]].data(), 8);
}

}  // namespace

FaxImage::FaxImage() : bits_(kFaxBitBufferSize), image_(kFaxImageBytes), work_(kFaxImageBytes) {}

void FaxImage::Unpack(ByteView data) { unpacked_ = UnpackBits(data, bits_); }

FaxRect FaxImage::Layout(bool qualityFlag, int faxTurn) {
  quality_ = qualityFlag;
  phasing_ = 0;
  if (qualityFlag) {
    std::fill(image_.begin(), image_.end(), std::uint8_t{0});
    return {0, 0, kFaxLinePixels - 1, kFaxSize - 1};
  }
  std::size_t p = FindPhasing(bits_, unpacked_);
  phasing_ = p;
  // Without a slant the lines go straight into the image; with one they go to the work
  // buffer, which the correction reads.
  std::uint8_t* target = faxTurn == 0 ? image_.data() : work_.data();
  int lines = 0;
  while (lines < kFaxSize && p + kFaxLineBytes < unpacked_) {
    expandLine(bits_.data() + p, target + static_cast<std::size_t>(lines) * kStride);
    ++lines;
    p += kFaxLineBytes;
  }
  if (faxTurn != 0) SlantCorrect(work_.data(), image_.data(), lines, faxTurn);
  // Everything around the chart is white; the chart's own pixels were all just written.
  for (int y = 0; y < lines; ++y)
    std::memset(image_.data() + static_cast<std::size_t>(y) * kStride + kFaxLinePixels, 0,
                kStride - kFaxLinePixels);
  std::memset(image_.data() + static_cast<std::size_t>(lines) * kStride, 0,
              static_cast<std::size_t>(kFaxSize - lines) * kStride);
  return {0, 0, kFaxLinePixels - 1, lines - 1};
}

void FaxImage::Clear() {
  std::fill(image_.begin(), image_.end(), std::uint8_t{0});
  quality_ = false;
  unpacked_ = 0;
  phasing_ = 0;
}

void FaxImage::Rotate() {
  // Buffer row 2399 - c, column r takes the copy's row r, column c. Done in tiles so both
  // sides of the transposition stay in the cache.
  std::memcpy(work_.data(), image_.data(), kFaxImageBytes);
  constexpr int kTile = 48;  // divides 2400
  const std::uint8_t* from = work_.data();
  std::uint8_t* to = image_.data();
  for (int r0 = 0; r0 < kFaxSize; r0 += kTile) {
    for (int c0 = 0; c0 < kFaxSize; c0 += kTile) {
      for (int c = c0; c < c0 + kTile; ++c) {
        std::uint8_t* out = to + static_cast<std::size_t>(kFaxSize - 1 - c) * kStride;
        const std::uint8_t* in = from + c;
        for (int r = r0; r < r0 + kTile; ++r) out[r] = in[static_cast<std::size_t>(r) * kStride];
      }
    }
  }
}

}  // namespace tern
