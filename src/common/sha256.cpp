#include "common/sha256.h"

#include <algorithm>
#include <array>
#include <cstdint>

#include "common/cpu_features.h"

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#define TERN_SHA256_X86 1
#endif

namespace tern {

namespace {

using State = std::array<std::uint32_t, 8>;

alignas(16) constexpr std::array<std::uint32_t, 64> kRound = {
    0x428a2f98, 0x71374491, 0xb5c0fbcf, 0xe9b5dba5, 0x3956c25b, 0x59f111f1, 0x923f82a4, 0xab1c5ed5,
    0xd807aa98, 0x12835b01, 0x243185be, 0x550c7dc3, 0x72be5d74, 0x80deb1fe, 0x9bdc06a7, 0xc19bf174,
    0xe49b69c1, 0xefbe4786, 0x0fc19dc6, 0x240ca1cc, 0x2de92c6f, 0x4a7484aa, 0x5cb0a9dc, 0x76f988da,
    0x983e5152, 0xa831c66d, 0xb00327c8, 0xbf597fc7, 0xc6e00bf3, 0xd5a79147, 0x06ca6351, 0x14292967,
    0x27b70a85, 0x2e1b2138, 0x4d2c6dfc, 0x53380d13, 0x650a7354, 0x766a0abb, 0x81c2c92e, 0x92722c85,
    0xa2bfe8a1, 0xa81a664b, 0xc24b8b70, 0xc76c51a3, 0xd192e819, 0xd6990624, 0xf40e3585, 0x106aa070,
    0x19a4c116, 0x1e376c08, 0x2748774c, 0x34b0bcb5, 0x391c0cb3, 0x4ed8aa4a, 0x5b9cca4f, 0x682e6ff3,
    0x748f82ee, 0x78a5636f, 0x84c87814, 0x8cc70208, 0x90befffa, 0xa4506ceb, 0xbef9a3f7, 0xc67178f2};

constexpr std::uint32_t rotr(std::uint32_t x, int n) { return (x >> n) | (x << (32 - n)); }

// Compresses `blocks` consecutive 64-byte blocks into `h`.
using Compress = void (*)(State& h, const std::uint8_t* data, std::size_t blocks);

void compressPortable(State& h, const std::uint8_t* data, std::size_t blocks) {
  for (; blocks > 0; --blocks, data += 64) {
    std::array<std::uint32_t, 64> w{};
    for (int i = 0; i < 16; ++i) {
      w[i] = (std::uint32_t{data[4 * i]} << 24) | (std::uint32_t{data[4 * i + 1]} << 16) |
             (std::uint32_t{data[4 * i + 2]} << 8) | data[4 * i + 3];
    }
    for (int i = 16; i < 64; ++i) {
      std::uint32_t s0 = rotr(w[i - 15], 7) ^ rotr(w[i - 15], 18) ^ (w[i - 15] >> 3);
      std::uint32_t s1 = rotr(w[i - 2], 17) ^ rotr(w[i - 2], 19) ^ (w[i - 2] >> 10);
      w[i] = w[i - 16] + s0 + w[i - 7] + s1;
    }
    auto v = h;
    for (int i = 0; i < 64; ++i) {
      std::uint32_t s1 = rotr(v[4], 6) ^ rotr(v[4], 11) ^ rotr(v[4], 25);
      std::uint32_t ch = (v[4] & v[5]) ^ (~v[4] & v[6]);
      std::uint32_t t1 = v[7] + s1 + ch + kRound[i] + w[i];
      std::uint32_t s0 = rotr(v[0], 2) ^ rotr(v[0], 13) ^ rotr(v[0], 22);
      std::uint32_t maj = (v[0] & v[1]) ^ (v[0] & v[2]) ^ (v[1] & v[2]);
      std::uint32_t t2 = s0 + maj;
      v = {t1 + t2, v[0], v[1], v[2], v[3] + t1, v[4], v[5], v[6]};
    }
    for (int i = 0; i < 8; ++i) h[i] += v[i];
  }
}

#ifdef TERN_SHA256_X86

// The processor's SHA instructions keep the state as two registers, ABEF and CDGH, and do
// two rounds per instruction; the message schedule runs four words ahead in four registers.
__attribute__((target("sha,sse4.1"))) void compressShaNi(State& h, const std::uint8_t* data,
                                                         std::size_t blocks) {
  const __m128i byteSwap = _mm_set_epi64x(0x0c0d0e0f08090a0bULL, 0x0405060700010203ULL);
  __m128i dcba = _mm_loadu_si128(reinterpret_cast<const __m128i*>(&h[0]));
  __m128i hgfe = _mm_loadu_si128(reinterpret_cast<const __m128i*>(&h[4]));
  const __m128i cdab = _mm_shuffle_epi32(dcba, 0xB1);
  const __m128i efgh = _mm_shuffle_epi32(hgfe, 0x1B);
  __m128i abef = _mm_alignr_epi8(cdab, efgh, 8);
  __m128i cdgh = _mm_blend_epi16(efgh, cdab, 0xF0);
  for (; blocks > 0; --blocks, data += 64) {
    const __m128i abefBefore = abef;
    const __m128i cdghBefore = cdgh;
    __m128i w[4];
    for (int i = 0; i < 4; ++i)
      w[i] = _mm_shuffle_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(data + 16 * i)),
                              byteSwap);
#pragma GCC unroll 16
    for (int i = 0; i < 16; ++i) {
      const __m128i wk =
          _mm_add_epi32(w[i % 4], _mm_load_si128(reinterpret_cast<const __m128i*>(&kRound[4 * i])));
      cdgh = _mm_sha256rnds2_epu32(cdgh, abef, wk);
      abef = _mm_sha256rnds2_epu32(abef, cdgh, _mm_shuffle_epi32(wk, 0x0E));
      if (i < 12) {
        // W[t..t+3] for t = 4i + 16 from W[t-16..t-13], W[t-15..t-12], W[t-7..t-4] and
        // W[t-4..t-1].
        __m128i next = _mm_sha256msg1_epu32(w[i % 4], w[(i + 1) % 4]);
        next = _mm_add_epi32(next, _mm_alignr_epi8(w[(i + 3) % 4], w[(i + 2) % 4], 4));
        w[i % 4] = _mm_sha256msg2_epu32(next, w[(i + 3) % 4]);
      }
    }
    abef = _mm_add_epi32(abef, abefBefore);
    cdgh = _mm_add_epi32(cdgh, cdghBefore);
  }
  const __m128i feba = _mm_shuffle_epi32(abef, 0x1B);
  const __m128i dchg = _mm_shuffle_epi32(cdgh, 0xB1);
  dcba = _mm_blend_epi16(feba, dchg, 0xF0);
  hgfe = _mm_alignr_epi8(dchg, feba, 8);
  _mm_storeu_si128(reinterpret_cast<__m128i*>(&h[0]), dcba);
  _mm_storeu_si128(reinterpret_cast<__m128i*>(&h[4]), hgfe);
}

#endif

Compress bestCompress() {
#ifdef TERN_SHA256_X86
  return ProcessorHasShaNi() ? compressShaNi : compressPortable;
#else
  return compressPortable;
#endif
}

}  // namespace

bool sha256HasHardwarePath() { return bestCompress() != compressPortable; }

std::string sha256Hex(ByteView data, Sha256Engine engine) {
  const Compress compress = engine == Sha256Engine::Best ? bestCompress() : compressPortable;
  State h = {0x6a09e667, 0xbb67ae85, 0x3c6ef372, 0xa54ff53a,
             0x510e527f, 0x9b05688c, 0x1f83d9ab, 0x5be0cd19};
  const std::size_t full = data.size() / 64;
  compress(h, data.data(), full);
  std::array<std::uint8_t, 128> tail{};
  const std::size_t rest = data.size() - full * 64;
  std::copy(data.begin() + static_cast<std::ptrdiff_t>(full * 64), data.end(), tail.begin());
  tail[rest] = 0x80;
  const std::size_t tailBlocks = rest + 9 > 64 ? 2 : 1;
  const std::uint64_t bits = static_cast<std::uint64_t>(data.size()) * 8;
  for (int i = 0; i < 8; ++i)
    tail[tailBlocks * 64 - 1 - i] = static_cast<std::uint8_t>(bits >> (8 * i));
  compress(h, tail.data(), tailBlocks);
  static constexpr char kDigits[] = "0123456789abcdef";
  std::string out(64, '0');
  std::size_t at = 0;
  for (std::uint32_t word : h)
    for (int shift = 28; shift >= 0; shift -= 4) out[at++] = kDigits[(word >> shift) & 0xF];
  return out;
}

}  // namespace tern
