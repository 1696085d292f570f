#include "presenters/barograph_store.h"

#include <cmath>

#include "fakes/store_fixture.h"

namespace tern::testing {
namespace {

class Barograph : public StoreTest {
 protected:
  void samples(const std::vector<std::int16_t>& raw) {
    BaroStore& ring = store->baro();
    for (std::size_t i = 0; i < raw.size(); ++i) {
      putU16(&ring.samples()[i * 8], static_cast<std::uint16_t>(raw[i]));
    }
    putU16(&ring.block()[6], static_cast<std::uint16_t>(raw.size()));
    stampBaroTimes(ring, static_cast<int>(raw.size()), {2026, 3, 5, 15, 20, 30, 0});
  }
  FakeClock clock{{2026, 3, 5, 14, 20, 30, 0}, 60};
  MemoryChartView chart;
  TBAROGRAPH baro{*store, chart, clock, ','};
};

TEST_F(Barograph, ReductionToSeaLevel) {
  baro.SetReadings(0, 150);  // 15.0 degrees
  EXPECT_DOUBLE_EQ(baro.ReduceToSeaLevel(1000.0), 1000.0);
  baro.StationHeight = 100;
  double raised = baro.ReduceToSeaLevel(1000.0) / 1000.0 - 1;
  EXPECT_NEAR(raised, 0.0119, 0.0005);
  // The vapour-pressure formula changes at 9.1 degrees; both sides stay close.
  baro.SetReadings(0, 90);
  double below = baro.ReduceToSeaLevel(1000.0);
  baro.SetReadings(0, 91);
  double above = baro.ReduceToSeaLevel(1000.0);
  EXPECT_NEAR(below, above, 0.05);
  EXPECT_NE(below, above);
}

TEST_F(Barograph, TendencyNeedsOneHundredEightyFiveSamples) {
  std::vector<std::int16_t> raw(184, 0);
  samples(raw);
  baro.DrawChart();
  EXPECT_EQ(baro.TendencyText(), "");

  raw.assign(185, 0);
  raw[184] = raw[183] = raw[182] = 120;  // the three newest
  samples(raw);
  baro.DrawChart();
  EXPECT_EQ(baro.TendencyText(), "Tendenz: +1,2hPa/3h");

  raw.assign(185, 0);
  samples(raw);
  baro.DrawChart();
  EXPECT_EQ(baro.TendencyText(), "Tendenz: 0,0hPa/3h");

  raw[184] = raw[183] = raw[182] = -90;
  samples(raw);
  baro.DrawChart();
  EXPECT_EQ(baro.TendencyText(), "Tendenz: -0,9hPa/3h");
}

TEST_F(Barograph, PressureTextAndRoundingOfSamples) {
  baro.SetReadings(1325, 150);
  baro.StationHeight = 0;
  samples({-5, -6, 0});
  baro.DrawChart();
  EXPECT_EQ(baro.PressureText(), "Luftdruck: 1013,2hPa  / 0 m ");
  ASSERT_EQ(chart.points.size(), 3u);
  EXPECT_DOUBLE_EQ(chart.points[0].second, 1000.0);
  EXPECT_NEAR(chart.points[1].second, 999.9, 1e-9);
  EXPECT_NEAR(chart.minimum, 989.9, 1e-9);
  EXPECT_NEAR(chart.maximum, 1010.0, 1e-9);
  // One sample a minute back from the newest one's time stamp.
  EXPECT_DOUBLE_EQ(chart.points[2].first - chart.points[0].first, 120.0);
  EXPECT_DOUBLE_EQ(chart.end - chart.start, 2 * 86400.0);
}

TEST_F(Barograph, ZoomSequenceAndFootTexts) {
  EXPECT_EQ(chart.foot, "Lokale Zeit (2 Tage)");
  baro.ZoomIn();
  EXPECT_EQ(chart.foot, "Lokale Zeit (1 Tag)");
  baro.ZoomIn();
  EXPECT_EQ(chart.foot, "Lokale Zeit (12 Stunden)");
  baro.ZoomIn();
  EXPECT_EQ(baro.RangeDays(), 0.5);
  for (double expected : {1.0, 2.0, 4.0, 7.0, 7.0}) {
    baro.ZoomOut();
    EXPECT_EQ(baro.RangeDays(), expected);
  }
  EXPECT_EQ(chart.foot, "Lokale Zeit (7 Tage)");
  EXPECT_DOUBLE_EQ(chart.end - chart.start, 7 * 86400.0);
  baro.SetFootText(false);
  EXPECT_EQ(chart.foot, "Lokale Zeit");
}

TEST_F(Barograph, NoSamplesGiveAnEmptyChartButTheCurrentPressure) {
  baro.SetReadings(-100, 200);
  baro.DrawChart();
  EXPECT_TRUE(chart.points.empty());
  EXPECT_EQ(baro.PressureText(), "Luftdruck: 999,0hPa  / 0 m ");
  EXPECT_EQ(baro.TendencyText(), "");
}

}  // namespace
}  // namespace tern::testing
