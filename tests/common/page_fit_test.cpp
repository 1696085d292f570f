#include "common/page_fit.h"

#include <gtest/gtest.h>

#include <climits>

namespace tern {
namespace {

TEST(PageFit, AWidePictureFillsThePageWidthATallOneTheHeight) {
  // A4 landscape at 600 dpi is about 6814 x 4760 printable.
  EXPECT_EQ(fitToPage(1800, 1000, 6814, 4760, 100), (FittedSize{6814, 3785}));  // 1000*6814/1800
  EXPECT_EQ(fitToPage(1800, 2400, 6814, 4760, 100), (FittedSize{3570, 4760}));  // 1800*4760/2400
  // The same proportion as the page counts as tall: the height is filled.
  EXPECT_EQ(fitToPage(200, 100, 400, 200, 100), (FittedSize{400, 200}));
}

TEST(PageFit, IntegerArithmeticMultipliesBeforeDividing) {
  // 3 * 10 / 7 = 4, where 3 * (10 / 7) would give 3.
  EXPECT_EQ(fitToPage(3, 7, 100, 10, 100), (FittedSize{4, 10}));
  EXPECT_EQ(fitToPage(7, 3, 10, 100, 100), (FittedSize{10, 4}));
  // Large pictures and pages do not overflow.
  EXPECT_EQ(fitToPage(2400000, 1200000, 40000, 40000, 100), (FittedSize{40000, 20000}));
}

TEST(PageFit, PercentScalesToTheNearestInteger) {
  EXPECT_EQ(fitToPage(100, 100, 101, 101, 50), (FittedSize{51, 51}));  // 50.5 rounds up
  EXPECT_EQ(fitToPage(100, 100, 99, 99, 50), (FittedSize{50, 50}));    // 49.5 rounds up
  EXPECT_EQ(fitToPage(100, 100, 10, 10, 33), (FittedSize{3, 3}));      // 3.3
  EXPECT_EQ(fitToPage(100, 50, 1000, 1000, 200), (FittedSize{2000, 1000}));
}

TEST(PageFit, EmptyPictureOrPageOrPercentPrintsNothing) {
  EXPECT_TRUE(fitToPage(0, 100, 500, 500, 100).empty());
  EXPECT_TRUE(fitToPage(100, 0, 500, 500, 100).empty());
  EXPECT_TRUE(fitToPage(100, 100, 0, 500, 100).empty());
  EXPECT_TRUE(fitToPage(100, 100, 500, 0, 100).empty());
  EXPECT_TRUE(fitToPage(-5, 100, 500, 500, 100).empty());
  EXPECT_TRUE(fitToPage(100, 100, 500, 500, 0).empty());
  // A sliver of a picture may round to nothing on the page; that is empty as well.
  EXPECT_TRUE(fitToPage(10000, 1, 100, 100, 100).empty());
  EXPECT_FALSE(fitToPage(1, 1, 1, 1, 100).empty());
  EXPECT_EQ(fitToPage(INT_MAX, 1, INT_MAX, INT_MAX, 100).width, INT_MAX);
}

}  // namespace
}  // namespace tern
