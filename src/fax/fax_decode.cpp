#include "fax/fax_decode.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstdlib>
#include <cstring>

#include "common/cpu_features.h"

#if defined(__SSE2__) && defined(__x86_64__)
#include <emmintrin.h>
#define TERN_FAX_VECTOR 1
#endif

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

// Eight bytes as one word with the first of them in the top byte.
std::uint64_t firstOnTop(std::uint64_t word) {
  if constexpr (std::endian::native == std::endian::little) return __builtin_bswap64(word);
  return word;
}

// Whether this decode takes the vector path (the processor has SSE2 and the portable paths
// are not forced): sixteen pixels a step, the image buffer's rows stored past the caches.
bool vectorPath() {
#ifdef TERN_FAX_VECTOR
  return ProcessorHasSse2();
#else
  return false;
#endif
}

// Streamed stores become visible to other threads in order only after a fence.
void finishStreaming([[maybe_unused]] bool streamed) {
#ifdef TERN_FAX_VECTOR
  if (streamed) _mm_sfence();
#endif
}

constexpr std::uint64_t kEveryPixel = 0x0101010101010101u;

#ifdef TERN_FAX_VECTOR
// The 64 pixels of eight stream bytes (the first in the top byte of `word`) into `row`, and
// inverted into `inverted` unless kInverted is false. Each byte is spread over eight lanes
// and compared with its bit masks. The image buffer's rows start 16-byte aligned (rows of
// 2400, a buffer from operator new) and are stored past the caches: after a decode the
// picture is what is read next, and 4.3 MB of buffer would only push it out of them (and each
// cache line would first be read from memory to be overwritten). The picture's rows of 1800
// need not be aligned and stay in the caches, where the window reads them next.
template <bool kInverted>
void expandWord(std::uint64_t word, std::uint8_t* row, std::uint8_t* inverted) {
  const __m128i bits = _mm_set_epi8(1, 2, 4, 8, 16, 32, 64, -128, 1, 2, 4, 8, 16, 32, 64, -128);
  const __m128i one = _mm_set1_epi8(1);
  // Memory order: the first stream byte in lane 0.
  const __m128i bytes = _mm_cvtsi64_si128(static_cast<long long>(__builtin_bswap64(word)));
  const __m128i pairs = _mm_unpacklo_epi8(bytes, bytes);
  const __m128i low = _mm_unpacklo_epi16(pairs, pairs);
  const __m128i high = _mm_unpackhi_epi16(pairs, pairs);
  const __m128i spread[4] = {_mm_unpacklo_epi32(low, low), _mm_unpackhi_epi32(low, low),
                             _mm_unpacklo_epi32(high, high), _mm_unpackhi_epi32(high, high)};
  for (int q = 0; q < 4; ++q) {
    const __m128i set = _mm_cmpeq_epi8(_mm_and_si128(spread[q], bits), bits);
    _mm_stream_si128(reinterpret_cast<__m128i*>(row + 16 * q), _mm_and_si128(set, one));
    if constexpr (kInverted)
      _mm_storeu_si128(reinterpret_cast<__m128i*>(inverted + 16 * q), _mm_andnot_si128(set, one));
  }
}
#endif

// 1800 pixels from bit `bit` of `stream` on into `row`, and inverted into `inverted` unless
// that is null. Reads the byte after them too.
template <bool kInverted, bool kVector>
void expandFromBit(const std::uint8_t* stream, std::int64_t bit, std::uint8_t* row,
                   std::uint8_t* inverted) {
  const std::uint8_t* bytes = stream + bit / 8;
  const unsigned k = static_cast<unsigned>(bit % 8);
  const auto emit = [&](int i, unsigned byte) {
    const std::uint64_t pixels = kPixelsOfByte[byte & 0xFFu];
    std::memcpy(row + 8 * i, &pixels, 8);
    if constexpr (kInverted) {
      const std::uint64_t flipped = pixels ^ kEveryPixel;
      std::memcpy(inverted + 8 * i, &flipped, 8);
    }
  };
  // Eight stream bytes at a time, shifted into place in one word (a byte shifted by 8 - 0
  // is 0, so an unshifted line needs no branch).
  int i = 0;
  for (; i + 8 <= kFaxLineBytes; i += 8) {
    std::uint64_t word;
    std::memcpy(&word, bytes + i, 8);
    word = (firstOnTop(word) << k) | (unsigned{bytes[i + 8]} >> (8 - k));
#ifdef TERN_FAX_VECTOR
    if constexpr (kVector) {
      expandWord<kInverted>(word, row + 8 * i, kInverted ? inverted + 8 * i : nullptr);
      continue;
    }
#endif
    for (int j = 0; j < 8; ++j) emit(i + j, static_cast<unsigned>(word >> (56 - 8 * j)));
  }
  for (; i < kFaxLineBytes; ++i)
    emit(i, (unsigned{bytes[i]} << k) | (unsigned{bytes[i + 1]} >> (8 - k)));
}

// Collects bits most significant first in a 64-bit word and stores it, in stream order, each
// time it is full; only the bytes the stream reaches are ever written, in order.
class BitWriter {
 public:
  explicit BitWriter(std::span<std::uint8_t> out) : out_(out) {}

  // Appends the `count` (1..64) low bits of `value` (no bits set above them), the highest of
  // them first. False when the stream reached the end of the buffer.
  bool put(std::uint64_t value, int count) {
    const int space = 64 - filled_;
    if (count < space) {
      acc_ |= value << (space - count);
      filled_ += count;
      return true;
    }
    const int rest = count - space;
    acc_ |= value >> rest;
    if (!store()) return false;
    filled_ = rest;
    acc_ = rest == 0 ? 0 : value << (64 - rest);
    return true;
  }

  // Appends `count` (1..197) equal bits: tops up the word, stores whole words of them, and
  // keeps the rest.
  bool run(bool set, int count) {
    const std::uint64_t ones = set ? ~std::uint64_t{0} : 0;
    const int space = 64 - filled_;
    if (count < space) {
      acc_ |= (ones >> (64 - count)) << (space - count);
      filled_ += count;
      return true;
    }
    acc_ |= ones >> filled_;
    if (!store()) return false;
    for (count -= space; count >= 64; count -= 64) {
      acc_ = ones;
      if (!store()) return false;
    }
    acc_ = count == 0 ? 0 : ones << (64 - count);
    filled_ = count;
    return true;
  }

  // Stores what is left, a partly filled last byte with its unused positions 0; returns n.
  std::size_t finish() {
    for (; filled_ >= 8; filled_ -= 8, acc_ <<= 8) {
      out_[index_] = static_cast<std::uint8_t>(acc_ >> 56);
      if (++index_ == out_.size()) return index_ - 1;
    }
    if (filled_ > 0) out_[index_] = static_cast<std::uint8_t>(acc_ >> 56);
    return index_;
  }

 private:
  // Writes the full word; false when that reached the end of the buffer (a word reaching
  // past it is cut there).
  bool store() {
    const std::size_t room = out_.size() - index_;
    if (room > 8) {
      const std::uint64_t bytes = firstOnTop(acc_);
      std::memcpy(out_.data() + index_, &bytes, 8);
      index_ += 8;
      return true;
    }
    for (std::size_t i = 0; i < room; ++i)
      out_[index_ + i] = static_cast<std::uint8_t>(acc_ >> (56 - 8 * i));
    index_ = out_.size();
    return false;
  }

  std::span<std::uint8_t> out_;
  std::size_t index_ = 0;
  std::uint64_t acc_ = 0;  // the filled positions from byte index_ on, from the top down
  int filled_ = 7;         // the first bit goes to position 7 of byte 0; 0..6 stay clear
};

// Eight literal bytes (each below 128, the first in the top byte of `x`) as their 56 bits
// in stream order, the first literal's highest bit at bit 55. The top bit of each byte is
// dropped, so a byte that is no literal garbles only its own seven bits.
std::uint64_t literalBits(std::uint64_t x) {
  x = ((x & 0x7F007F007F007F00u) >> 1) | (x & 0x007F007F007F007Fu);
  x = ((x & 0x3FFF00003FFF0000u) >> 2) | (x & 0x00003FFF00003FFFu);
  return ((x & 0x0FFFFFFF00000000u) >> 4) | (x & 0x000000000FFFFFFFu);
}

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
  std::size_t i = 0;
  while (i < data.size()) {
    // Noise comes as long stretches of literals: eight of them at a time, and the literals
    // before a run byte in one go.
    if (data.size() - i >= 8) {
      std::uint64_t word;
      std::memcpy(&word, data.data() + i, 8);
      word = firstOnTop(word);
      const std::uint64_t runs = word & 0x8080808080808080u;
      if (runs == 0) {  // a branch, so the next load need not wait for this word
        if (!writer.put(literalBits(word), 56)) return out.size() - 1;
        i += 8;
        continue;
      }
      if (const int literals = std::countl_zero(runs) / 8; literals > 0) {
        // The bits of the run byte land below those of the literals before it.
        const int count = 7 * literals;
        if (!writer.put(literalBits(word) >> (56 - count), count)) return out.size() - 1;
        i += static_cast<std::size_t>(literals);
      }
    }
    const std::uint8_t b = data[i++];
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

void ExpandLines(const std::uint8_t* stream, std::uint8_t* image, int lines, int faxTurn,
                 std::uint8_t* inverted) {
  constexpr std::int64_t kLine = kFaxLinePixels;
  const int step = SlantStep(faxTurn);
  // Streamed stores need rows that start 16-byte aligned; a buffer that does not gets the
  // portable path.
  const bool vector = vectorPath() && reinterpret_cast<std::uintptr_t>(image) % 16 == 0;
  for (int y = 0; y < lines; ++y) {
    std::uint8_t* row = image + static_cast<std::size_t>(y) * kFaxSize;
    std::uint8_t* flipped =
        inverted == nullptr ? nullptr : inverted + static_cast<std::size_t>(y) * kFaxLinePixels;
    const std::int64_t start = slantedRowStart(y, step, faxTurn);
    if (start + kLine <= kLine * lines) {
      if (flipped == nullptr && vector)
        expandFromBit<false, true>(stream, start, row, nullptr);
      else if (flipped == nullptr)
        expandFromBit<false, false>(stream, start, row, nullptr);
      else if (vector)
        expandFromBit<true, true>(stream, start, row, flipped);
      else
        expandFromBit<true, false>(stream, start, row, flipped);
      continue;
    }
    // The last rows of a chart corrected the other way read past its end.
    for (std::int64_t x = 0; x < kLine; ++x) {
      const std::int64_t at = foldIntoChart(start + x, lines);
      row[x] = static_cast<std::uint8_t>((stream[at / 8] >> (7 - at % 8)) & 1);
      if (flipped != nullptr) flipped[x] = row[x] ^ 1;
    }
  }
  finishStreaming(vector);
}

}  // namespace tern
