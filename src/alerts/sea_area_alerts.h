// The strong wind and gale warnings for the sea areas the user ticked (seegebiete.txt,
// seaweather/my_sea_areas.h): after DWD bulletins were stored, the newest warnings bulletin
// is judged, and each warning of level Starkwind or above for one of those areas alerts
// once (alerts/sea_warning_memory.h says when a warning is the same one again). Warnings of
// other areas never alert. A warnings bulletin issued more than kSeaWarningPeriodSeconds
// before the clock is over: a data folder that lay unused for days brings no alerts.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "alerts/sea_warning_memory.h"
#include "common/clock.h"
#include "seaweather/my_sea_areas.h"
#include "seaweather/sea_bulletin.h"

namespace tern {

// One area's warning as the alerts tell it.
struct SeaAreaWarning {
  std::string id;  // "westliche-ostsee"
  seaweather::WarningLevel level = seaweather::WarningLevel::None;
  std::string text;  // "Sturmwarnung Westliche Ostsee: WNW 8 Bft"
};

// "Starkwindwarnung", "Sturmwarnung", ..., "Orkanwarnung", the area's name and its wind as
// `tern-cli seewetter` writes it, with the gusts: "Sturmwarnung Westliche Ostsee: WNW 8 Bft,
// Böen 10".
std::string seaAreaAlertText(const seaweather::AreaEntry& warning);

struct SeaAreaNews {
  std::vector<SeaAreaWarning> alerts;  // new warnings, in the bulletin's order
  // Every ticked area under a warning of the newest bulletin still in force, alerted now or
  // before; an area not among them has none (a Signal K notice of it is taken back).
  std::vector<SeaAreaWarning> warned;
  // The memory could not be written, or held times from the future.
  std::vector<std::string> problems;
};

// Thread: one owner.
class SeaAreaAlerts {
 public:
  // `dataFolder` ends with '/'; an empty one keeps the memory in this process only.
  explicit SeaAreaAlerts(std::string dataFolder = {}) : memory_(std::move(dataFolder)) {}

  // `warnings`: the newest warnings bulletin (newestSeaWeather), if any; a bulletin without
  // an issue time counts as issued at `utcNow`.
  SeaAreaNews Judge(const std::optional<seaweather::SeaBulletin>& warnings,
                    const seaweather::MySeaAreas& mine, const CivilTime& utcNow);

 private:
  SeaWarningMemory memory_;
};

}  // namespace tern
