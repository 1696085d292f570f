#include "alerts/weather_alerts.h"

#include <cmath>
#include <cstdio>
#include <mutex>

#include "common/latin1.h"
#include "messages/navtex_names.h"
#include "seaweather/sea_weather.h"

namespace tern {

namespace {

constexpr std::array<double, 2> kLevels = {kStrongWindFallHpa, kGaleFallHpa};

}  // namespace

std::string pressureAlertText(double tendencyHpa, bool gale) {
  char value[32];
  std::snprintf(value, sizeof value, "%.1f", std::fabs(tendencyHpa));
  // snprintf follows the user's locale in the window; the texts are German anyway.
  for (char& c : value)
    if (c == ',') c = '.';
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

PressureLevel PressureAlerts::Level() const {
  if (!armed_[1]) return PressureLevel::Gale;
  if (!armed_[0]) return PressureLevel::StrongWind;
  return PressureLevel::Calm;
}

std::string navtexAlertText(int which, const MessageRecord& record) {
  const std::string key = record.keyText();
  const char subject = key.size() < 2 ? ' ' : key[1];
  // The letters came over the air: escaped like every received text in a log line.
  std::string text = std::string("NAVTEX: ") + NavtexSubjectWord(subject) + " (";
  text += printableLatin1(std::string(1, subject));
  text += ") von ";
  const std::string station = NavtexStationName(which, record);
  text += station;
  if (!station.starts_with("Station ")) {
    text += " (";
    text += printableLatin1(key.substr(0, 1));
    text += ")";
  }
  return text;
}

WeatherWatch::WeatherWatch(const MessageStore& store, NavtexFilter filter)
    : store_(store), filter_(filter), repeats_(store.dataFolder()), seaAreas_(store.dataFolder()) {}

WeatherWatch::BarometerNews WeatherWatch::BarometerRead(std::int16_t pressure,
                                                        std::int16_t temperature, int heightM,
                                                        const CivilTime& utcNow) {
  std::optional<double> tendency;
  {
    std::lock_guard lock(store_.mutex());
    tendency = threeHourTendency(store_.baro());
  }
  BarometerNews news;
  if (auto text = pressure_.Update(tendency)) news.alerts.push_back(*text);
  if (const PressureLevel level = pressure_.Level(); level != level_) {
    level_ = level;
    news.alarm = PressureAlarm{
        level, level == PressureLevel::Calm
                   ? std::string()
                   : pressureAlertText(tendency.value_or(0), level == PressureLevel::Gale)};
  }
  const std::int64_t now = secondsSinceEpoch(utcNow);
  const std::optional<std::int64_t> last = lastReadingSecond_;
  if (!last || now < *last || (now / 60 != *last / 60 && now - *last >= kReadingGapSeconds)) {
    lastReadingSecond_ = now;
    const double celsius = temperature / 10.0;
    news.reading = BarometerReading{
        reduceToSeaLevel((pressure + 100000.0) / 100.0, celsius, heightM), celsius};
  }
  return news;
}

WeatherWatch::NavtexNews WeatherWatch::NavtexRead(const std::vector<NavtexAppended>& appended,
                                                  const CivilTime& utcNow) {
  NavtexNews news;
  for (const NavtexAppended& added : appended) {
    NavtexArrival arrival{added.record, added.which, navtexFrequency(added.which).khz};
    const std::string key = arrival.record.keyText();
    arrival.shown = filter_.Shown(arrival.which, key);
    const CivilTime received = arrival.record.receptionTime();
    const bool recent =
        isValidCivilTime(received) &&
        secondsSinceEpoch(utcNow) - secondsSinceEpoch(received) <= kNavtexAlertSeconds;
    if (recent && filter_.Alerts(arrival.which, key) &&
        repeats_.FirstAlert(arrival.frequencyKhz, key, utcNow)) {
      arrival.alert = navtexAlertText(arrival.which, arrival.record);
    }
    news.arrivals.push_back(std::move(arrival));
  }
  {
    std::lock_guard lock(store_.mutex());
    for (int which = 0; which < kNavtexCount; ++which) {
      for (const MessageRecord& r : store_.navtex(which).records())
        news.listed.push_back(r.keyText());
    }
  }
  for (std::string problem : {repeats_.takeFutureNotice(), repeats_.takeWriteFailure()})
    if (!problem.empty()) news.problems.push_back(std::move(problem));
  return news;
}

SeaAreaNews WeatherWatch::SeaWeatherRead(const CivilTime& utcNow) {
  const seaweather::MySeaAreasFile mine = seaweather::LoadMySeaAreas(store_.dataFolder());
  const std::vector<seaweather::SeaBulletin> stored = seaweather::storedSeaBulletins(store_);
  SeaAreaNews news =
      seaAreas_.Judge(seaweather::newestSeaWeather(stored).warnings, mine.areas, utcNow);
  if (mine.problem != seaAreasProblem_) {
    seaAreasProblem_ = mine.problem;
    if (!mine.problem.empty()) news.problems.insert(news.problems.begin(), mine.problem);
  }
  return news;
}

}  // namespace tern
