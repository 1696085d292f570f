#include "presenters/barograph_store.h"

#include <algorithm>
#include <cstdio>
#include <mutex>
#include <vector>

namespace tern {

namespace {
constexpr double kDay = 86400.0;
}

TBAROGRAPH::TBAROGRAPH(MessageStore& store, ChartView& chart, const Clock& clock,
                       char decimalSeparator)
    : store_(store), chart_(chart), clock_(clock), decimalSeparator_(decimalSeparator) {
  chart_.undoZoom();
  SetFootText(true);
  CivilTime now = clock_.localNow();
  now.second = 0;
  now.millisecond = 0;
  end_ = static_cast<double>(secondsSinceEpoch(now));
  start_ = end_ - rangeDays_ * kDay;
  chart_.setTimeRange(start_, end_);
}

void TBAROGRAPH::SetReadings(std::int16_t pressure, std::int16_t temperature) {
  pressure_ = pressure;
  temperature_ = temperature;
}

double TBAROGRAPH::ReduceToSeaLevel(double p) const {
  return reduceToSeaLevel(p, temperature_ / 10.0, StationHeight);
}

std::string TBAROGRAPH::decimal(const char* format, double value) const {
  char buf[64];
  std::snprintf(buf, sizeof buf, format, value);
  std::string text = buf;
  for (char& c : text)
    if (c == '.') c = decimalSeparator_;
  return text;
}

void TBAROGRAPH::computeTexts(const BaroStore& baro) {
  const double current = ReduceToSeaLevel((pressure_ + 100000.0) / 100.0);
  pressureText_ =
      "Luftdruck: " + decimal("%4.1f", current) + "hPa  / " + std::to_string(StationHeight) + " m ";
  const std::optional<double> tendency = threeHourTendency(baro);
  if (!tendency) {
    tendencyText_.clear();
    return;
  }
  const double t = *tendency;
  tendencyText_ = "Tendenz: " + std::string(t > 0.049 ? "+" : "") + decimal("%2.1f", t) + "hPa/3h";
}

void TBAROGRAPH::DrawChart() {
  std::unique_lock lock(store_.mutex());
  const BaroStore& baro = store_.baro();
  computeTexts(baro);
  const int c = std::min<int>(baro.count(), BaroStore::kSampleCount);
  if (c == 0) {
    lock.unlock();
    chart_.setPoints({});
    return;
  }
  end_ = static_cast<double>(secondsSinceEpoch(baro.sampleTime(c - 1)));
  start_ = end_ - rangeDays_ * kDay;
  std::vector<ChartView::Point> points;
  points.reserve(static_cast<std::size_t>(c));
  double low = 2000, high = 0;
  for (int i = 0; i < c; ++i) {
    // Rounded to 0.1 hPa, halves up: -5 Pa is 1000.0 hPa, -6 Pa 999.9 hPa.
    const long tenths = (static_cast<long>(baro.pressure(i)) + 100005) / 10;
    const double p = ReduceToSeaLevel(static_cast<double>(tenths * 10) / 100.0);
    low = std::min(low, p);
    high = std::max(high, p);
    points.emplace_back(end_ - (c - 1 - i) * 60.0, p);
  }
  lock.unlock();
  // The user's zoom is undone first, so it cannot bring back the ranges it replaced.
  chart_.undoZoom();
  chart_.setTimeRange(start_, end_);
  SetFootText(true);
  chart_.setPoints(points);
  minimum_ = low - 10;
  maximum_ = high + 10;
  chart_.setPressureRange(minimum_, maximum_);
}

void TBAROGRAPH::ZoomIn() {
  rangeDays_ = rangeDays_ > 7   ? 7
               : rangeDays_ > 4 ? 4
               : rangeDays_ > 2 ? 2
               : rangeDays_ > 1 ? 1
                                : 0.5;
  start_ = end_ - rangeDays_ * kDay;
  chart_.setTimeRange(start_, end_);
  chart_.setPressureRange(minimum_, maximum_);
  SetFootText(true);
}

void TBAROGRAPH::ZoomOut() {
  rangeDays_ = rangeDays_ <= 0.5 ? 1 : rangeDays_ <= 1 ? 2 : rangeDays_ <= 2 ? 4 : 7;
  start_ = end_ - rangeDays_ * kDay;
  chart_.setTimeRange(start_, end_);
  chart_.setPressureRange(minimum_, maximum_);
  SetFootText(true);
}

void TBAROGRAPH::SetFootText(bool withSpan) {
  std::string text = "Lokale Zeit";
  if (withSpan) {
    text += rangeDays_ == 0.5 ? " (12 Stunden)"
            : rangeDays_ == 1 ? " (1 Tag)"
            : rangeDays_ == 2 ? " (2 Tage)"
            : rangeDays_ == 4 ? " (4 Tage)"
                              : " (7 Tage)";
  }
  chart_.setFootText(text);
}

}  // namespace tern
