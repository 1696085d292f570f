#include "messages/baro_store.h"

#include <algorithm>
#include <cmath>

namespace tern {

BaroStore::BaroStore() : samples_(kSamplesBytes, 0) {}

void BaroStore::resetRing() {
  putU16(&block_[4], 0);
  putU16(&block_[6], 0);
}

std::int16_t BaroRingView::pressure(int i) const {
  return static_cast<std::int16_t>(
      getU16(samples, static_cast<std::size_t>(i) * BaroStore::kSampleSize));
}

CivilTime BaroRingView::sampleTime(int i) const {
  const std::uint8_t* s = &samples[static_cast<std::size_t>(i) * BaroStore::kSampleSize];
  return CivilTime{protocol::kYearBase + s[7], s[6], s[5], s[2], s[3], s[4], 0};
}

BaroReadPlan planBaroRead(ByteView block) {
  BaroReadPlan plan;
  plan.head = getU16(block, 4);
  int count = getU16(block, 6);
  if (count > BaroStore::kKeptSamples) {
    int inPage = plan.head % BaroStore::kSamplesPerPage;
    count = BaroStore::kKeptSamples + (inPage == 0 ? BaroStore::kSamplesPerPage : inPage);
  }
  // A head or count beyond the ring comes from a damaged block; keep the indexes inside.
  count = std::min(count, BaroStore::kSampleCount);
  plan.count = static_cast<std::uint16_t>(count);
  plan.currentPageIndex =
      count == 0 ? 0 : (count - 1) / BaroStore::kSamplesPerPage * BaroStore::kSamplesPerPage;
  int first = plan.head % BaroStore::kSampleCount - count;
  if (first < 0) first += BaroStore::kSampleCount;
  int page = first / BaroStore::kSamplesPerPage + BaroStore::kFirstPage;
  if (count > BaroStore::kSamplesPerPage) {
    for (int i = 0; i < (count - 1) / BaroStore::kSamplesPerPage; ++i) {
      plan.pages.push_back(page);
      page = page == BaroStore::kLastPage ? BaroStore::kFirstPage : page + 1;
    }
  }
  return plan;
}

void stampBaroTimes(BaroStore& store, int count, const CivilTime& localNow) {
  CivilTime minute = localNow;
  minute.second = 0;
  minute.millisecond = 0;
  std::int64_t t = secondsSinceEpoch(minute);
  count = std::clamp(count, 0, BaroStore::kSampleCount);
  for (int k = count - 1; k >= 0; --k, t -= 60) {
    CivilTime c = civilFromSeconds(t);
    std::uint8_t* s = &store.samples()[static_cast<std::size_t>(k) * BaroStore::kSampleSize];
    s[2] = static_cast<std::uint8_t>(c.hour);
    s[3] = static_cast<std::uint8_t>(c.minute);
    s[4] = 0;
    s[5] = static_cast<std::uint8_t>(c.day);
    s[6] = static_cast<std::uint8_t>(c.month);
    s[7] = static_cast<std::uint8_t>(c.year - protocol::kYearBase);
  }
}

std::optional<double> threeHourTendency(const BaroStore& store) {
  const int c = std::min<int>(store.count(), BaroStore::kSampleCount);
  if (c <= 184) return std::nullopt;
  auto raw = [&](int i) { return static_cast<double>(store.pressure(i)); };
  return (raw(c - 1) + raw(c - 2) + raw(c - 3) - raw(c - 181) - raw(c - 182) - raw(c - 183)) /
         300.0;
}

double reduceToSeaLevel(double hPa, double temperatureC, double heightM) {
  const double t = temperatureC;
  const double h = heightM;
  // Vapour pressure in hPa, then the exponent with gravity 9.80665 m/s², the gas constant of
  // dry air 287.05 J/(kg K), the gradient 0.0065 K/m and the coefficient 0.12 K/hPa.
  const double e =
      t < 9.1 ? 5.6402 * (std::exp(0.06 * t) - 0.0916) : 18.2194 * (1.0463 - std::exp(-0.0666 * t));
  const double x = (9.80665 * h) / (287.05 * (t + 273.15 + 0.12 * e + 0.0065 * h / 2));
  return hPa * std::exp(x);
}

}  // namespace tern
