// The demo's fax recordings against a decoder written here from the receiver's data format:
// the packer must be the exact inverse of the unpacking, and the phasing band must be found
// where the chart's left edge is.
#include "sim/demo_fax.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "sim/demo_random.h"

namespace tern::sim {
namespace {

constexpr std::size_t kLimit = 1000000;

// The receiver's unpacking: bits from bit 7 of byte 0 on, MSB-first after that.
struct Unpacked {
  Bytes bits = Bytes(kLimit, 0);
  std::size_t n = 0;
};

Unpacked unpackBits(ByteView data) {
  Unpacked u;
  std::size_t pos = 7;
  auto put = [&](bool bit) {
    std::size_t byte = pos / 8;
    if (byte >= kLimit) return false;
    auto mask = static_cast<std::uint8_t>(0x80 >> (pos % 8));
    u.bits[byte] = bit ? (u.bits[byte] | mask) : (u.bits[byte] & ~mask);
    ++pos;
    return true;
  };
  for (std::uint8_t b : data) {
    if (b < 128) {
      for (int k = 6; k >= 0; --k)
        if (!put((b >> k) & 1)) return u.n = kLimit - 1, u;
    } else {
      for (int k = 0; k < (b & 63) * 3 + 8; ++k)
        if (!put(b & 64)) return u.n = kLimit - 1, u;
    }
  }
  u.n = pos / 8;
  return u;
}

int setBits(const Bytes& bits, std::size_t from, std::size_t count) {
  int n = 0;
  for (std::size_t i = from; i < from + count; ++i) n += __builtin_popcount(bits[i]);
  return n;
}

std::size_t findPhasing(const Bytes& bits) {
  for (std::size_t q = 1125; q <= 67500; q += 1125) {
    int set = setBits(bits, q, 1125);
    if (set < 7500 || set > 8750) continue;
    int best = -1;
    std::size_t bestD = 0;
    for (std::size_t d = 0; d <= 220; ++d) {
      int clear = 0;
      for (std::size_t i = 0; i < 5; ++i) clear += 40 - setBits(bits, q + d + 225 * i, 5);
      if (clear > best) best = clear, bestD = d;
    }
    if (best >= 151) return q + bestD;
  }
  return 0;
}

bool bitOf(const Bytes& b, std::size_t i) { return (b[i / 8] >> (7 - i % 8)) & 1; }

TEST(DemoFax, ReferenceUnpackerFollowsTheFormat) {
  struct Case {
    std::uint8_t byte;
    std::size_t ones, zeros;
  } cases[] = {{0x7F, 7, 0}, {0x80, 0, 8}, {0xFF, 197, 0}, {0xC0, 8, 0}, {0x00, 0, 7}};
  for (const Case& c : cases) {
    Unpacked u = unpackBits(Bytes{c.byte});
    std::size_t ones = 0;
    for (std::size_t i = 7; i < 7 + c.ones + c.zeros; ++i) ones += bitOf(u.bits, i);
    EXPECT_EQ(ones, c.ones) << int(c.byte);
  }
  Unpacked two = unpackBits(Bytes{0x60});  // literal 1100000: bits 7 of byte 0 and 0 of byte 1
  EXPECT_EQ(two.bits[0], 0x01);
  EXPECT_EQ(two.bits[1], 0x80);
}

TEST(DemoFax, PackingIsTheInverseOfUnpacking) {
  DemoRandom rnd(7);
  std::vector<Bytes> inputs = {Bytes(1, 0xFF), Bytes(225, 0), Bytes(225, 0xFF), Bytes(4000, 0)};
  // Runs of every length around the run limits and the step of three, mixed with noise.
  Bytes mixed;
  std::size_t bit = 0;
  auto push = [&](bool v, std::size_t count) {
    for (std::size_t i = 0; i < count; ++i, ++bit) {
      if (bit / 8 >= mixed.size()) mixed.push_back(0);
      if (v) mixed[bit / 8] |= static_cast<std::uint8_t>(0x80 >> (bit % 8));
    }
  };
  for (std::size_t len = 1; len < 420; ++len) push(len % 2, len);
  for (int i = 0; i < 3000; ++i) push(rnd.chance(50), static_cast<std::size_t>(rnd.between(1, 12)));
  inputs.push_back(mixed);
  for (const Bytes& in : inputs) {
    Bytes packed = packFaxBits(in);
    Unpacked u = unpackBits(packed);
    for (std::size_t i = 7; i < in.size() * 8; ++i)
      ASSERT_EQ(bitOf(u.bits, i), bitOf(in, i)) << "bit " << i << " of " << in.size() << " bytes";
    EXPECT_GE(u.n + 1, in.size());
  }
}

TEST(DemoFax, ChartsDecodeFromTheirPhasingBand) {
  for (ChartKind kind :
       {ChartKind::SurfaceAnalysis, ChartKind::SeaState, ChartKind::Ice, ChartKind::TestPattern}) {
    for (std::uint32_t seed : {1u, 250u, 699u, 12345u}) {
      ChartSpec plan{kind, seed, 900, "ASXX40 TEST", "051200 UTC"};
      ChartImage chart = renderChart(plan);
      FaxStream stream = faxStream(chart, seed);
      Bytes packed = packFaxBits(stream.bits);
      ASSERT_LT(packed.size(), 1048576u);
      Unpacked u = unpackBits(packed);
      const std::size_t p = findPhasing(u.bits);
      ASSERT_EQ(p, expectedPhasingOffset(stream)) << "seed " << seed;
      // The chart starts with a phasing line: the white pulse at its left edge.
      EXPECT_EQ(setBits(u.bits, p, kFaxPulseBytes), 0);
      EXPECT_EQ(setBits(u.bits, p + kFaxPulseBytes, kFaxLineBytes - kFaxPulseBytes),
                static_cast<int>(8 * (kFaxLineBytes - kFaxPulseBytes)));
      // Chart lines follow whole lines later and are laid out in full.
      ASSERT_EQ((stream.chartStart - p) % kFaxLineBytes, 0u);
      for (int y : {0, chart.lines() / 2, chart.lines() - 1})
        ASSERT_TRUE(
            std::equal(chart.bits().begin() + y * 225, chart.bits().begin() + (y + 1) * 225,
                       u.bits.begin() + static_cast<std::ptrdiff_t>(stream.chartStart + y * 225)));
      EXPECT_LT(stream.chartStart + chart.bits().size(), u.n) << "the last line fits";
    }
  }
}

}  // namespace
}  // namespace tern::sim
