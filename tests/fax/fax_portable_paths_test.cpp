// The fax codec on both paths (common/cpu_features.h): the decoder's unpacking and stores,
// the quarter turn and the BMP packing of an x86-64 build against the portable code an arm64
// build runs (and the decode against the baseline's, SSE2 without AVX2 and pext), on the same
// noisy, slanted charts and on every ragged edge.
#include <gtest/gtest.h>

#include <vector>

#include "fakes/fax_encoder.h"
#include "fakes/portable_paths.h"
#include "fax/bmp_writer.h"
#include "fax/fax_image.h"
#include "fax/fax_turn.h"

namespace tern::testing {
namespace {

// Everything a chart goes through on its way to a file: the decode (with and without the
// picture written in its pass), four quarter turns with a render at full and half size after
// each, and the BMP files of the pictures.
std::vector<Bytes> everyStage(const Bytes& data, int slant) {
  std::vector<Bytes> out;
  FaxImage image;
  FaxPicture inPass, picture;
  FaxRect rect = image.Decode(data, false, slant, &inPass);
  out.emplace_back(image.Buffer().begin(), image.Buffer().end());
  out.push_back(inPass.pixels);
  image.Decode(data, false, slant);
  out.emplace_back(image.Buffer().begin(), image.Buffer().end());
  for (int turns = 0; turns < 4; ++turns) {
    for (bool half : {false, true}) {
      image.Render(half, turns, rect, picture);
      out.push_back(encodeBmp(picture));
    }
    image.Rotate();
    out.emplace_back(image.Buffer().begin(), image.Buffer().end());
  }
  return out;
}

TEST(FaxPortablePaths, EveryStageOfAChartIsTheSameOnBothPaths) {
  Bytes noisy = chartBuffer(1203);  // an odd length: ragged blocks at every turn
  std::uint32_t seed = 99;
  for (std::size_t i = 2 * kPhasingBandBytes; i + 1 < noisy.size(); i += 3)
    noisy[i] = static_cast<std::uint8_t>((seed = seed * 1664525u + 1013904223u) >> 24);
  const Bytes data = encodeBuffer(noisy);
  for (int slant : {0, 300, -7}) {
    const std::vector<Bytes> best = everyStage(data, slant);
    const std::vector<Bytes> portable = onPortablePaths([&] { return everyStage(data, slant); });
    const std::vector<Bytes> baseline = onBaselinePaths([&] { return everyStage(data, slant); });
    ASSERT_EQ(best.size(), portable.size());
    ASSERT_EQ(best.size(), baseline.size());
    for (std::size_t i = 0; i < best.size(); ++i) {
      EXPECT_TRUE(best[i] == portable[i]) << "portable, slant " << slant << ", stage " << i;
      EXPECT_TRUE(best[i] == baseline[i]) << "baseline, slant " << slant << ", stage " << i;
    }
  }
}

// The turn's blocks of 16 (and 32) rows x 8 columns against the pixel-by-pixel turn, on
// rectangles that end one short of, on and one past a block each way.
TEST(FaxPortablePaths, TheTurnIsTheSameOnBothPathsOnEveryEdge) {
  Bytes from(kFaxImageBytes);
  std::uint32_t seed = 4242;
  for (auto& b : from) b = static_cast<std::uint8_t>((seed = seed * 1103515245 + 12345) >> 24);
  const auto turned = [&](const FaxRect& r) {
    Bytes to(kFaxImageBytes, 0xEE);
    TurnQuarter(from.data(), to.data(), r);
    return to;
  };
  for (int height : {1, 15, 16, 17, 31, 32, 33, 47})
    for (int width : {1, 7, 8, 9, 513}) {
      const FaxRect r{3, 5, 3 + width - 1, 5 + height - 1};
      EXPECT_TRUE(turned(r) == onPortablePaths([&] { return turned(r); }))
          << width << " x " << height;
    }
}

// One-bit rows are packed sixteen pixels at a time on the vector path, eight elsewhere.
TEST(FaxPortablePaths, BmpRowsPackTheSameOnBothPaths) {
  for (int width : {1, 8, 15, 16, 17, 24, 31, 32, 33, 1800, 1809}) {
    FaxPicture p;
    p.width = width;
    p.height = 3;
    p.palette = {kFaxWhite, kFaxBlack};
    p.pixels.resize(static_cast<std::size_t>(3 * width));
    std::uint32_t seed = static_cast<std::uint32_t>(width);
    for (auto& v : p.pixels) v = static_cast<std::uint8_t>((seed = seed * 69069u + 1u) >> 31);
    EXPECT_EQ(encodeBmp(p), onPortablePaths([&] { return encodeBmp(p); })) << width;
  }
}

}  // namespace
}  // namespace tern::testing
