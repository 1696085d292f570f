#include "fax/fax_turn.h"

#include <algorithm>
#include <cstring>

#include "common/cpu_features.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif
// Where the compiler can build a function for AVX2 alone, the turn takes 32 rows at a time
// in 256-bit registers when the processor has them.
#if defined(__SSE2__) && defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
#include <immintrin.h>
#define TERN_TURN_AVX2 1
#endif

namespace tern {

namespace {

constexpr std::size_t kStride = kFaxSize;
// Tiles of 16 rows (32 with AVX2) x 512 columns: each source row is read in a long run the
// prefetcher follows, and the 512 rows written (16 or 32 pixels each) stay cached until the
// next tile down fills the rest of their cache lines. Measured faster than square 64 x 64
// tiles, and than 32-row tiles for the 16-row blocks.
constexpr int kTileRows = 16;
constexpr int kWideTileRows = 32;
constexpr int kTileColumns = 512;

std::size_t at(int row, int column) {
  return static_cast<std::size_t>(row) * kStride + static_cast<std::size_t>(column);
}

void turnScalar(const std::uint8_t* from, std::uint8_t* to, int top, int bottom, int left,
                int right) {
  for (int c = left; c <= right; ++c) {
    std::uint8_t* out = to + at(kFaxSize - 1 - c, 0);
    for (int y = top; y <= bottom; ++y) out[y] = from[at(y, c)];
  }
}

#if defined(__SSE2__)
// Sixteen rows of eight pixels from (y, c) on, in eight registers: register k holds rows 2k
// and 2k + 1. Interleaving register k with register k + 4, four times over, moves the bits
// of the register number into the byte position and the byte position's into the register
// number; afterwards register j holds column c + j, rows y to y + 15. Sixteen registers are
// all that is live, so nothing goes through the stack.
void turn16x8(const std::uint8_t* from, std::uint8_t* to, int y, int c) {
  const auto row = [&](int i) {
    return _mm_loadl_epi64(reinterpret_cast<const __m128i*>(from + at(y + i, c)));
  };
  __m128i x[8];
  for (int k = 0; k < 8; ++k) x[k] = _mm_unpacklo_epi64(row(2 * k), row(2 * k + 1));
  for (int round = 0; round < 4; ++round) {
    __m128i t[8];
    for (int k = 0; k < 4; ++k) {
      t[2 * k] = _mm_unpacklo_epi8(x[k], x[k + 4]);
      t[2 * k + 1] = _mm_unpackhi_epi8(x[k], x[k + 4]);
    }
    for (int k = 0; k < 8; ++k) x[k] = t[k];
  }
  for (int j = 0; j < 8; ++j)
    _mm_storeu_si128(reinterpret_cast<__m128i*>(to + at(kFaxSize - 1 - (c + j), y)), x[j]);
}

#endif

#ifdef TERN_TURN_AVX2
// turn16x8 for 32 rows at once: the low halves of the registers carry rows y to y + 15,
// the high halves rows y + 16 to y + 31, and the byte interleaving works on both halves
// alike, so register j ends up holding column c + j, rows y to y + 31, in order.
__attribute__((target("avx2"), always_inline)) inline void turn32x8(const std::uint8_t* from,
                                                                    std::uint8_t* to, int y,
                                                                    int c) {
  __m256i x[8];
  for (int k = 0; k < 8; ++k) {
    const std::uint8_t* top = from + at(y + 2 * k, c);
    const __m128i low =
        _mm_unpacklo_epi64(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(top)),
                           _mm_loadl_epi64(reinterpret_cast<const __m128i*>(top + kStride)));
    const std::uint8_t* bottom = top + 16 * kStride;
    const __m128i high =
        _mm_unpacklo_epi64(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(bottom)),
                           _mm_loadl_epi64(reinterpret_cast<const __m128i*>(bottom + kStride)));
    x[k] = _mm256_inserti128_si256(_mm256_castsi128_si256(low), high, 1);
  }
  for (int round = 0; round < 4; ++round) {
    __m256i t[8];
    for (int k = 0; k < 4; ++k) {
      t[2 * k] = _mm256_unpacklo_epi8(x[k], x[k + 4]);
      t[2 * k + 1] = _mm256_unpackhi_epi8(x[k], x[k + 4]);
    }
    for (int k = 0; k < 8; ++k) x[k] = t[k];
  }
  for (int j = 0; j < 8; ++j)
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(to + at(kFaxSize - 1 - (c + j), y)), x[j]);
}

// The rows of a tile from `top` on that make whole 32-row blocks; returns the first row
// after them.
__attribute__((target("avx2"))) int turnWideRows(const std::uint8_t* from, std::uint8_t* to,
                                                 int top, int bottom, int left, int columns8) {
  int y = top;
  for (; y + 31 <= bottom; y += 32)
    for (int c = left; c < columns8; c += 8) turn32x8(from, to, y, c);
  return y;
}

#endif

// `vectors`: SSE2 may turn blocks; `wide`: AVX2 may turn 32-row blocks.
void turnTile(const std::uint8_t* from, std::uint8_t* to, int top, int bottom, int left, int right,
              [[maybe_unused]] bool vectors, [[maybe_unused]] bool wide) {
#if defined(__SSE2__)
  if (vectors) {
    // Whole blocks of 32 or 16 rows x 8 columns through registers, the ragged right and
    // bottom edges pixel by pixel.
    const int columns8 = left + (right - left + 1) / 8 * 8;
    int y = top;
#ifdef TERN_TURN_AVX2
    if (wide) y = turnWideRows(from, to, top, bottom, left, columns8);
#endif
    for (; y + 15 <= bottom; y += 16)
      for (int c = left; c < columns8; c += 8) turn16x8(from, to, y, c);
    if (columns8 <= right) turnScalar(from, to, top, y - 1, columns8, right);
    if (y <= bottom) turnScalar(from, to, y, bottom, left, right);
    return;
  }
#endif
  turnScalar(from, to, top, bottom, left, right);
}

}  // namespace

bool TurnCanUseAvx2() {
#ifdef TERN_TURN_AVX2
  return ProcessorHasAvx2();
#else
  return false;
#endif
}

void TurnQuarter(const std::uint8_t* from, std::uint8_t* to, const FaxRect& r, bool avx2) {
  const bool vectors = ProcessorHasSse2();
  const bool wide = vectors && avx2 && TurnCanUseAvx2();
  const int tileRows = wide ? kWideTileRows : kTileRows;
  for (int y = r.top; y <= r.bottom; y += tileRows)
    for (int c = r.left; c <= r.right; c += kTileColumns)
      turnTile(from, to, y, std::min(y + tileRows - 1, r.bottom), c,
               std::min(c + kTileColumns - 1, r.right), vectors, wide);
}

void WhitenOutside(std::uint8_t* buffer, const FaxRect& used, const FaxRect& keep) {
  if (IsEmpty(used)) return;
  const auto whiten = [&](int row, int first, int last) {
    if (first <= last)
      std::memset(buffer + at(row, first), 0, static_cast<std::size_t>(last - first + 1));
  };
  for (int y = used.top; y <= used.bottom; ++y) {
    if (IsEmpty(keep) || y < keep.top || y > keep.bottom) {
      whiten(y, used.left, used.right);
    } else {
      whiten(y, used.left, std::min(used.right, keep.left - 1));
      whiten(y, std::max(used.left, keep.right + 1), used.right);
    }
  }
}

}  // namespace tern
