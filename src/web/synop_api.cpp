// /api/synop: the reports of the wind map as the window's SYNOP page decodes them (the same
// decoder over the same stored bulletins, the same map grid and icons, the same lines of the
// report window), so the page and the window never disagree about a cell.
#include <map>
#include <nlohmann/json.hpp>
#include <utility>

#include "synop/report_filter.h"
#include "synop/store_bulletin_source.h"
#include "synop/synop_reports.h"
#include "synop/wind_map.h"
#include "web/web_api.h"

namespace tern {

namespace {

using nlohmann::json;

json degreesOrNull(std::int32_t tenths) {
  return tenths == TSynopType::kUnknown ? json(nullptr) : json(tenths / 10.0);
}

json reportJson(const TSynopType& r, std::optional<windmap::MapCell> cell) {
  const int day = ReportDay(r);
  const auto hint = windmap::HintLines(r);
  // One report alone in its cell gives the lines the report window shows for it: a coastal
  // station's bulletin with the station's own line marked.
  std::vector<std::string> lines =
      cell ? windmap::ShowCellReports(std::span(&r, 1), *cell).lines : r.lines;
  return {{"name", r.name},
          {"kind", r.ReportKind == kReportCoastal ? "coastal" : "ship"},
          {"latitude", degreesOrNull(r.latitude)},
          {"longitude", degreesOrNull(r.longitude)},
          {"direction", r.directionKnown() ? json(r.direction) : json(nullptr)},
          {"speedMs", r.speedKnown() ? json(r.speed) : json(nullptr)},
          {"day", day >= 1 ? json(day) : json(nullptr)},
          {"hour", day >= 1 ? json(ReportHour(r)) : json(nullptr)},
          {"hint", json::array({hint[0], hint[1], hint[2], hint[3]})},
          {"lines", std::move(lines)}};
}

}  // namespace

std::string synopJson(const MessageStore& store, SynopReports* synop) {
  SynopReports own;
  SynopReports& source = synop != nullptr ? *synop : own;
  source.Refresh(StoreBulletinSource(store));
  const SynopReportList held = source.Current();  // unchanged while held
  const std::vector<TSynopType>& reports = *held;

  // Every cell that holds a report can be clicked, as in the window, also where no icon is
  // drawn (a wind not given); cells in the order their first report comes.
  struct Cell {
    windmap::MapCell at;
    json icon = nullptr;
    std::uint32_t kind = 0;
    json members = json::array();
  };
  std::vector<Cell> cells;
  std::map<std::pair<int, int>, std::size_t> cellIndex;
  json list = json::array();
  for (std::size_t i = 0; i < reports.size(); ++i) {
    const auto cell = windmap::CellOfReport(reports[i]);
    list.push_back(reportJson(reports[i], cell));
    if (!cell) continue;
    auto [it, added] = cellIndex.try_emplace({cell->row, cell->column}, cells.size());
    if (added) cells.push_back({.at = *cell});
    Cell& c = cells[it->second];
    c.kind |= windmap::KindOf(reports[i]);
    c.members.push_back(i);
  }
  windmap::WindGrid grid;
  for (const windmap::DrawnIcon& icon : grid.Draw(reports)) {
    const auto it = cellIndex.find({icon.cell.row, icon.cell.column});
    if (it == cellIndex.end()) continue;
    cells[it->second].icon = icon.icon;
    cells[it->second].kind = icon.kind;
  }
  json cellList = json::array();
  for (Cell& c : cells) {
    cellList.push_back({{"column", c.at.column},
                        {"row", c.at.row},
                        {"x", c.at.column * windmap::kCellPixels},
                        {"y", (windmap::kCoarseRows - 1 - c.at.row) * windmap::kCellPixels},
                        {"icon", std::move(c.icon)},
                        {"coastal", (c.kind & windmap::kKindCoastal) != 0},
                        {"reports", std::move(c.members)}});
  }
  const json map = {{"west", windmap::kWest / 10.0},      {"east", windmap::kEast / 10.0},
                    {"south", windmap::kSouth / 10.0},    {"north", windmap::kNorth / 10.0},
                    {"width", windmap::kMapWidth},        {"height", windmap::kMapHeight},
                    {"cellPixels", windmap::kCellPixels}, {"iconTop", windmap::kIconTopMargin},
                    {"picture", "/wind_map.png"}};
  return json{{"map", map}, {"reports", std::move(list)}, {"cells", std::move(cellList)}}.dump(
      -1, ' ', false, json::error_handler_t::replace);
}

}  // namespace tern
