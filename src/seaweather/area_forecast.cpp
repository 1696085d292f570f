#include "seaweather/area_forecast.h"

#include <array>
#include <cstdio>

namespace tern::seaweather {

namespace {

constexpr std::array<std::string_view, 6> kWarningTitles{"",
                                                         "Starkwindwarnung",
                                                         "Sturmwarnung",
                                                         "Warnung vor schwerem Sturm",
                                                         "Warnung vor orkanartigem Sturm",
                                                         "Orkanwarnung"};

const AreaEntry* entryOf(const std::vector<AreaEntry>& entries, std::string_view id) {
  for (const AreaEntry& e : entries)
    if (e.id == id) return &e;
  return nullptr;
}

}  // namespace

int AreaForecast::bftMax() const {
  const int fromForecast = forecast ? forecast->wind.bftMax : -1;
  const int fromWarning = warning ? warning->wind.bftMax : -1;
  return fromWarning > fromForecast ? fromWarning : fromForecast;
}

AreaForecast forecastOf(const SeaWeather& weather, std::string_view id) {
  AreaForecast f;
  f.area = areaById(id);
  if (f.area == nullptr) return f;
  if (weather.report) f.forecast = entryOf(weather.report->areas, id);
  if (weather.warnings) {
    const AreaEntry* w = entryOf(weather.warnings->warnings, id);
    if (w != nullptr && w->level() != WarningLevel::None) f.warning = w;
  }
  return f;
}

std::string_view warningTitle(WarningLevel level) {
  const auto i = static_cast<std::size_t>(level);
  return i < kWarningTitles.size() ? kWarningTitles[i] : std::string_view();
}

std::string areaLine(const AreaForecast& f) {
  if (f.area == nullptr) return {};
  std::string line = std::string(f.area->name) + ": ";
  std::string said;
  // An entry with words the reader does not know is shown as received, not half read.
  if (f.forecast != nullptr)
    said = f.forecast->wind.readable() && !f.forecast->wind.summary.empty()
               ? f.forecast->wind.summary
               : f.forecast->text;
  if (f.warning != nullptr)
    said += (said.empty() ? "" : ", ") + std::string(warningTitle(f.level()));
  return line + (said.empty() ? "keine Vorhersage" : said);
}

std::string issuedText(const SeaBulletin& bulletin) {
  if (!bulletin.issued) return "ohne Zeit";
  const CivilTime& t = *bulletin.issued;
  char buf[48];
  std::snprintf(buf, sizeof buf, "%02d.%02d.%04d, %02d:%02d UTC", t.day, t.month, t.year, t.hour,
                t.minute);
  return buf;
}

std::string areaDetail(const AreaForecast& f, const SeaWeather& weather) {
  if (f.area == nullptr) return {};
  std::string out = std::string(f.area->name) + "\n";
  if (f.warning != nullptr && weather.warnings) {
    out += '\n';
    out += warningTitle(f.level());
    out += " (" + issuedText(*weather.warnings) + "):\n" + f.warning->text + "\n";
  }
  if (f.forecast != nullptr && weather.report) {
    out += "\nVorhersage (" + issuedText(*weather.report);
    if (!weather.report->validUntil.empty()) out += ", gültig bis " + weather.report->validUntil;
    out += "):\n" + f.forecast->text + "\n";
    if (!f.forecast->wind.readable()) out += "(Nicht ganz gelesen; der Text gilt.)\n";
  } else {
    out += "\nIm neuesten Seewetterbericht keine Vorhersage für dieses Gebiet.\n";
  }
  return out;
}

}  // namespace tern::seaweather
