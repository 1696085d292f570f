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
#if defined(__GNUC__) || defined(__clang__)
#include <immintrin.h>
#define TERN_FAX_AVX2 1
#endif
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

// The ways a line is expanded: a table word per stream byte (every processor), sixteen
// pixels a step in SSE2 registers, or thirty-two in AVX2 registers where the processor has
// them (the build's baseline stays SSE2; the AVX2 code is built for that target alone).
enum class Path { Portable, Sse2, Avx2 };

Path expansionPath() {
#ifdef TERN_FAX_AVX2
  if (ProcessorHasAvx2()) return Path::Avx2;
#endif
#ifdef TERN_FAX_VECTOR
  if (ProcessorHasSse2()) return Path::Sse2;
#endif
  return Path::Portable;
}

// Streamed stores become visible to other threads in order only after a fence.
void finishStreaming([[maybe_unused]] bool streamed) {
#ifdef TERN_FAX_VECTOR
  if (streamed) _mm_sfence();
#endif
}

constexpr std::uint64_t kEveryPixel = 0x0101010101010101u;

// The eight stream bytes from byte `i` of `bytes` on, shifted left by `k` bits (0..7) with
// the top bits of byte i + 8 shifted in, the first in the top byte (a byte shifted by 8 - 0
// is 0, so an unshifted line needs no branch).
std::uint64_t shiftedWord(const std::uint8_t* bytes, int i, unsigned k) {
  std::uint64_t word;
  std::memcpy(&word, bytes + i, 8);
  return (firstOnTop(word) << k) | (unsigned{bytes[i + 8]} >> (8 - k));
}

// `p` + `n`, or null for a buffer not written (an offset on null is undefined).
template <bool kWritten>
std::uint8_t* advanced(std::uint8_t* p, int n) {
  if constexpr (kWritten) return p + n;
  return nullptr;
}

// The eight pixels of one shifted stream byte, written the portable way.
template <bool kImage, bool kInverted>
void emitByte(unsigned byte, std::uint8_t* row, std::uint8_t* inverted) {
  const std::uint64_t pixels = kPixelsOfByte[byte & 0xFFu];
  if constexpr (kImage) std::memcpy(row, &pixels, 8);
  if constexpr (kInverted) {
    const std::uint64_t flipped = pixels ^ kEveryPixel;
    std::memcpy(inverted, &flipped, 8);
  }
}

// The line's last byte (225 is not a multiple of eight).
template <bool kImage, bool kInverted>
void emitTail(const std::uint8_t* bytes, int i, unsigned k, std::uint8_t* row,
              std::uint8_t* inverted) {
  for (; i < kFaxLineBytes; ++i)
    emitByte<kImage, kInverted>((unsigned{bytes[i]} << k) | (unsigned{bytes[i + 1]} >> (8 - k)),
                                advanced<kImage>(row, 8 * i), advanced<kInverted>(inverted, 8 * i));
}

// 1800 pixels from bit `bit` of `stream` on into `row` unless kImage is false, and inverted
// into `inverted` unless kInverted is false; a table word per byte. Reads the byte after
// them too.
template <bool kImage, bool kInverted>
void expandPortable(const std::uint8_t* stream, std::int64_t bit, std::uint8_t* row,
                    std::uint8_t* inverted) {
  const std::uint8_t* bytes = stream + bit / 8;
  const auto k = static_cast<unsigned>(bit % 8);
  int i = 0;
  for (; i + 8 <= kFaxLineBytes; i += 8) {
    const std::uint64_t word = shiftedWord(bytes, i, k);
    for (int j = 0; j < 8; ++j)
      emitByte<kImage, kInverted>(static_cast<unsigned>(word >> (56 - 8 * j)),
                                  advanced<kImage>(row, 8 * (i + j)),
                                  advanced<kInverted>(inverted, 8 * (i + j)));
  }
  emitTail<kImage, kInverted>(bytes, i, k, row, inverted);
}

// In the vector paths the image buffer's rows, which start 16-byte aligned (rows of 2400, a
// buffer from operator new), are stored past the caches: after a decode the picture is what
// is read next, and 4.3 MB of buffer would only push it out of them (and each cache line
// would first be read from memory to be overwritten). The picture's rows of 1800 need not be
// aligned and stay in the caches, where the window reads them next.

#ifdef TERN_FAX_VECTOR
// The 64 pixels of eight stream bytes (the first in the top byte of `word`): each byte is
// spread over eight lanes and compared with its bit masks.
template <bool kImage, bool kInverted>
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
    if constexpr (kImage)
      _mm_stream_si128(reinterpret_cast<__m128i*>(row + 16 * q), _mm_and_si128(set, one));
    if constexpr (kInverted)
      _mm_storeu_si128(reinterpret_cast<__m128i*>(inverted + 16 * q), _mm_andnot_si128(set, one));
  }
}

template <bool kImage, bool kInverted>
void expandSse2(const std::uint8_t* stream, std::int64_t bit, std::uint8_t* row,
                std::uint8_t* inverted) {
  const std::uint8_t* bytes = stream + bit / 8;
  const auto k = static_cast<unsigned>(bit % 8);
  int i = 0;
  for (; i + 8 <= kFaxLineBytes; i += 8)
    expandWord<kImage, kInverted>(shiftedWord(bytes, i, k), advanced<kImage>(row, 8 * i),
                                  advanced<kInverted>(inverted, 8 * i));
  emitTail<kImage, kInverted>(bytes, i, k, row, inverted);
}
#endif

#ifdef TERN_FAX_AVX2
// The same 64 pixels in two 256-bit registers: one shuffle spreads four bytes over 32 lanes.
template <bool kImage, bool kInverted>
__attribute__((target("avx2"), always_inline)) inline void expandWordWide(std::uint64_t word,
                                                                          std::uint8_t* row,
                                                                          std::uint8_t* inverted) {
  // Lane i of each eight holds the mask of the byte's bit i, the most significant first.
  const __m256i bits = _mm256_set1_epi64x(0x0102040810204080);
  const __m256i one = _mm256_set1_epi8(1);
  const __m256i bytes = _mm256_set1_epi64x(static_cast<long long>(__builtin_bswap64(word)));
  const __m256i spread[2] = {
      _mm256_shuffle_epi8(bytes, _mm256_setr_epi8(0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 1, 1, 1, 1, 2,
                                                  2, 2, 2, 2, 2, 2, 2, 3, 3, 3, 3, 3, 3, 3, 3)),
      _mm256_shuffle_epi8(bytes, _mm256_setr_epi8(4, 4, 4, 4, 4, 4, 4, 4, 5, 5, 5, 5, 5, 5, 5, 5, 6,
                                                  6, 6, 6, 6, 6, 6, 6, 7, 7, 7, 7, 7, 7, 7, 7))};
  for (int h = 0; h < 2; ++h) {
    const __m256i set = _mm256_cmpeq_epi8(_mm256_and_si256(spread[h], bits), bits);
    if constexpr (kImage) {
      // Rows are 16-byte aligned only: two streamed halves.
      const __m256i pixels = _mm256_and_si256(set, one);
      _mm_stream_si128(reinterpret_cast<__m128i*>(row + 32 * h), _mm256_castsi256_si128(pixels));
      _mm_stream_si128(reinterpret_cast<__m128i*>(row + 32 * h + 16),
                       _mm256_extracti128_si256(pixels, 1));
    }
    if constexpr (kInverted)
      _mm256_storeu_si256(reinterpret_cast<__m256i*>(inverted + 32 * h),
                          _mm256_andnot_si256(set, one));
  }
}

// expandSse2's loop again: a function built for AVX2 cannot share a loop built for the
// baseline, which could not take the AVX2 step inlined.
template <bool kImage, bool kInverted>
__attribute__((target("avx2"))) void expandAvx2(const std::uint8_t* stream, std::int64_t bit,
                                                std::uint8_t* row, std::uint8_t* inverted) {
  const std::uint8_t* bytes = stream + bit / 8;
  const auto k = static_cast<unsigned>(bit % 8);
  int i = 0;
  for (; i + 8 <= kFaxLineBytes; i += 8)
    expandWordWide<kImage, kInverted>(shiftedWord(bytes, i, k), advanced<kImage>(row, 8 * i),
                                      advanced<kInverted>(inverted, 8 * i));
  emitTail<kImage, kInverted>(bytes, i, k, row, inverted);
}
#endif

using RowExpander = void (*)(const std::uint8_t*, std::int64_t, std::uint8_t*, std::uint8_t*);

// The row expansion of `path` for the buffers given (at least one of them).
template <bool kImage, bool kInverted>
RowExpander rowExpander(Path path) {
  switch (path) {
#ifdef TERN_FAX_AVX2
    case Path::Avx2:
      return expandAvx2<kImage, kInverted>;
#endif
#ifdef TERN_FAX_VECTOR
    case Path::Sse2:
      return expandSse2<kImage, kInverted>;
#endif
    default:
      return expandPortable<kImage, kInverted>;
  }
}

RowExpander rowExpander(Path path, bool image, bool inverted) {
  if (image && inverted) return rowExpander<true, true>(path);
  if (image) return rowExpander<true, false>(path);
  return rowExpander<false, true>(path);
}

// Collects bits most significant first in a 64-bit word and stores it, in stream order, each
// time it is full; only the bytes the stream reaches are ever written, in order, and never
// one past the buffer. Takes over from FastWriter where the buffer ends.
class BitWriter {
 public:
  // Goes on from byte `index` of `out`, whose first `filled` (0..7) positions are the top
  // bits of `acc` (nothing below them).
  BitWriter(std::span<std::uint8_t> out, std::size_t index, std::uint64_t acc, int filled)
      : out_(out), index_(index), acc_(acc), filled_(filled) {}

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

  // Stores what is left, the last byte with its unused positions 0 (even with none used);
  // returns n.
  std::size_t finish() {
    for (; filled_ >= 8; filled_ -= 8, acc_ <<= 8) {
      out_[index_] = static_cast<std::uint8_t>(acc_ >> 56);
      if (++index_ == out_.size()) return index_ - 1;
    }
    out_[index_] = static_cast<std::uint8_t>(acc_ >> 56);
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
  int filled_ = 0;
};

// Writes the stream with stores that need not fit: each step stores the word at the byte
// being filled and, for a run, the three words after it, however few of those bits the step
// makes, and moves on by the bytes it completed. No loop over a run's words and no check of
// the room per word: the receiver's alternation of short literals and long runs made those
// branches the unpacking's largest cost. A later step overwrites what ran ahead, so up to
// kReach bytes from the byte being filled may hold anything until the stream gets there; the
// caller clears them after the stream's end.
class FastWriter {
 public:
  static constexpr std::size_t kReach = 32;

  explicit FastWriter(std::span<std::uint8_t> out) : out_(out) {}

  // How many receiver bytes from here on can be written without a store past the buffer:
  // a byte completes at most 25 bytes of stream (a run of 197 bits after 7 filled ones).
  std::size_t safeBytes() const {
    const std::size_t room = out_.size() - index_;
    return room < kReach ? 0 : (room - kReach) / 25;
  }

  // Appends the `count` (1..56) top bits of `bits` (nothing below them).
  void put(std::uint64_t bits, unsigned count) {
    acc_ |= bits >> filled_;
    storeAt(0, firstOnTop(acc_));
    const unsigned total = filled_ + count;  // at most 63
    index_ += total >> 3;
    acc_ <<= (total >> 3) * 8;
    filled_ = total & 7;
  }

  // Appends one receiver byte: seven literal bits below 128, a run from 128 on.
  void byte(unsigned b) {
    constexpr std::uint64_t kAll = ~std::uint64_t{0};
    const bool run = b >= 128;
    const std::uint64_t fill = run && (b & 64) != 0 ? kAll : 0;  // a run of set bits
    const unsigned count = run ? (b & 63u) * 3 + 8 : 7;
    const std::uint64_t head = run ? fill : std::uint64_t{b & 0x7Fu} << 57;
    // The step's bits in this word, from the top; a run of 64 or more fills all of it.
    const std::uint64_t first = count >= 64 ? kAll : ~(kAll >> count);
    acc_ |= (head & first) >> filled_;
    storeAt(0, firstOnTop(acc_));
    for (std::size_t w = 1; w < kReach / 8; ++w) storeAt(8 * w, fill);
    const unsigned total = filled_ + count;  // at most 7 + 197
    const unsigned done = total >> 3;
    filled_ = total & 7;
    // Past the word, a run's bits are all its own.
    acc_ = done >= 8 ? fill & ~(kAll >> filled_) : acc_ << ((done & 7) * 8);
    index_ += done;
  }

  // The exact writer that goes on from here.
  BitWriter exact() const { return BitWriter(out_, index_, acc_, static_cast<int>(filled_)); }

 private:
  void storeAt(std::size_t offset, std::uint64_t bytes) {
    std::memcpy(out_.data() + index_ + offset, &bytes, 8);
  }

  std::span<std::uint8_t> out_;
  std::size_t index_ = 0;
  std::uint64_t acc_ = 0;  // the filled positions from byte index_ on, from the top down
  unsigned filled_ = 7;    // the first bit goes to position 7 of byte 0; 0..6 stay clear
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

// The 56 bits of eight literal bytes as literalBits has them, in one pext instruction.
// Written out, so that the code around it needs no BMI2 target; run only where the processor
// has it (and takes it in one step).
std::uint64_t extractedLiteralBits(std::uint64_t x) {
#ifdef TERN_FAX_VECTOR
  std::uint64_t bits;
  __asm__("pextq %2, %1, %0" : "=r"(bits) : "r"(x), "r"(0x7F7F7F7F7F7F7F7Fu));
  return bits;
#else
  return literalBits(x);
#endif
}

// Unpacks from the start of `data` with `fast` in stretches of input that cannot reach past
// the buffer, however long their runs; returns how far it got.
template <bool kExtract>
std::size_t unpackFast(ByteView data, FastWriter& fast) {
  std::size_t i = 0;
  for (std::size_t end; (end = std::min(data.size(), i + fast.safeBytes())) > i;) {
    while (i < end) {
      // Noise comes as long stretches of literals: sixteen or eight of them at a time, and the
      // literals before a run byte in one go.
      if (end - i >= 16) {
        std::uint64_t first, second;
        std::memcpy(&first, data.data() + i, 8);
        std::memcpy(&second, data.data() + i + 8, 8);
        if (((first | second) & 0x8080808080808080u) == 0) {
          first = firstOnTop(first);
          second = firstOnTop(second);
          fast.put((kExtract ? extractedLiteralBits(first) : literalBits(first)) << 8, 56);
          fast.put((kExtract ? extractedLiteralBits(second) : literalBits(second)) << 8, 56);
          i += 16;
          continue;
        }
      }
      if (end - i >= 8) {
        std::uint64_t word;
        std::memcpy(&word, data.data() + i, 8);
        word = firstOnTop(word);
        const std::uint64_t runs = word & 0x8080808080808080u;
        const std::uint64_t bits = kExtract ? extractedLiteralBits(word) : literalBits(word);
        if (runs == 0) {  // a branch, so the next load need not wait for this word
          fast.put(bits << 8, 56);
          i += 8;
          continue;
        }
        if (const int literals = std::countl_zero(runs) / 8; literals > 0) {
          // The bits of the run byte land below those of the literals before it.
          const int count = 7 * literals;
          fast.put((bits << 8) >> (64 - count) << (64 - count), static_cast<unsigned>(count));
          i += static_cast<std::size_t>(literals);
        }
      }
      fast.byte(data[i++]);
    }
  }
  return i;
}

}  // namespace

std::size_t UnpackBits(ByteView data, std::span<std::uint8_t> out) {
  if (out.empty()) return 0;
  FastWriter fast(out);
  std::size_t i =
      ProcessorHasFastPext() ? unpackFast<true>(data, fast) : unpackFast<false>(data, fast);
  // The last stretch of the buffer, exactly up to its end.
  BitWriter writer = fast.exact();
  while (i < data.size()) {
    const std::uint8_t b = data[i++];
    const bool more = b < 128 ? writer.put(b, 7) : writer.run((b & 64) != 0, (b & 63) * 3 + 8);
    if (!more) return out.size() - 1;
  }
  const std::size_t n = writer.finish();
  // What the fast writer stored ahead of the stream's end.
  const std::size_t end = std::min(out.size(), n + FastWriter::kReach);
  std::fill(out.begin() + static_cast<std::ptrdiff_t>(n + 1),
            out.begin() + static_cast<std::ptrdiff_t>(std::max(end, n + 1)), std::uint8_t{0});
  return n;
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
  if (image == nullptr && inverted == nullptr) return;
  const int step = SlantStep(faxTurn);
  // Streamed stores need rows that start 16-byte aligned; a buffer that does not gets the
  // portable path.
  const bool aligned = reinterpret_cast<std::uintptr_t>(image) % 16 == 0;
  const Path path = aligned ? expansionPath() : Path::Portable;
  const RowExpander expand = rowExpander(path, image != nullptr, inverted != nullptr);
  for (int y = 0; y < lines; ++y) {
    std::uint8_t* row = image == nullptr ? nullptr : image + static_cast<std::size_t>(y) * kFaxSize;
    std::uint8_t* flipped =
        inverted == nullptr ? nullptr : inverted + static_cast<std::size_t>(y) * kFaxLinePixels;
    const std::int64_t start = slantedRowStart(y, step, faxTurn);
    if (start + kLine <= kLine * lines) {
      expand(stream, start, row, flipped);
      continue;
    }
    // The last rows of a chart corrected the other way read past its end.
    for (std::int64_t x = 0; x < kLine; ++x) {
      const std::int64_t at = foldIntoChart(start + x, lines);
      const auto pixel = static_cast<std::uint8_t>((stream[at / 8] >> (7 - at % 8)) & 1);
      if (row != nullptr) row[x] = pixel;
      if (flipped != nullptr) flipped[x] = pixel ^ 1;
    }
  }
  finishStreaming(path != Path::Portable && image != nullptr);
}

}  // namespace tern
