// The wind map of the SYNOP page without the toolkit: where a report lands on the map, how
// the winds of a map cell add up to one icon, which icon that is, which cell the mouse is
// over, and the picture work of putting icons onto the map's pixels. The window only loads
// the pictures and shows the result; tern-cli and the tests use the same functions.
//
// Geometry. The background is a plate carrée map of -20..+40 degrees longitude and 28..72
// degrees latitude, 1835 x 1537 pixels. The reports go into a fine grid of 436 rows x 524
// columns (tenths of a degree scaled down, row 0 at the south) and are summed into a coarse
// grid of 109 x 131 cells of 14 x 14 pixels; coarse row r is drawn at y = (108 - r) x 14, with
// the icon's pixels 9 rows further down.
//
// Decisions of our own, each with its test:
// - The hit test uses the rows as drawn, 9-pixel margin included, so the cell under the
//   pointer is the one whose icon is under it.
// - The angle of a summed wind is the full-circle arctangent: a cell with only southerly wind
//   points north, also when its east component is exactly zero.
// - "Not measured" markers (speed 0.1, direction 0) are not summed as winds: a cell with only
//   markers shows the not-measured icon, a cell with measured winds shows their sum.
// - Map positions divide with rounding toward minus infinity, so a report just west or south
//   of the map is in no cell instead of in column or row 0.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "synop/synop_type.h"

namespace tern::windmap {

inline constexpr int kFineRows = 436;
inline constexpr int kFineColumns = 524;
inline constexpr int kCoarseRows = 109;
inline constexpr int kCoarseColumns = 131;
inline constexpr int kFinePerCoarse = 4;
inline constexpr int kCellPixels = 14;
inline constexpr int kIconTopMargin = 9;  // icon pixels sit this far below their row's top
inline constexpr int kMapWidth = 1835;
inline constexpr int kMapHeight = 1537;
inline constexpr int kStartLeft = -310;  // where the map picture starts in its panel
inline constexpr int kStartTop = -200;

// Map bounds in tenths of a degree: west and south inclusive, east and north exclusive.
inline constexpr int kWest = -200, kEast = 400, kSouth = 280, kNorth = 720;

inline constexpr int kIconSize = 16;  // pictures of 16 x 16; the top-left 14 x 14 are used
inline constexpr int kIconCount = 18;
inline constexpr int kCalmIcon = 16;
inline constexpr int kNotMeasuredIcon = 17;

// Bits of a cell's kind mask.
inline constexpr std::uint32_t kKindShip = 1;
inline constexpr std::uint32_t kKindCoastal = 2;

// The sum of the winds in one cell.
struct WindCell {
  double u = 0.0;            // north component, m/s
  double v = 0.0;            // east component, m/s
  bool hasWind = false;      // a measured wind was added
  bool notMeasured = false;  // a "not measured" marker fell into the cell
  std::uint32_t kind = 0;    // kKindShip | kKindCoastal of the reports that contributed
  bool drawn() const { return hasWind || notMeasured; }
};

struct MapCell {
  int column = 0;  // 0..130, west to east
  int row = 0;     // 0..108, south to north
  bool operator==(const MapCell&) const = default;
};

// One icon of the drawn map, in drawing order.
struct DrawnIcon {
  MapCell cell;
  int x = 0;  // top-left of the cell's square in map pixels (the icon is 9 pixels lower)
  int y = 0;
  int icon =
      0;  // 0..15 arrow towards north, clockwise in 22.5 degree steps; 16 calm; 17 not measured
  std::uint32_t kind = 0;
};

// The kind bit of a report (ship or coastal); 0 for an unclassified one.
std::uint32_t KindOf(const TSynopType& report);
// True for the marker of a wind that was not measured (speed 0.1 m/s, direction 0).
bool IsNotMeasuredMarker(const TSynopType& report);

// The coarse cell a report's position falls in; nothing outside the map or without position.
std::optional<MapCell> CellOfReport(const TSynopType& report);
// The coarse cell whose icon covers map pixel (x, y); nothing in the margins.
std::optional<MapCell> CellAtPixel(int x, int y);
// The first report of `reports` in `cell` (position only), or null.
const TSynopType* FirstReportIn(std::span<const TSynopType> reports, MapCell cell);

// Degrees (0..359) the summed wind (u north, v east) comes from; 0 for no wind.
int WindAngle(double u, double v);
// The arrow icon (0..15) for a wind coming from `angle` degrees: it points where the wind
// blows towards.
int ArrowIcon(int angle);
// The icon of a drawn cell.
int IconOfCell(const WindCell& cell);

// The two grids of the map, allocated at the first Draw; each Draw fills them anew.
// Thread: one thread at a time (the window thread in the program).
class WindGrid {
 public:
  WindGrid();
  // Puts every drawable report (position in the map, speed and direction known) into the fine
  // grid (a later report replaces an earlier one in the same fine cell), sums the fine cells
  // into the coarse grid and returns the icons of the coarse cells, rows from the south, each
  // row from the west.
  std::vector<DrawnIcon> Draw(std::span<const TSynopType> reports);

  const WindCell& Coarse(int row, int column) const;

 private:
  std::vector<WindCell> fine_;
  std::vector<WindCell> coarse_;
};

// Pixels as 0xAARRGGBB words (the layout of a 32-bit RGB picture on this machine), `stride`
// words per row.
struct RasterView {
  std::uint32_t* pixels = nullptr;
  int width = 0;
  int height = 0;
  std::ptrdiff_t stride = 0;
};

// One wind icon picture, rows of 16 pixels as 0xAARRGGBB (on a white background).
using IconPicture = std::array<std::uint32_t, kIconSize * kIconSize>;
using IconSet = std::array<IconPicture, kIconCount>;

// The colour an icon pixel is drawn in for a cell of `kind`, or nothing where the map stays:
// only pixels that are not white and whose blue is below 160 are drawn; white in a cell with a
// coastal report, the icon's own colour in a ship-only cell.
std::optional<std::uint32_t> IconPixelColour(std::uint32_t iconPixel, std::uint32_t kind);
// The thin dark edge around a white coastal arrow, so that it shows on the light land as well
// as on the sea.
inline constexpr std::uint32_t kCoastalOutline = 0xFF202020u;
// Draws `icons` onto `map` (pixels outside it are skipped); a coastal arrow gets a one-pixel
// outline of kCoastalOutline on the map pixels beside it.
void PaintWindIcons(RasterView map, const IconSet& pictures, std::span<const DrawnIcon> icons);

// The four lines of the hover hint for a report; the speed with one decimal.
std::array<std::string, 4> HintLines(const TSynopType& report, char decimalPoint = ',');

// The lines of the message window for a click on `cell`: every line of every report in the
// cell, in list order; a coastal bulletin's lines marked "* " where they name the station and
// indented by two blanks otherwise. `selectedName` is the proposal for saving them: the first
// report's name, or "SXEN40" / "SXEMM41" for a coastal station.
struct CellReports {
  std::vector<std::string> lines;
  std::string selectedName;
  int reportCount = 0;
};
CellReports ShowCellReports(std::span<const TSynopType> reports, MapCell cell);

// The hover hint's timing: 250 ms ticks; after 4 ticks at rest over a report the hint shows,
// after 24 it hides; a click holds it back until the mouse moves.
// Thread: one thread at a time.
class HoverState {
 public:
  static constexpr int kTickMs = 250;
  static constexpr int kShowTick = 4;
  static constexpr int kHideTick = 24;
  static constexpr int kAfterClick = 12;

  enum class Action { None, ShowHint, HideHint };

  // A mouse move to map pixel (x, y). Returns whether the pointer is over a report (the hand
  // cursor); when it is not, the hint is to be hidden.
  bool TrackHover(int x, int y, std::span<const TSynopType> reports, char decimalPoint = ',');
  // One timer tick.
  Action HoverTimerTick();
  // A click on the map: hide the hint and keep it hidden until the mouse moves.
  void Clicked() { ticks_ = kAfterClick; }

  bool OverReport() const { return over_; }
  int Ticks() const { return ticks_; }
  int X() const { return x_; }
  int Y() const { return y_; }
  // The lines of the report last hovered.
  const std::array<std::string, 4>& Lines() const { return lines_; }

 private:
  int x_ = -1, y_ = -1;
  int previousX_ = -1, previousY_ = -1;
  int ticks_ = 0;
  bool over_ = false;
  std::array<std::string, 4> lines_;
};

// A file name made from received text: letters, digits, '-' and '_' kept, anything else
// becomes '_'; "Synop" when nothing is left.
std::string SafeFileStem(const std::string& name);

}  // namespace tern::windmap
