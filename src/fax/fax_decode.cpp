#include "fax/fax_decode.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstdlib>
#include <cstring>

namespace tern {

namespace {

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

// 1800 pixels from bit `bit` of `stream` on (reads one byte beyond them when `bit` is not
// on a byte boundary).
void expandFromBit(const std::uint8_t* stream, std::int64_t bit, std::uint8_t* row) {
  const std::uint8_t* bytes = stream + bit / 8;
  const unsigned k = static_cast<unsigned>(bit % 8);
  if (k == 0) {
    for (int i = 0; i < kFaxLineBytes; ++i) std::memcpy(row + 8 * i, &kPixelsOfByte[bytes[i]], 8);
    return;
  }
  for (int i = 0; i < kFaxLineBytes; ++i) {
    const unsigned b = ((unsigned{bytes[i]} << k) | (unsigned{bytes[i + 1]} >> (8 - k))) & 0xFFu;
    std::memcpy(row + 8 * i, &kPixelsOfByte[b], 8);
  }
}

// Collects bits most significant first and stores each byte as soon as it is whole; runs
// longer than a byte are stored a byte at a time.
class BitWriter {
 public:
  explicit BitWriter(std::span<std::uint8_t> out) : out_(out) {}

  // Appends the `count` (<= 8) low bits of `value`, the highest of them first. False when
  // the stream reached the end of the buffer.
  bool put(unsigned value, int count) {
    acc_ = (acc_ << count) | value;
    filled_ += count;
    if (filled_ < 8) return true;
    filled_ -= 8;
    out_[index_] = static_cast<std::uint8_t>(acc_ >> filled_);
    acc_ &= (1u << filled_) - 1;
    return ++index_ < out_.size();
  }

  bool run(bool set, int count) {
    // Top up the byte being filled, store whole bytes, keep the rest.
    const int head = std::min(count, (8 - filled_) % 8);
    if (head > 0 && !put(set ? (1u << head) - 1 : 0u, head)) return false;
    count -= head;
    const std::size_t whole =
        std::min<std::size_t>(static_cast<std::size_t>(count / 8), out_.size() - index_);
    std::memset(out_.data() + index_, set ? 0xFF : 0x00, whole);
    index_ += whole;
    if (index_ == out_.size()) return false;
    count -= static_cast<int>(whole) * 8;
    return count == 0 || put(set ? (1u << count) - 1 : 0u, count);
  }

  // Stores the partly filled byte, its unused positions 0; returns n.
  std::size_t finish() {
    if (filled_ > 0) out_[index_] = static_cast<std::uint8_t>(acc_ << (8 - filled_));
    return index_;
  }

 private:
  std::span<std::uint8_t> out_;
  std::size_t index_ = 0;
  unsigned acc_ = 0;  // the filled positions of byte index_, right-aligned
  int filled_ = 7;    // the first bit goes to position 7 of byte 0; 0..6 stay clear
};

// The set bits of a word, in a handful of inline instructions: std::popcount becomes a
// library call where the baseline processor has no popcount instruction.
int bitsIn(std::uint64_t x) {
  x = x - ((x >> 1) & 0x5555555555555555u);
  x = (x & 0x3333333333333333u) + ((x >> 2) & 0x3333333333333333u);
  x = (x + (x >> 4)) & 0x0F0F0F0F0F0F0F0Fu;
  return static_cast<int>((x * 0x0101010101010101u) >> 56);
}

int setBits(const std::uint8_t* p, std::size_t count) {
  int total = 0;
  std::size_t i = 0;
  for (; i + 8 <= count; i += 8) {
    std::uint64_t word;
    std::memcpy(&word, p + i, 8);
    total += bitsIn(word);
  }
  std::uint64_t rest = 0;
  std::memcpy(&rest, p + i, count - i);
  return total + bitsIn(rest);
}

// Where row `y` starts in the chart's stream of 1800 pixels per line; never below 0, as the
// shift is at most y and the line starts at 1800 y.
std::int64_t slantedRowStart(int y, int step, int faxTurn) {
  const std::int64_t shift = step == 0 ? 0 : y / step;
  return std::int64_t{kFaxLinePixels} * y + (faxTurn > 0 ? -shift : shift);
}

// A stream position past the chart's end folds back into its last line, so a slanted read
// never leaves the chart.
std::int64_t foldIntoChart(std::int64_t s, int lines) {
  constexpr std::int64_t kLine = kFaxLinePixels;
  if (s < kLine * lines) return s;
  const std::int64_t lastStart = kLine * (lines - 1);
  return lastStart + (s - lastStart) % kLine;
}

}  // namespace

std::size_t UnpackBits(ByteView data, std::span<std::uint8_t> out) {
  if (out.empty()) return 0;
  BitWriter writer(out);
  for (std::uint8_t b : data) {
    const bool more = b < 128 ? writer.put(b, 7) : writer.run((b & 64) != 0, (b & 63) * 3 + 8);
    if (!more) return out.size() - 1;
  }
  return writer.finish();
}

std::size_t FindPhasing(std::span<const std::uint8_t> bits, std::size_t n) {
  n = std::min(n, bits.size());
  for (std::size_t q = kPhasingBandBytes; q <= kLastPhasingBand; q += kPhasingBandBytes) {
    if (q + kPhasingBandBytes > n) break;  // this band and all later ones reach past the data
    const std::uint8_t* band = bits.data() + q;
    const int set = setBits(band, kPhasingBandBytes);
    if (set < kPhasingMinSetBits || set > kPhasingMaxSetBits) continue;
    int best = -1;
    std::size_t bestShift = 0;
    for (std::size_t d = 0; d <= kPhasingMaxShift; ++d) {
      int clear = 0;
      for (std::size_t i = 0; i < 5; ++i) clear += 40 - setBits(band + d + kFaxLineBytes * i, 5);
      if (clear > best) {
        best = clear;
        bestShift = d;
      }
    }
    if (best >= kPhasingMinClearBits) return q + bestShift;
  }
  return 0;
}

int SlantStep(int faxTurn) {
  if (faxTurn == 0) return 0;
  // std::abs of INT_MIN is undefined; anything beyond the limit is the limit anyway.
  const int magnitude = faxTurn < -kMaxFaxTurnMagnitude || faxTurn > kMaxFaxTurnMagnitude
                            ? kMaxFaxTurnMagnitude
                            : std::abs(faxTurn);
  return kFaxSize / magnitude;
}

void SlantCorrect(const std::uint8_t* source, std::uint8_t* image, int lines, int faxTurn) {
  constexpr std::int64_t kLine = kFaxLinePixels;
  const int step = SlantStep(faxTurn);
  for (int y = 0; y < lines; ++y) {
    std::uint8_t* row = image + static_cast<std::size_t>(y) * kFaxSize;
    std::int64_t s = slantedRowStart(y, step, faxTurn);
    std::int64_t x = 0;
    while (x < kLine) {
      const std::int64_t at = foldIntoChart(s, lines);
      const std::int64_t line = at / kLine;
      const std::int64_t column = at % kLine;
      const std::int64_t count = std::min(kLine - column, kLine - x);
      std::memcpy(row + x, source + static_cast<std::size_t>(line) * kFaxSize + column,
                  static_cast<std::size_t>(count));
      x += count;
      s += count;
    }
  }
}

void ExpandLines(const std::uint8_t* stream, std::uint8_t* image, int lines, int faxTurn) {
  constexpr std::int64_t kLine = kFaxLinePixels;
  const int step = SlantStep(faxTurn);
  for (int y = 0; y < lines; ++y) {
    std::uint8_t* row = image + static_cast<std::size_t>(y) * kFaxSize;
    const std::int64_t start = slantedRowStart(y, step, faxTurn);
    if (start + kLine <= kLine * lines) {
      expandFromBit(stream, start, row);
      continue;
    }
    // The last rows of a chart corrected the other way read past its end.
    for (std::int64_t x = 0; x < kLine; ++x) {
      const std::int64_t at = foldIntoChart(start + x, lines);
      row[x] = static_cast<std::uint8_t>((stream[at / 8] >> (7 - at % 8)) & 1);
    }
  }
}

}  // namespace tern
