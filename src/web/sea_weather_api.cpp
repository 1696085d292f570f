// /api/seewetter and /api/seewetter.svg: the newest sea weather report and warnings per
// area, as the window's SEEWETTER page shows them (the same lines, panels and map model),
// the user's own areas first.
#include <nlohmann/json.hpp>

#include "seaweather/my_sea_areas.h"
#include "seaweather/sea_map_svg.h"
#include "web/page_files.h"
#include "web/web_api.h"

namespace tern {

namespace {

using nlohmann::json;
using namespace seaweather;

json bulletinJson(const std::optional<SeaBulletin>& b) {
  if (!b) return nullptr;
  return {{"heading", b->heading},
          {"issued", issuedText(*b)},
          {"validUntil", b->validUntil},
          {"synopsis", b->synopsis}};
}

json entryJson(const AreaEntry* e) {
  if (e == nullptr) return nullptr;
  return {{"text", e->text}, {"summary", e->wind.summary}, {"readable", e->wind.readable()}};
}

SeaWeather newestOf(const MessageStore& store) {
  return newestSeaWeather(storedSeaBulletins(store));
}

}  // namespace

std::string seaWeatherJson(const MessageStore& store) {
  const SeaWeather weather = newestOf(store);
  const MySeaAreasFile mine = LoadMySeaAreas(store.dataFolder());
  const SeaMap map = buildSeaMap(weather);
  json areas = json::array();
  for (const SeaMapArea& a : map.areas) {
    const AreaForecast f = forecastOf(weather, a.id);
    areas.push_back({{"id", a.id},
                     {"name", a.name},
                     {"line", a.line},
                     {"bftMax", a.bftMax < 0 ? json(nullptr) : json(a.bftMax)},
                     {"warning", f.warning ? json(levelName(f.level())) : json(nullptr)},
                     {"mine", mine.areas.contains(a.id)},
                     {"forecast", entryJson(f.forecast)},
                     {"warningEntry", entryJson(f.warning)},
                     {"detail", areaDetail(f, weather)}});
  }
  return json{{"report", bulletinJson(weather.report)},
              {"warnings", bulletinJson(weather.warnings)},
              {"mine", mine.areas.ids},
              {"mineProblem", mine.problem},
              {"note", kOutlinesNote},
              {"map", "/api/seewetter.svg"},
              {"areas", std::move(areas)}}
      .dump(-1, ' ', false, json::error_handler_t::replace);
}

std::string seaMapSvgOf(const MessageStore& store) {
  const PageFile* land = findPageFile("sea_map_land.png");
  return seaMapSvg(buildSeaMap(newestOf(store)),
                   land ? land->bytes : std::span<const unsigned char>{});
}

}  // namespace tern
