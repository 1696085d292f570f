// The chart pictures' PNG files read back with libpng, and the scaling down for phones.
#include "web/png_writer.h"

#include <gtest/gtest.h>
#include <png.h>

#include "web/fax_chart_png.h"

namespace tern::testing {
namespace {

struct Decoded {
  int width = 0;
  int height = 0;
  int depth = 0;  // bits per pixel as stored
  Bytes grey;
};

Decoded decode(const Bytes& png) {
  Decoded d;
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_memory(&image, png.data(), png.size())) return d;
  image.format = PNG_FORMAT_GRAY;
  d.width = static_cast<int>(image.width);
  d.height = static_cast<int>(image.height);
  d.depth = png[24];  // IHDR's bit depth
  d.grey.resize(PNG_IMAGE_SIZE(image));
  if (!png_image_finish_read(&image, nullptr, d.grey.data(), 0, nullptr)) d.grey.clear();
  return d;
}

TEST(PngWriter, ReadsBackAsWrittenWithOneBitForBlackAndWhite) {
  struct Case {
    int width, height;
    Bytes grey;
    int depth;
  } cases[] = {
      // 13 pixels across: a row ends inside its second byte.
      {13, 2, Bytes{0,   255, 255, 0,   0, 255, 0, 255, 255, 255, 0,   0,   255,
                    255, 0,   0,   255, 0, 0,   0, 0,   255, 0,   255, 255, 0},
       1},
      {3, 2, Bytes{0, 128, 255, 7, 250, 0}, 8},
      {1, 1, Bytes{255}, 1},
  };
  for (const Case& c : cases) {
    const Bytes png = encodeGreyPng(c.width, c.height, c.grey);
    ASSERT_GE(png.size(), 8u);
    EXPECT_EQ(Bytes(png.begin(), png.begin() + 8),
              (Bytes{0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'}));
    const Decoded d = decode(png);
    EXPECT_EQ(d.width, c.width);
    EXPECT_EQ(d.height, c.height);
    EXPECT_EQ(d.depth, c.depth);
    EXPECT_EQ(d.grey, c.grey);
  }
}

TEST(PngWriter, RefusesSizesThatDoNotFitTheBytes) {
  const Bytes four(4, 255);
  for (auto [w, h] : {std::pair{0, 4}, {4, 0}, {-2, -2}, {3, 1}, {2, 3}, {70000, 1}})
    EXPECT_TRUE(encodeGreyPng(w, h, four).empty()) << w << " x " << h;
}

TEST(PngWriter, ScalingDownTakesTheMeanOfThePixelsCovered) {
  // 4 x 2 to 2 x 1: each new pixel covers a 2 x 2 block.
  const Bytes grey{0, 255, 255, 255, 0, 255, 255, 255};
  int height = 0;
  EXPECT_EQ(scaleGreyDown(grey, 4, 2, 2, height), (Bytes{128, 255}));
  EXPECT_EQ(height, 1);
  // 3 to 2 across: uneven blocks still cover every pixel once.
  EXPECT_EQ(scaleGreyDown(Bytes{0, 90, 255}, 3, 1, 2, height), (Bytes{0, 173}));
  // A very flat picture keeps one row.
  EXPECT_EQ(scaleGreyDown(Bytes(100, 0), 100, 1, 10, height).size(), 10u);
  EXPECT_EQ(height, 1);
}

}  // namespace
}  // namespace tern::testing
