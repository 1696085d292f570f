// Unpacking, phasing search, line layout and slant correction of fax recordings.
#include "fax/fax_decode.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <climits>
#include <random>
#include <utility>

#include "fakes/fax_encoder.h"
#include "fakes/portable_paths.h"
#include "fax/fax_image.h"

namespace tern::testing {
namespace {

// The bits of `out` from stream position 0 (byte 0, position 7) on.
std::vector<std::uint8_t> streamBits(const Bytes& out, std::size_t count) {
  std::vector<std::uint8_t> bits;
  for (std::size_t g = 7; g < 7 + count; ++g) bits.push_back((out[g / 8] >> (7 - g % 8)) & 1);
  return bits;
}

// Straight from the description, one bit at a time; positions it does not write stay.
std::size_t referenceUnpack(ByteView data, Bytes& out) {
  std::size_t g = 7;
  auto put = [&](int bit) {
    const std::size_t byte = g / 8;
    const int mask = 0x80 >> (g % 8);
    out[byte] = static_cast<std::uint8_t>(bit ? out[byte] | mask : out[byte] & ~mask);
    ++g;
    return g / 8 < out.size();
  };
  for (std::uint8_t b : data) {
    if (b < 128) {
      for (int i = 6; i >= 0; --i)
        if (!put((b >> i) & 1)) return out.size() - 1;
    } else {
      for (int i = 0; i < (b & 63) * 3 + 8; ++i)
        if (!put((b & 64) != 0)) return out.size() - 1;
    }
  }
  return g / 8;
}

TEST(FaxUnpack, LiteralAndRunBytes) {
  struct Case {
    std::uint8_t input;
    int count;
    std::uint8_t bit;  // 2: the literal's own bits
    std::size_t n;
  };
  const Case cases[] = {
      {0x7F, 7, 1, 1},                      // literal of seven set bits
      {0x80, 8, 0, 1},                      // shortest run of clear bits
      {0xFF, 197, 1, 25},                   // longest run of set bits
      {0xC0, 8, 1, 1},                      // shortest run of set bits
      {0xBF, 197, 0, 25},                   // longest run of clear bits
      {0xC1, 11, 1, 2},   {0x40, 7, 2, 1},  // value 64 goes first
      {0x01, 7, 2, 1},
  };
  for (const Case& c : cases) {
    Bytes out(64, 0xA5);  // whatever an earlier chart left
    const std::size_t n = UnpackBits(Bytes{c.input}, out);
    EXPECT_EQ(n, c.n) << int(c.input);
    std::vector<std::uint8_t> expected;
    for (int i = 0; i < c.count; ++i)
      expected.push_back(c.bit == 2 ? (c.input >> (6 - i)) & 1 : c.bit);
    EXPECT_EQ(streamBits(out, static_cast<std::size_t>(c.count)), expected) << int(c.input);
  }
}

TEST(FaxUnpack, FirstBitInTheLowestBitOfByteZeroSecondInTheTopOfByteOne) {
  Bytes out(40, 0xFF);
  EXPECT_EQ(UnpackBits(Bytes{0x60}, out), 1u);  // 1 1 0 0 0 0 0
  EXPECT_EQ(out[0], 0x01);                      // nothing of an earlier chart stays in byte 0
  EXPECT_EQ(out[1], 0x80);                      // the unused tail of the last byte is clear
  EXPECT_EQ(out[32], 0x00);                     // and so are the 31 bytes after it
  EXPECT_EQ(out[33], 0xFF);                     // later bytes are not touched
}

TEST(FaxUnpack, StopsAtTheEndOfTheBuffer) {
  Bytes backing(8, 0x11);
  std::span<std::uint8_t> four(backing.data(), 4);
  EXPECT_EQ(UnpackBits(Bytes{0xFF, 0xFF}, four), 3u);
  EXPECT_EQ(backing[4], 0x11);
  // 25 bits fill bytes 0..3 exactly: the index reaches the end.
  EXPECT_EQ(UnpackBits(Bytes{0xC1, 0x82}, four), 3u);
  std::span<std::uint8_t> five(backing.data(), 5);
  EXPECT_EQ(UnpackBits(Bytes{0xC1, 0x82}, five), 4u);
  EXPECT_EQ(UnpackBits(Bytes{}, five), 0u);
  EXPECT_EQ(UnpackBits(Bytes{0xFF}, std::span<std::uint8_t>()), 0u);
}

TEST(FaxUnpack, AgreesWithTheBitByBitReading) {
  std::mt19937 random(7);
  for (int round = 0; round < 300; ++round) {
    Bytes data(random() % 400);
    for (auto& b : data) b = static_cast<std::uint8_t>(random());
    const std::size_t size = 1 + random() % 3000;
    Bytes fast(size, 0), slow(size, 0);
    ASSERT_EQ(UnpackBits(data, fast), referenceUnpack(data, slow)) << round;
    ASSERT_EQ(fast, slow) << round;
  }
}

// Literals are taken sixteen or eight at a time and the stream is stored ahead of itself:
// against the bit-by-bit reading for stretches of literals with run bytes at every offset
// among them, into buffers that end inside the stream, on its last byte or beyond it, with
// the literals extracted by pext where the processor has it and by shifts on the baseline.
// Over a buffer an earlier chart filled, the 31 bytes after byte n are cleared, and no byte
// past them or past the buffer changes.
TEST(FaxUnpack, LongInputsAgreeWithTheBitByBitReading) {
  std::mt19937 random(11);
  for (int runEvery : {1, 3, 8, 9, 15, 16, 17, 64, 100000}) {
    Bytes data(2000);
    for (std::size_t i = 0; i < data.size(); ++i)
      data[i] = static_cast<std::uint8_t>(i % runEvery == 0 ? 0x80 | random() : random() & 0x7F);
    Bytes whole(200000, 0);
    const std::size_t n = referenceUnpack(data, whole);
    for (std::size_t size : {std::size_t{1}, std::size_t{8}, std::size_t{13}, std::size_t{50},
                             n - 40, n, n + 1, n + 2, n + 100}) {
      Bytes slow(size, 0);
      const std::size_t expected = referenceUnpack(data, slow);
      // Up to byte n + 31 as on a cleared buffer, whatever lies past it as it was.
      const auto past = static_cast<std::ptrdiff_t>(std::min(expected + 32, size));
      slow.resize(size + 64);
      std::fill(slow.begin() + past, slow.end(), 0xA5);
      const auto unpacked = [&] {
        Bytes fast(size + 64, 0xA5);
        const std::size_t got = UnpackBits(data, std::span(fast.data(), size));
        return std::pair(got, fast);
      };
      for (const auto& [got, fast] : {unpacked(), onBaselinePaths(unpacked)}) {
        ASSERT_EQ(got, expected) << runEvery << " " << size;
        ASSERT_EQ(fast, slow) << runEvery << " " << size;
      }
    }
  }
}

TEST(FaxUnpack, EncoderRoundTrip) {
  Bytes buffer = chartBuffer(40);
  Bytes out(buffer.size() + 16, 0);
  EXPECT_EQ(UnpackBits(encodeBuffer(buffer), out), buffer.size());
  EXPECT_TRUE(std::equal(buffer.begin(), buffer.end(), out.begin()));
}

int popcount(const Bytes& b, std::size_t from, std::size_t count) {
  int total = 0;
  for (std::size_t i = from; i < from + count; ++i) total += std::popcount(unsigned{b[i]});
  return total;
}

TEST(FaxPhasing, BandAndWindowThresholds) {
  struct Case {
    int setBits;
    int barClear;
    std::size_t expected;
  };
  const Case cases[] = {
      {7500, 200, 1135}, {7499, 200, 0},  // fewest set bits examined / one too few
      {8750, 200, 1135}, {8751, 200, 0},  // most set bits examined / one too many
      {8000, 151, 1135}, {8000, 150, 0},  // best window of 151 white bits accepted, 150 not
  };
  for (const Case& c : cases) {
    Bytes bits(5000, 0);
    putBand(bits, 1125, 10, c.barClear, c.setBits);
    ASSERT_EQ(popcount(bits, 1125, 1125), c.setBits);
    EXPECT_EQ(FindPhasing(bits, bits.size()), c.expected) << c.setBits << " " << c.barClear;
  }
}

TEST(FaxPhasing, BandOffsetsAndTheDataLength) {
  Bytes bits(70000, 0);
  putBand(bits, 2250, 40, 200, 8000);
  EXPECT_EQ(FindPhasing(bits, bits.size()), 2290u);
  // Only whole bands of the data count: bytes beyond n are left from an earlier chart.
  EXPECT_EQ(FindPhasing(bits, 3374), 0u);
  EXPECT_EQ(FindPhasing(bits, 3375), 2290u);

  Bytes last(70000, 0);
  putBand(last, 67500, 0, 200, 8000);
  EXPECT_EQ(FindPhasing(last, last.size()), 67500u);
  Bytes beyond(70000, 0);
  putBand(beyond, 68625, 0, 200, 8000);
  EXPECT_EQ(FindPhasing(beyond, beyond.size()), 0u);
}

TEST(FaxLayout, LinesNeedMoreThan225BytesFromTheStart) {
  FaxImage image;
  for (auto [size, bottom] : {std::pair{0, -1}, {225, -1}, {226, 0}, {450, 0}, {451, 1}}) {
    Bytes buffer(static_cast<std::size_t>(size), 0);
    const FaxRect rect = image.Decode(encodeBuffer(buffer), false, 0);
    EXPECT_EQ(image.UnpackedBytes(), static_cast<std::size_t>(size));
    EXPECT_EQ(rect, (FaxRect{0, 0, 1799, bottom})) << size;
  }
}

TEST(FaxLayout, ChartStartsAtThePhasingBarAndTheRestIsWhite) {
  FaxImage image;
  image.Decode(encodeBuffer(chartBuffer(2400)), false, 0);  // fills the buffer
  const FaxRect rect = image.Decode(encodeBuffer(chartBuffer(60)), false, 0);
  EXPECT_EQ(image.PhasingOffset(), 1125u);
  EXPECT_EQ(rect, (FaxRect{0, 0, 1799, 59}));
  EXPECT_EQ(image.Pixel(0, 79), 0);  // the white bar is the left edge
  EXPECT_EQ(image.Pixel(0, 80), 1);
  EXPECT_EQ(image.Pixel(0, 1799), 1);
  EXPECT_EQ(image.Pixel(0, 1800), 0);
  EXPECT_EQ(image.Pixel(60, 100), 0);
  int black = 0;
  for (std::uint8_t v : image.Buffer()) {
    ASSERT_LE(v, 1);
    black += v;
  }
  EXPECT_GT(black, 0);
}

TEST(FaxLayout, PhasingIsNotFoundInBytesOfAnEarlierChart) {
  FaxImage image;
  image.Decode(encodeBuffer(chartBuffer(60)), false, 0);
  ASSERT_EQ(image.PhasingOffset(), 1125u);
  const FaxRect rect = image.Decode(encodeBuffer(Bytes(500, 0)), false, 0);
  EXPECT_EQ(image.PhasingOffset(), 0u);
  EXPECT_EQ(rect.bottom, 1);
}

TEST(FaxLayout, DroppedRecordingIsAWhitePageOf2400Lines) {
  FaxImage image;
  const FaxRect rect = image.Decode(encodeBuffer(chartBuffer(100)), true, 300);
  EXPECT_TRUE(image.QualityFlag());
  EXPECT_EQ(rect, (FaxRect{0, 0, 1799, 2399}));
  for (std::uint8_t v : image.Buffer()) ASSERT_EQ(v, 0);
}

// A chart of `lines` lines with one black pixel per line at column 100.
Bytes columnChart(int lines) {
  Bytes buffer(static_cast<std::size_t>(lines) * kFaxLineBytes + 1, 0);
  for (int y = 0; y < lines; ++y) setBit(buffer, static_cast<std::size_t>(y) * 1800 + 100);
  return encodeBuffer(buffer);
}

int blackColumn(const FaxImage& image, int row) {
  for (int c = 0; c < kFaxLinePixels; ++c)
    if (image.Pixel(row, c)) return c;
  return -1;
}

TEST(FaxSlant, ShearOfOnePixelPerStep) {
  struct Case {
    int turn;
    int row;
    int column;
  };
  const Case cases[] = {
      {0, 2, 100},       {0, 9, 100},      {1200, 1, 100},
      {1200, 2, 101},    {1200, 9, 104},  // step 2: row 2 one pixel earlier
      {-1200, 2, 99},    {-1200, 9, 96},  // in the stream, or later
      {2400, 9, 109},    {-2400, 9, 91},   {5000, 9, 109},
      {-5000, 9, 91},  // beyond the limit: the steepest correction
      {INT_MAX, 9, 109}, {INT_MIN, 9, 91}, {7, 9, 100},  // step 342: not yet one pixel
  };
  FaxImage image;
  for (const Case& c : cases) {
    image.Decode(columnChart(10), false, c.turn);
    EXPECT_EQ(blackColumn(image, c.row), c.column) << c.turn << " row " << c.row;
  }
}

TEST(FaxSlant, ReadsStayWithinTheChart) {
  // A byte per pixel telling where it came from.
  std::vector<std::uint8_t> source(kFaxImageBytes), image(kFaxImageBytes, 7);
  for (int r = 0; r < kFaxSize; ++r)
    for (int c = 0; c < kFaxSize; ++c)
      source[static_cast<std::size_t>(r) * kFaxSize + c] =
          static_cast<std::uint8_t>(c < 1800 ? r % 200 + 1 : 255);
  auto at = [&](int r, int c) { return image[static_cast<std::size_t>(r) * kFaxSize + c]; };

  SlantCorrect(source.data(), image.data(), 3, -2400);
  EXPECT_EQ(at(2, 0), 3);     // row 2 starts two pixels into line 2
  EXPECT_EQ(at(2, 1797), 3);  // up to the end of line 2
  EXPECT_EQ(at(2, 1798), 3);  // then back to the start of that same line
  EXPECT_EQ(at(1, 1799), 3);  // row 1 runs from line 1 into line 2
  EXPECT_EQ(at(0, 1800), 7);  // only the chart's columns are rewritten
  EXPECT_EQ(at(3, 0), 7);     // and only its lines

  // The whole buffer at the steepest correction: far ends fold back into the last line.
  SlantCorrect(source.data(), image.data(), kFaxSize, -2400);
  for (int c = 0; c < kFaxLinePixels; ++c) ASSERT_EQ(at(2399, c), 2399 % 200 + 1);
  SlantCorrect(source.data(), image.data(), kFaxSize, 2400);
  EXPECT_EQ(at(2399, 0), 2397 % 200 + 1);  // 2399 pixels earlier: in line 2397
}

TEST(FaxSlant, ExpandingStraightFromTheBitsEqualsExpandingThenCorrecting) {
  // Random bits, so every shift within a byte and every fold at the chart's end shows.
  std::vector<std::uint8_t> stream(kFaxSize * kFaxLineBytes + 1);
  std::uint32_t seed = 12345;
  for (auto& b : stream) b = static_cast<std::uint8_t>((seed = seed * 1103515245u + 12345u) >> 23);
  std::vector<std::uint8_t> lines(kFaxImageBytes), expected(kFaxImageBytes), fused(kFaxImageBytes);
  for (int y = 0; y < kFaxSize; ++y)
    for (int x = 0; x < kFaxLinePixels; ++x) {
      const std::size_t bit = static_cast<std::size_t>(y) * kFaxLinePixels + x;
      lines[static_cast<std::size_t>(y) * kFaxSize + x] = (stream[bit / 8] >> (7 - bit % 8)) & 1;
    }
  const struct {
    int lines, turn;
  } cases[] = {{1, 0},         {1, -3},       {2, -2400},        {3, 2400},
               {100, 7},       {100, -7},     {777, 900},        {777, -1},
               {kFaxSize, 0},  {kFaxSize, 5}, {kFaxSize, -2400}, {kFaxSize, 9000},
               {kFaxSize, -13}};
  for (const auto& c : cases) {
    std::fill(expected.begin(), expected.end(), 9);
    std::fill(fused.begin(), fused.end(), 9);
    if (c.turn == 0) {
      std::copy_n(lines.begin(), static_cast<std::size_t>(c.lines) * kFaxSize, expected.begin());
      for (int y = 0; y < c.lines; ++y)  // the columns beyond the chart stay as they were
        std::fill_n(expected.begin() + static_cast<std::ptrdiff_t>(y) * kFaxSize + kFaxLinePixels,
                    kFaxSize - kFaxLinePixels, 9);
    } else {
      SlantCorrect(lines.data(), expected.data(), c.lines, c.turn);
    }
    ExpandLines(stream.data(), fused.data(), c.lines, c.turn);
    ASSERT_TRUE(fused == expected) << c.lines << " lines, slant " << c.turn;
  }
}

}  // namespace
}  // namespace tern::testing
