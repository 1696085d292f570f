// Rendering the image buffer at full and half size, quarter turns, the quality picture, and
// the BMP files of pictures.
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>

#include "common/file_io.h"
#include "fakes/fax_encoder.h"
#include "fax/bmp_writer.h"
#include "fax/fax_image.h"
#include "fax/fax_turn.h"

namespace tern::testing {
namespace {

// A chart of `lines` lines with the given black pixels (row, column).
Bytes chartWith(int lines, std::initializer_list<std::pair<int, int>> black) {
  Bytes buffer(static_cast<std::size_t>(lines) * kFaxLineBytes + 1, 0);
  for (auto [row, column] : black) setBit(buffer, static_cast<std::size_t>(row) * 1800 + column);
  return encodeBuffer(buffer);
}

std::vector<std::pair<int, int>> blackPixels(const FaxPicture& p) {
  std::vector<std::pair<int, int>> out;
  for (int y = 0; y < p.height; ++y)
    for (int x = 0; x < p.width; ++x)
      if (p.at(x, y) != kFullWhite) out.emplace_back(x, y);
  return out;
}

TEST(FaxRender, QuarterTurns) {
  // (0, 7): the first pixel the stream can carry; (2, 1799): the chart's last.
  const Bytes data = chartWith(3, {{0, 7}, {2, 1799}});
  struct Case {
    int turns;
    int width, height;
    std::vector<std::pair<int, int>> black;  // (x, y), row by row
  };
  const Case cases[] = {
      {0, 1800, 3, {{7, 0}, {1799, 2}}},
      {1, 3, 1800, {{2, 0}, {0, 1792}}},  // counter-clockwise: the top edge is the left edge
      {2, 1800, 3, {{0, 0}, {1792, 2}}},  // upside down at the decoded size
      {3, 3, 1800, {{2, 7}, {0, 1799}}},
      {4, 1800, 3, {{7, 0}, {1799, 2}}},  // four turns: as decoded
  };
  FaxImage image;
  FaxPicture picture;
  for (const Case& c : cases) {
    const FaxRect rect = image.Decode(data, false, 0);
    for (int k = 0; k < c.turns; ++k) image.Rotate();
    image.Render(false, c.turns % 4, rect, picture);
    EXPECT_EQ(picture.width, c.width) << c.turns;
    EXPECT_EQ(picture.height, c.height) << c.turns;
    EXPECT_EQ(blackPixels(picture), c.black) << c.turns;
  }
}

TEST(FaxRender, FourTurnsRestoreTheBuffer) {
  FaxImage image;
  image.Decode(encodeBuffer(chartBuffer(700)), false, 150);
  const Bytes before(image.Buffer().begin(), image.Buffer().end());
  for (int k = 0; k < 4; ++k) image.Rotate();
  EXPECT_TRUE(std::equal(before.begin(), before.end(), image.Buffer().begin()));
  image.Rotate();
  image.Rotate();
  EXPECT_EQ(image.Pixel(2399, 2399 - 79), 0);  // the phasing bar's end, turned over
  EXPECT_EQ(image.Pixel(2399, 2399 - 80), 1);
}

// The blocked turn against the plain definition, on rectangles whose edges fall inside and
// outside the register blocks; nothing outside the turned rectangle is written.
TEST(FaxRender, TheBlockedTurnIsThePlainOneOnEveryEdge) {
  const FaxRect rects[] = {
      {0, 0, kFaxLinePixels - 1, kFaxSize - 1},  // a whole chart
      {0, 0, kFaxSize - 1, kFaxSize - 1},        // the whole buffer
      {5, 3, 5, 3},                              // one pixel
      {7, 1, 7 + 16, 1 + 8},                     // one past a block each way
      {100, 2391, 163, 2399},                    // the last rows
      {2385, 0, 2399, 70},                       // the last columns
  };
  Bytes from(kFaxImageBytes), to(kFaxImageBytes);
  std::uint32_t seed = 12345;
  for (auto& b : from) b = static_cast<std::uint8_t>((seed = seed * 1103515245 + 12345) >> 24);
  for (const FaxRect& r : rects) {
    std::fill(to.begin(), to.end(), std::uint8_t{0xEE});
    TurnQuarter(from.data(), to.data(), r);
    std::size_t wrong = 0, written = 0;
    for (int y = r.top; y <= r.bottom; ++y)
      for (int c = r.left; c <= r.right; ++c)
        wrong += to[static_cast<std::size_t>(kFaxSize - 1 - c) * kFaxSize + y] !=
                 from[static_cast<std::size_t>(y) * kFaxSize + c];
    for (std::uint8_t b : to) written += b != 0xEE;
    EXPECT_EQ(wrong, 0u) << r.left << "," << r.top;
    // Random bytes are 0xEE now and then; the count allows for that.
    const std::size_t area =
        static_cast<std::size_t>(r.right - r.left + 1) * (r.bottom - r.top + 1);
    EXPECT_LE(written, area) << r.left << "," << r.top;
    EXPECT_GE(written, area - area / 64 - 1) << r.left << "," << r.top;
  }
}

// The 32-row AVX2 blocks against the 16-row ones every processor runs, on rectangles whose
// heights leave every remainder: whole 32-row blocks, one 16-row block, single rows.
TEST(FaxRender, TheWideTurnIsTheNarrowOne) {
  if (!TurnCanUseAvx2()) GTEST_SKIP() << "no AVX2 here";
  const FaxRect rects[] = {
      {0, 600, kFaxSize - 1, kFaxSize - 1},  // a turned chart
      {3, 5, 3 + 512, 5 + 31},               // one row short of a block, past a tile
      {0, 0, 7, 32},                         // one row past a block
      {9, 17, 30, 17 + 47},                  // a block, a 16-row block, 15 rows
      {1000, 2399 - 70, 1100, 2399},         // the last rows
  };
  Bytes from(kFaxImageBytes), wide(kFaxImageBytes), narrow(kFaxImageBytes);
  std::uint32_t seed = 777;
  for (auto& b : from) b = static_cast<std::uint8_t>((seed = seed * 1103515245 + 12345) >> 24);
  for (const FaxRect& r : rects) {
    std::fill(wide.begin(), wide.end(), std::uint8_t{0xEE});
    std::fill(narrow.begin(), narrow.end(), std::uint8_t{0xEE});
    TurnQuarter(from.data(), wide.data(), r, true);
    TurnQuarter(from.data(), narrow.data(), r, false);
    EXPECT_TRUE(wide == narrow) << r.left << "," << r.top << " " << r.right << "," << r.bottom;
  }
}

// A turn moves only the chart and a decode whitens only what was black before: whatever an
// earlier, larger chart or its turns left behind must not show in the next one.
TEST(FaxRender, NothingOfAnEarlierChartRemains) {
  const Bytes big = encodeBuffer(chartBuffer(2400));
  const Bytes small = chartWith(40, {{0, 7}, {39, 1799}});
  struct Case {
    int bigTurns, slant, smallTurns;
    bool picture;  // the small chart decoded with its picture: the buffer laid out later
  };
  const Case cases[] = {{1, 0, 0, false},   {1, 200, 1, false}, {3, -150, 2, false},
                        {2, 0, 3, false},   {0, 300, 1, false}, {0, 300, 1, true},
                        {1, -150, 2, true}, {0, 0, 0, true}};
  FaxPicture picture;
  for (const Case& c : cases) {
    FaxImage used, fresh;
    used.Decode(big, false, c.slant);
    for (int k = 0; k < c.bigTurns; ++k) used.Rotate();
    used.Decode(small, false, 0, c.picture ? &picture : nullptr);
    fresh.Decode(small, false, 0);
    for (int k = 0; k < c.smallTurns; ++k) {
      used.Rotate();
      fresh.Rotate();
    }
    EXPECT_TRUE(std::equal(used.Buffer().begin(), used.Buffer().end(), fresh.Buffer().begin()))
        << c.bigTurns << " " << c.slant << " " << c.smallTurns;
  }
  // A dropped recording after a chart: a white page.
  FaxImage image;
  image.Decode(big, false, 0);
  image.Rotate();
  image.Decode(Bytes{}, true, 0);
  EXPECT_EQ(std::count(image.Buffer().begin(), image.Buffer().end(), 0), kFaxImageBytes);
}

// The picture written in the decode's own pass against a decode followed by a render: same
// buffer, same picture, whatever the slant, the chart's length or the picture held before;
// the buffer read after each decode, or only after the last of them (each laid out over
// charts that never were).
TEST(FaxRender, PictureOfTheDecodeEqualsTheRenderAfterIt) {
  Bytes noisy = chartBuffer(kFaxSize);
  std::uint32_t seed = 5;
  for (std::size_t i = 2 * kPhasingBandBytes; i + 1 < noisy.size(); ++i)
    noisy[i] = static_cast<std::uint8_t>((seed = seed * 1664525u + 1013904223u) >> 24);
  const Bytes full = encodeBuffer(noisy);
  const Bytes partLine(full.begin(), full.begin() + 40000);  // ends inside a line
  struct Case {
    const Bytes* data;
    bool quality;
    int slant;
  };
  const Bytes none;
  const Case cases[] = {{&full, false, 0},     {&full, false, 300},   {&full, false, -2400},
                        {&partLine, false, 7}, {&partLine, true, 0},  {&none, false, 0},
                        {&full, true, -300},   {&partLine, false, -1}};
  for (bool readEach : {true, false}) {
    FaxImage fused, separate;
    FaxPicture inPass, after;
    fused.Render(true, 0, fused.Decode(full, true, 0), inPass);  // a half-size page before
    for (const Case& c : cases) {
      const FaxRect rect = fused.Decode(*c.data, c.quality, c.slant, &inPass);
      EXPECT_EQ(separate.Decode(*c.data, c.quality, c.slant), rect);
      separate.Render(false, 0, rect, after);
      if (readEach) {
        EXPECT_TRUE(std::ranges::equal(fused.Buffer(), separate.Buffer())) << c.slant;
      }
      EXPECT_EQ(inPass.width, after.width);
      EXPECT_EQ(inPass.height, after.height);
      EXPECT_EQ(inPass.bitsPerPixel, after.bitsPerPixel);
      EXPECT_EQ(inPass.palette, after.palette);
      EXPECT_EQ(inPass.notice, after.notice);
      EXPECT_TRUE(inPass.pixels == after.pixels) << c.data->size() << " bytes, slant " << c.slant;
    }
    EXPECT_TRUE(std::ranges::equal(fused.Buffer(), separate.Buffer()));
  }
}

TEST(FaxRender, FullSizePaletteAndPixels) {
  FaxImage image;
  FaxPicture picture;
  const FaxRect rect = image.Decode(chartWith(2, {{1, 9}}), false, 0);
  image.Render(false, 0, rect, picture);
  EXPECT_EQ(picture.bitsPerPixel, 1);
  EXPECT_EQ(picture.palette, (std::vector<std::uint32_t>{0x000000, 0xFFFFFF}));
  EXPECT_EQ(picture.at(9, 1), kFullBlack);
  EXPECT_EQ(picture.at(8, 1), kFullWhite);
  EXPECT_FALSE(picture.notice);
}

TEST(FaxRender, HalfSizeSamplesTwoPixelsOfEachSquare) {
  FaxImage image;
  FaxPicture picture;
  // Half-size pixel x of row 0 samples (0, 2x) and (1, 2x + 1).
  const FaxRect rect =
      image.Decode(chartWith(3, {{0, 8}, {1, 9}, {0, 10}, {1, 13}, {0, 15}}), false, 0);
  image.Render(true, 0, rect, picture);
  EXPECT_EQ(picture.bitsPerPixel, 4);
  ASSERT_EQ(picture.palette.size(), 16u);
  EXPECT_EQ(picture.palette[0], 0x000000u);
  EXPECT_EQ(picture.palette[1], 0x404040u);
  EXPECT_EQ(picture.palette[2], 0x808080u);
  EXPECT_EQ(picture.palette[3], 0xC0C0C0u);
  EXPECT_EQ(picture.palette[4], 0xFFFFFFu);
  for (int i = 5; i < 16; ++i) EXPECT_EQ(picture.palette[static_cast<std::size_t>(i)], 0xFF0000u);
  EXPECT_EQ(picture.width, 900);
  EXPECT_EQ(picture.height, 2);  // three lines: half rounded up
  EXPECT_EQ(picture.at(3, 0), kHalfWhite);
  EXPECT_EQ(picture.at(4, 0), kHalfBlack);  // both sampled pixels black
  EXPECT_EQ(picture.at(5, 0), kHalfGrey);   // one
  EXPECT_EQ(picture.at(6, 0), kHalfGrey);
  EXPECT_EQ(picture.at(7, 0), kHalfWhite);  // (0, 15) is not sampled
}

TEST(FaxRender, DroppedAndEmptyRecordingPictures) {
  struct Case {
    bool quality;
    bool half;
    int turns;
    int width, height;
  };
  const Case cases[] = {
      {true, false, 0, 1800, 2400}, {true, true, 0, 900, 1200}, {true, false, 1, 2400, 1800},
      {true, true, 3, 1200, 900},   {false, false, 0, 1800, 0}, {false, true, 0, 900, 0},
      {false, false, 1, 0, 1800},   {false, true, 2, 900, 0},
  };
  FaxImage image;
  FaxPicture picture;
  for (const Case& c : cases) {
    // A dropped recording's data is not shown; an empty one has no lines.
    const FaxRect rect =
        image.Decode(c.quality ? encodeBuffer(chartBuffer(100)) : Bytes{}, c.quality, 0);
    for (int k = 0; k < c.turns; ++k) image.Rotate();
    image.Render(c.half, c.turns, rect, picture);
    EXPECT_EQ(picture.width, c.width) << c.quality << c.half << c.turns;
    EXPECT_EQ(picture.height, c.height) << c.quality << c.half << c.turns;
    EXPECT_EQ(picture.pixels.size(), static_cast<std::size_t>(c.width) * c.height);
    const std::uint8_t white = c.half ? kHalfWhite : kFullWhite;
    for (std::uint8_t v : picture.pixels) ASSERT_EQ(v, white);
    if (c.quality) {
      ASSERT_TRUE(picture.notice);
      EXPECT_EQ(*picture.notice,
                (FaxNotice{"Die Empfangsqualität war nicht ausreichend. Die Nachricht wurde "
                           "gelöscht.",
                           30, 30}));
    } else {
      EXPECT_FALSE(picture.notice);
    }
  }
}

TEST(FaxBmp, OneBitPicture) {
  FaxPicture p;
  p.width = 3;
  p.height = 2;
  p.palette = {0x000000, 0xFFFFFF};
  p.pixels = {0, 1, 0,   // top row
              1, 1, 0};  // bottom row, stored first
  const Bytes bmp = encodeBmp(p);
  ASSERT_EQ(bmp.size(), 14u + 40 + 8 + 2 * 4);
  EXPECT_EQ(bmp[0], 'B');
  EXPECT_EQ(bmp[1], 'M');
  EXPECT_EQ(getU32(bmp, 2), bmp.size());
  EXPECT_EQ(getU32(bmp, 10), 62u);  // pixels after headers and palette
  EXPECT_EQ(getU32(bmp, 14), 40u);
  EXPECT_EQ(getI32(bmp, 18), 3);
  EXPECT_EQ(getI32(bmp, 22), 2);
  EXPECT_EQ(getU16(bmp, 28), 1);   // bits per pixel
  EXPECT_EQ(getU32(bmp, 46), 2u);  // palette entries
  EXPECT_EQ(Bytes(bmp.begin() + 54, bmp.begin() + 62), (Bytes{0, 0, 0, 0, 255, 255, 255, 0}));
  EXPECT_EQ(Bytes(bmp.begin() + 62, bmp.end()), (Bytes{0xC0, 0, 0, 0, 0x40, 0, 0, 0}));
}

// Rows packed a byte (eight or two pixels) at a time, against the pixel-by-pixel rule, for
// widths that end inside a byte and on its edge.
TEST(FaxBmp, RowsOfEveryWidthPackAsPixelByPixel) {
  for (int bits : {1, 4}) {
    for (int width : {1, 7, 8, 9, 15, 16, 17, 23, 24, 31, 32, 33, 47, 1809}) {
      FaxPicture p;
      p.width = width;
      p.height = 2;
      p.palette.assign(bits == 1 ? 2 : 16, 0);
      p.pixels.resize(static_cast<std::size_t>(2 * width));
      for (std::size_t i = 0; i < p.pixels.size(); ++i)
        p.pixels[i] = static_cast<std::uint8_t>((i * 7 + i / 3 + i * i / 5) % (bits == 1 ? 2 : 16));
      const Bytes bmp = encodeBmp(p);
      const std::size_t rowBytes = static_cast<std::size_t>((width * bits + 31) / 32 * 4);
      const std::size_t start = getU32(bmp, 10);
      for (int y = 0; y < 2; ++y) {
        Bytes expected(rowBytes, 0);
        const std::uint8_t* from = p.pixels.data() + static_cast<std::size_t>((1 - y) * width);
        for (int x = 0; x < width; ++x) {
          const int shift = bits == 1 ? 7 - (x & 7) : (x & 1 ? 0 : 4);
          expected[static_cast<std::size_t>(x * bits / 8)] |=
              static_cast<std::uint8_t>(from[x] << shift);
        }
        const auto row = bmp.begin() + static_cast<std::ptrdiff_t>(start + y * rowBytes);
        EXPECT_EQ(Bytes(row, row + static_cast<std::ptrdiff_t>(rowBytes)), expected)
            << bits << " bits, width " << width;
      }
    }
  }
}

TEST(FaxBmp, FourBitPictureWrittenWhole) {
  FaxImage image;
  FaxPicture p;
  image.Render(true, 0, image.Decode(Bytes{}, true, 0), p);  // 900 x 1200, sixteen colours
  const Bytes bmp = encodeBmp(p);
  EXPECT_EQ(getU16(bmp, 28), 4);
  EXPECT_EQ(getU32(bmp, 10), 14u + 40 + 16 * 4);
  EXPECT_EQ(Bytes(bmp.begin() + 54 + 2 * 4, bmp.begin() + 54 + 3 * 4), (Bytes{128, 128, 128, 0}));
  EXPECT_EQ(bmp.size(), 14u + 40 + 64 + 452 * 1200);  // 900 pixels = 450 bytes, padded
  EXPECT_EQ(bmp[118], 0x44);                          // white, white

  const auto path = std::filesystem::temp_directory_path() /
                    ("tern_fax_bmp_" + std::to_string(::getpid()) + ".bmp");
  ASSERT_TRUE(writeBmp(path.string(), p));
  FileData back = readWholeFile(path.string(), 1 << 22);
  std::filesystem::remove(path);
  EXPECT_EQ(back.bytes, bmp);
}

}  // namespace
}  // namespace tern::testing
