#include "presenters/fax_map.h"

#include <gtest/gtest.h>

#include <cmath>

#include "geo/graticule_chart.h"

namespace tern::testing {
namespace {

TEST(FaxGeoPositionsTest, TurnedAndHalfSizePicturesLeadBackToTheUnturnedChart) {
  const GraticuleChart& chart = LatLonChart();
  FaxImage image;
  const FaxRect rect = image.Decode(chart.faxData(), false, 0);
  ASSERT_EQ(rect.bottom, chart.height - 1);
  const ChartRaster unturned = FaxChartRaster(image, rect, 0);
  ASSERT_EQ(unturned.grey, chart.raster().grey);

  FaxPicture picture;
  for (int turns = 0; turns < 4; ++turns) {
    if (turns > 0) image.Rotate();
    EXPECT_EQ(FaxChartRaster(image, rect, turns).grey, unturned.grey) << turns << " turns";
    for (bool half : {false, true}) {
      image.Render(half, turns, rect, picture);
      for (const GraticuleCrossing& x : chart.crossings) {
        const PixelPosition p{std::round(x.column), std::round(x.row)};
        const PixelPosition shown = ShownPosition(p, half, turns, rect);
        const int sx = static_cast<int>(std::lround(shown.column));
        const int sy = static_cast<int>(std::lround(shown.row));
        ASSERT_TRUE(sx >= 0 && sy >= 0 && sx < picture.width && sy < picture.height);
        EXPECT_NE(picture.colourAt(sx, sy), kFaxWhite) << turns << (half ? " half" : " full");
        const PixelPosition back =
            UnturnedChartPosition({double(sx), double(sy)}, half, turns, rect);
        EXPECT_LE(std::hypot(back.column - p.column, back.row - p.row), half ? 1.0 : 0.0);
      }
    }
  }
}

}  // namespace
}  // namespace tern::testing
