#include "alerts/weather_alerts.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <iterator>
#include <mutex>

#include "common/latin1.h"
#include "messages/nrx_sentences.h"
#include "stores/navtex_store.h"

namespace tern {

namespace {

constexpr std::array<double, 2> kLevels = {kStrongWindFallHpa, kGaleFallHpa};

std::string headerText(const MessageRecord& r) {
  return std::string(r.header.begin(), r.header.end());
}

}  // namespace

std::string pressureAlertText(double tendencyHpa, bool gale) {
  char value[32];
  std::snprintf(value, sizeof value, "%.1f", std::fabs(tendencyHpa));
  // U+2212, the minus sign of typeset text.
  const std::string amount = std::string("\u2212") + value + " hPa in 3 Stunden.";
  return gale ? "Luftdruck fällt stark: " + amount + " Sturm möglich."
              : "Luftdruck fällt: " + amount + " Starkwind möglich.";
}

std::optional<std::string> PressureAlerts::Update(std::optional<double> tendencyHpa) {
  if (!tendencyHpa) return std::nullopt;
  const double t = *tendencyHpa;
  int reached = -1;
  for (std::size_t i = 0; i < kLevels.size(); ++i) {
    if (t > kLevels[i] + kAlertRearmHpa) armed_[i] = true;
    if (t <= kLevels[i]) {
      if (armed_[i]) reached = static_cast<int>(i);
      armed_[i] = false;
    }
  }
  if (reached < 0) return std::nullopt;
  return pressureAlertText(t, reached == 1);
}

std::optional<std::string> navtexAlertText(const MessageRecord& record) {
  const std::string key = record.keyText();
  if (key.size() < 2 || kAlertedNavtexSubjects.find(key[1]) == std::string_view::npos) {
    return std::nullopt;
  }
  // The station letter came over the air: escaped like every received text in a log line.
  return std::string("NAVTEX: ") + TNAVTEX::CategoryCaption(TNAVTEX::CategoryOf(key[1])) + " (" +
         key[1] + ") von " + printableLatin1(key.substr(0, 1));
}

NavtexArrivals::NavtexArrivals(const MessageStore& store) { Take(store); }

std::vector<NavtexArrival> NavtexArrivals::Take(const MessageStore& store) {
  std::vector<NavtexArrival> arrived;
  std::vector<std::string> present;
  {
    std::lock_guard lock(store.mutex());
    for (int which : {kNavtex518, kNavtex490}) {
      for (const auto& r : store.navtex(which).records()) {
        std::string h = headerText(r);
        if (!std::binary_search(known_.begin(), known_.end(), h)) {
          arrived.push_back({r, which == kNavtex490 ? 490 : 518});
        }
        present.push_back(std::move(h));
      }
    }
  }
  // Only what is still stored is remembered, so the list shrinks as the store ages out.
  std::sort(present.begin(), present.end());
  known_ = std::move(present);
  return arrived;
}

std::vector<std::string> WeatherWatch::BarometerRead() {
  std::optional<double> tendency;
  {
    std::lock_guard lock(store_.mutex());
    tendency = threeHourTendency(store_.baro());
  }
  std::vector<std::string> alerts;
  if (auto text = pressure_.Update(tendency)) alerts.push_back(std::move(*text));
  return alerts;
}

WeatherWatch::NavtexNews WeatherWatch::NavtexRead(const CivilTime& utcNow) {
  NavtexNews news;
  for (const auto& arrival : navtex_.Take(store_)) {
    const CivilTime received = arrival.record.receptionTime();
    const bool recent =
        isValidCivilTime(received) &&
        secondsSinceEpoch(utcNow) - secondsSinceEpoch(received) <= kNavtexAlertSeconds;
    auto text = navtexAlertText(arrival.record);
    if (text && recent) news.alerts.push_back(std::move(*text));
    news.received.push_back(printableLatin1(arrival.record.keyText()) + " " +
                            std::to_string(arrival.frequencyKhz) + " kHz");
    auto sentences = nrxSentences(arrival.record, arrival.frequencyKhz);
    std::move(sentences.begin(), sentences.end(), std::back_inserter(news.sentences));
  }
  return news;
}

}  // namespace tern
