#include "fax/fax_image.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>
#include <utility>

#include "fax/fax_turn.h"

namespace tern {

namespace {

constexpr std::size_t kStride = kFaxSize;

// The eight pixels of a bit-stream byte as one word in memory order, most significant bit
// first; a set bit is black (1). A line is expanded a word (eight pixels) at a time.
constexpr auto kPixelsOfByte = [] {
  std::array<std::uint64_t, 256> table{};
  for (int b = 0; b < 256; ++b) {
    for (int i = 0; i < 8; ++i) {
      const std::uint64_t pixel = static_cast<std::uint64_t>((b >> (7 - i)) & 1);
      const int byte = std::endian::native == std::endian::little ? i : 7 - i;
      table[static_cast<std::size_t>(b)] |= pixel << (8 * byte);
    }
  }
  return table;
}();

void expandLine(const std::uint8_t* bytes, std::uint8_t* row) {
  for (int i = 0; i < kFaxLineBytes; ++i) std::memcpy(row + 8 * i, &kPixelsOfByte[bytes[i]], 8);
}

}  // namespace

FaxImage::FaxImage() : bits_(kFaxBitBufferSize), image_(kFaxImageBytes), work_(kFaxImageBytes) {}

void FaxImage::Unpack(ByteView data) { unpacked_ = UnpackBits(data, bits_); }

FaxRect FaxImage::Layout(bool qualityFlag, int faxTurn) {
  quality_ = qualityFlag;
  phasing_ = 0;
  if (qualityFlag) {
    WhitenOutside(image_.data(), content_, FaxRect{});
    content_ = FaxRect{};
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
  const FaxRect chart{0, 0, kFaxLinePixels - 1, lines - 1};
  if (faxTurn != 0) {
    SlantCorrect(work_.data(), image_.data(), lines, faxTurn);
    workUsed_ = BoundingRect(workUsed_, chart);
  }
  // The chart's own pixels were all just written; what an earlier chart left around it
  // becomes white.
  WhitenOutside(image_.data(), content_, chart);
  content_ = chart;
  return chart;
}

void FaxImage::Clear() {
  WhitenOutside(image_.data(), content_, FaxRect{});
  content_ = FaxRect{};
  quality_ = false;
  unpacked_ = 0;
  phasing_ = 0;
}

void FaxImage::Rotate() {
  // Outside the chart the buffer is white, which a turn leaves white: only the chart moves.
  // It is turned into the work buffer, whose leftovers around it are whitened, and the two
  // buffers change places.
  if (IsEmpty(content_)) return;
  const FaxRect turned = TurnedRect(content_, 1);
  TurnQuarter(image_.data(), work_.data(), content_);
  WhitenOutside(work_.data(), workUsed_, turned);
  std::swap(image_, work_);
  workUsed_ = content_;
  content_ = turned;
}

}  // namespace tern
