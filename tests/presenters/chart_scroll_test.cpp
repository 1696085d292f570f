#include "presenters/chart_scroll.h"

#include <gtest/gtest.h>

namespace tern {
namespace {

TEST(ChartScroll, DragAndScrollClampForA654PixelPanel) {
  // An 1800-pixel picture in a 654-pixel panel.
  EXPECT_EQ(clampChartOffset(500, 654, 1800), 100);
  EXPECT_EQ(clampChartOffset(-5000, 654, 1800), 654 - 1800 - 100);
  EXPECT_EQ(clampChartOffset(-300, 654, 1800), -300);
  EXPECT_EQ(offsetOfScrollPosition(1000, 654, 1800), -1246);  // -1799 clamped
  EXPECT_EQ(offsetOfScrollPosition(0, 654, 1800), 0);
  EXPECT_EQ(scrollPositionOf(-1246, 1800), 692);
  EXPECT_EQ(scrollPositionOf(100, 1800), -55);  // truncated toward zero
  // A picture narrower than the panel is held at the margin.
  EXPECT_EQ(clampChartOffset(-50, 654, 300), 100);
  EXPECT_EQ(scrollPositionOf(0, 1), 0);
  EXPECT_EQ(offsetOfScrollPosition(700, 654, 1), 100);  // held at the margin too
}

}  // namespace
}  // namespace tern
