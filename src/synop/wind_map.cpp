#include "synop/wind_map.h"

#include <array>
#include <cmath>
#include <cstdio>
#include <numbers>

#include "synop/coastal_stations.h"

namespace tern::windmap {

namespace {

// Division rounding toward minus infinity (positions west or south of the map are negative).
constexpr int floorDiv(std::int64_t a, std::int64_t b) {
  std::int64_t q = a / b;
  if ((a % b != 0) && ((a < 0) != (b < 0))) --q;
  return static_cast<int>(q);
}

bool insideMap(const TSynopType& r) {
  return r.positionKnown() && r.longitude >= kWest && r.longitude < kEast && r.latitude >= kSouth &&
         r.latitude < kNorth;
}

// Upper bounds (inclusive) of the arrow sectors 0..15 in degrees towards; 348..359 is 0 again.
constexpr std::array<int, 16> kSectorEnds = {10,  32,  55,  77,  100, 122, 145, 167,
                                             190, 212, 235, 257, 280, 302, 325, 347};

constexpr std::uint32_t kWhite = 0xFFFFFFu;

}  // namespace

std::uint32_t KindOf(const TSynopType& report) {
  if (report.ReportKind == kReportShip) return kKindShip;
  if (report.ReportKind == kReportCoastal) return kKindCoastal;
  return 0;
}

bool IsNotMeasuredMarker(const TSynopType& report) {
  return report.direction == 0 && report.speedKnown() && std::lround(report.speed * 10) == 1;
}

std::optional<MapCell> CellOfReport(const TSynopType& report) {
  if (!insideMap(report)) return std::nullopt;
  return MapCell{floorDiv(std::int64_t{report.longitude - kWest} * kCoarseColumns, kEast - kWest),
                 floorDiv(std::int64_t{report.latitude - kSouth} * kCoarseRows, kNorth - kSouth)};
}

std::optional<MapCell> CellAtPixel(int x, int y) {
  if (x < 0 || y < kIconTopMargin) return std::nullopt;
  const int column = x / kCellPixels;
  const int row = kCoarseRows - 1 - (y - kIconTopMargin) / kCellPixels;
  if (column >= kCoarseColumns || row < 0) return std::nullopt;
  return MapCell{column, row};
}

const TSynopType* FirstReportIn(std::span<const TSynopType> reports, MapCell cell) {
  for (const auto& r : reports) {
    auto c = CellOfReport(r);
    if (c && *c == cell) return &r;
  }
  return nullptr;
}

int WindAngle(double u, double v) {
  if (u == 0.0 && v == 0.0) return 0;
  int a = static_cast<int>(std::atan2(v, u) * 180.0 / std::numbers::pi);  // truncates
  if (a < 0) a += 360;
  return a % 360;
}

int ArrowIcon(int angle) {
  const int towards = ((angle + 180) % 360 + 360) % 360;
  for (std::size_t i = 0; i < kSectorEnds.size(); ++i) {
    if (towards <= kSectorEnds[i]) return static_cast<int>(i);
  }
  return 0;
}

int IconOfCell(const WindCell& cell) {
  if (!cell.hasWind) return kNotMeasuredIcon;
  if (cell.u == 0.0 && cell.v == 0.0) return kCalmIcon;
  return ArrowIcon(WindAngle(cell.u, cell.v));
}

WindGrid::WindGrid() = default;

const WindCell& WindGrid::Coarse(int row, int column) const {
  static const WindCell kEmpty{};
  if (coarse_.empty()) return kEmpty;
  return coarse_.at(static_cast<std::size_t>(row * kCoarseColumns + column));
}

std::vector<DrawnIcon> WindGrid::Draw(std::span<const TSynopType> reports) {
  fine_.assign(static_cast<std::size_t>(kFineRows * kFineColumns), WindCell{});
  coarse_.assign(static_cast<std::size_t>(kCoarseRows * kCoarseColumns), WindCell{});

  for (const auto& r : reports) {
    if (!insideMap(r) || !r.speedKnown() || !r.directionKnown()) continue;
    const int column = (r.longitude - kWest) * kFineColumns / (kEast - kWest);
    const int row = (r.latitude - kSouth) * kFineRows / (kNorth - kSouth);
    WindCell& cell = fine_[static_cast<std::size_t>(row * kFineColumns + column)];
    cell = WindCell{};
    cell.kind = KindOf(r);
    if (IsNotMeasuredMarker(r)) {
      cell.notMeasured = true;
    } else {
      const double radians = r.direction * std::numbers::pi / 180.0;
      cell.u = std::cos(radians) * r.speed;
      cell.v = std::sin(radians) * r.speed;
      cell.hasWind = true;
    }
  }

  for (int row = 0; row < kFineRows; ++row) {
    for (int column = 0; column < kFineColumns; ++column) {
      const WindCell& f = fine_[static_cast<std::size_t>(row * kFineColumns + column)];
      if (!f.drawn()) continue;
      WindCell& c = coarse_[static_cast<std::size_t>((row / kFinePerCoarse) * kCoarseColumns +
                                                     column / kFinePerCoarse)];
      c.kind |= f.kind;
      c.notMeasured = c.notMeasured || f.notMeasured;
      if (f.hasWind) {
        c.u += f.u;
        c.v += f.v;
        c.hasWind = true;
      }
    }
  }

  std::vector<DrawnIcon> icons;
  for (int row = 0; row < kCoarseRows; ++row) {
    for (int column = 0; column < kCoarseColumns; ++column) {
      const WindCell& c = coarse_[static_cast<std::size_t>(row * kCoarseColumns + column)];
      if (!c.drawn()) continue;
      icons.push_back({MapCell{column, row}, column * kCellPixels,
                       (kCoarseRows - 1 - row) * kCellPixels, IconOfCell(c), c.kind});
    }
  }
  return icons;
}

std::optional<std::uint32_t> IconPixelColour(std::uint32_t iconPixel, std::uint32_t kind) {
  const std::uint32_t rgb = iconPixel & kWhite;
  if (rgb == kWhite || (rgb & 0xFFu) >= 160) return std::nullopt;
  if (kind & kKindCoastal) return 0xFF000000u | kWhite;
  if (kind & kKindShip) return 0xFF000000u | rgb;
  return std::nullopt;
}

void PaintWindIcons(RasterView map, const IconSet& pictures, std::span<const DrawnIcon> icons) {
  constexpr int kUsed = kCellPixels;  // the top-left 14 x 14 of each picture
  // Which pixels of the icon (with a border of one for the outline) were drawn.
  constexpr int kSide = kUsed + 2;
  std::array<bool, kSide * kSide> drawn{};
  auto at = [&drawn](int px, int py) -> bool& {
    return drawn[static_cast<std::size_t>((py + 1) * kSide + px + 1)];
  };
  auto put = [&map](int x, int y, std::uint32_t colour) {
    if (x >= 0 && x < map.width && y >= 0 && y < map.height)
      map.pixels[y * map.stride + x] = colour;
  };
  for (const DrawnIcon& icon : icons) {
    if (icon.icon < 0 || icon.icon >= kIconCount) continue;
    const IconPicture& picture = pictures[static_cast<std::size_t>(icon.icon)];
    const int top = icon.y + kIconTopMargin;
    drawn.fill(false);
    for (int py = 0; py < kUsed; ++py) {
      for (int px = 0; px < kUsed; ++px) {
        if (auto colour = IconPixelColour(picture[static_cast<std::size_t>(py * kIconSize + px)],
                                          icon.kind)) {
          put(icon.x + px, top + py, *colour);
          at(px, py) = true;
        }
      }
    }
    if ((icon.kind & kKindCoastal) == 0) continue;
    for (int py = -1; py <= kUsed; ++py) {
      for (int px = -1; px <= kUsed; ++px) {
        if (at(px, py)) continue;
        const bool beside = (px > -1 && at(px - 1, py)) || (px < kUsed && at(px + 1, py)) ||
                            (py > -1 && at(px, py - 1)) || (py < kUsed && at(px, py + 1));
        if (beside) put(icon.x + px, top + py, kCoastalOutline);
      }
    }
  }
}

std::array<std::string, 4> HintLines(const TSynopType& report, char decimalPoint) {
  std::string direction = report.directionKnown()
                              ? "Windrichtung: " + std::to_string(report.direction) + "°"
                              : "Windrichtung: --";
  std::string speed = "Windstärke: --";
  if (report.speedKnown()) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.1f", report.speed);
    std::string text = buf;
    if (auto dot = text.find('.'); dot != std::string::npos) text[dot] = decimalPoint;
    speed = "Windstärke: " + text + "m/s";
  }
  return {report.name, direction, speed, report.dayText + " " + report.timeText};
}

CellReports ShowCellReports(std::span<const TSynopType> reports, MapCell cell) {
  CellReports out;
  for (const auto& r : reports) {
    auto c = CellOfReport(r);
    if (!c || *c != cell) continue;
    ++out.reportCount;
    const bool northSea = IsNorthSeaStation(r.name);
    const bool mediterranean = IsMediterraneanStation(r.name);
    for (const auto& stored : r.lines) {
      // The teleprinter's carriage returns end the lines of a coastal bulletin; a window line
      // has no use for them.
      std::string_view line = stored;
      while (!line.empty() && line.back() == '\r') line.remove_suffix(1);
      if (out.selectedName.empty()) out.selectedName = r.name;
      if (northSea || mediterranean) {
        out.selectedName = northSea ? "SXEN40" : "SXEMM41";
        const bool names = line.find(r.name) != std::string::npos;
        out.lines.push_back((names ? "* " : "  ") + std::string(line));
      } else {
        out.lines.emplace_back(line);
      }
    }
  }
  return out;
}

bool HoverState::TrackHover(int x, int y, std::span<const TSynopType> reports, char decimalPoint) {
  previousX_ = x_;
  previousY_ = y_;
  x_ = x;
  y_ = y;
  if (x_ != previousX_ || y_ != previousY_) ticks_ = 0;
  const TSynopType* report = nullptr;
  if (auto cell = CellAtPixel(x, y)) report = FirstReportIn(reports, *cell);
  if (report != nullptr) {
    lines_ = HintLines(*report, decimalPoint);
    over_ = true;
  } else {
    over_ = false;
    ticks_ = 0;
  }
  return over_;
}

HoverState::Action HoverState::HoverTimerTick() {
  if (!over_ || ticks_ >= kHideTick) return Action::None;
  ++ticks_;
  if (ticks_ == kShowTick) return Action::ShowHint;
  if (ticks_ == kHideTick) return Action::HideHint;
  return Action::None;
}

std::string SafeFileStem(const std::string& name) {
  std::string out;
  for (char ch : name) {
    const bool plain = (ch >= 'A' && ch <= 'Z') || (ch >= 'a' && ch <= 'z') ||
                       (ch >= '0' && ch <= '9') || ch == '-' || ch == '_';
    out += plain ? ch : '_';
  }
  // A trailing blank ("HEL ") or other mark is not worth a '_' at the end.
  while (!out.empty() && out.back() == '_') out.pop_back();
  return out.empty() ? "Synop" : out;
}

}  // namespace tern::windmap
