#include "alerts/sea_area_alerts.h"

#include <algorithm>
#include <array>

#include "seaweather/sea_areas.h"

namespace tern {

namespace {

using seaweather::WarningLevel;

constexpr std::array<std::string_view, 6> kWarningWords{"",
                                                        "Starkwindwarnung",
                                                        "Sturmwarnung",
                                                        "Warnung vor schwerem Sturm",
                                                        "Warnung vor orkanartigem Sturm",
                                                        "Orkanwarnung"};

std::string_view warningWord(WarningLevel level) {
  return kWarningWords.at(static_cast<std::size_t>(level));
}

// As `tern-cli seewetter` writes a warning: "SW/W 8 Bft", the strongest force named.
std::string windOf(const seaweather::AreaWind& w) {
  // Appended piece by piece: GCC 12 warns falsely (-Wrestrict) of `"..." + std::string`.
  std::string text = w.variable ? "variabel" : "";
  auto add = [&](std::string_view separator, std::string_view part) {
    if (!text.empty()) text.append(separator);
    text.append(part);
  };
  for (int point : w.points) add("/", seaweather::compassAbbreviation(point));
  if (w.bftMax >= 0) add(" ", std::to_string(w.bftMax) + " Bft");
  if (w.gustsBft >= 0) add(", ", "Böen " + std::to_string(w.gustsBft));
  return text;
}

}  // namespace

std::string seaAreaAlertText(const seaweather::AreaEntry& warning) {
  std::string text(warningWord(warning.level()));
  text.append(" ").append(warning.name);
  if (const std::string wind = windOf(warning.wind); !wind.empty()) text.append(": ").append(wind);
  return text;
}

SeaAreaNews SeaAreaAlerts::Judge(const std::optional<seaweather::SeaBulletin>& warnings,
                                 const seaweather::MySeaAreas& mine, const CivilTime& utcNow) {
  SeaAreaNews news;
  const std::int64_t now = secondsSinceEpoch(utcNow);
  const std::int64_t issued = warnings && warnings->issued && isValidCivilTime(*warnings->issued)
                                  ? secondsSinceEpoch(*warnings->issued)
                                  : now;
  if (warnings && now - issued < kSeaWarningPeriodSeconds) {
    memory_.Age(issued);
    for (const seaweather::AreaEntry& w : warnings->warnings) {
      const WarningLevel level = w.level();
      if (!w.known() || level < WarningLevel::StrongWind || !mine.contains(w.id)) continue;
      // An area named twice (a garbled repeat) is told once, at its first step.
      if (std::any_of(news.warned.begin(), news.warned.end(),
                      [&](const SeaAreaWarning& x) { return x.id == w.id; }))
        continue;
      SeaAreaWarning warning{w.id, level, seaAreaAlertText(w)};
      if (memory_.FirstAlert(w.id, level, issued)) news.alerts.push_back(warning);
      news.warned.push_back(std::move(warning));
    }
    memory_.Save();
  }
  for (std::string problem : {memory_.takeFutureNotice(), memory_.takeWriteFailure()})
    if (!problem.empty()) news.problems.push_back(std::move(problem));
  return news;
}

}  // namespace tern
