// The wind map: cells, icons, the hit test, the hover timing and the message window's lines.
#include "synop/wind_map.h"

#include <gtest/gtest.h>

#include "synop/synop_decoder.h"

namespace tern::windmap {
namespace {

TSynopType ship(std::string name, int latitude, int longitude, int direction, double speed) {
  TSynopType r;
  r.name = std::move(name);
  r.latitude = latitude;
  r.longitude = longitude;
  r.direction = direction;
  r.speed = speed;
  r.ReportKind = kReportShip;
  r.lines = {"", "Funkrufzeichen: " + r.name, ""};
  return r;
}

const TSynopType* named(const std::vector<TSynopType>& reports, std::string_view name) {
  for (const auto& r : reports)
    if (r.name == name) return &r;
  return nullptr;
}

const std::string kNorthSea =
    "ZCZC 005\r\nSXEN40 DWAV 051200\r\nBEOBACHTUNGEN VOM 05.03.2026 12 UTC\r\n"
    "HELGOLAND SUEDWEST 5 18 KM\r\nKIEL-HOLTENAU WEST 4 20 KM\r\nLEUCHT.KIEL WEST 5 20 KM\r\n"
    "HEL NORDOST 2 10 KM\r\n=\r\n";

std::vector<TSynopType> coastal(const std::string& text, std::string_view heading) {
  TSynopDecoder d;
  d.ParseCoastalText(text, heading);
  return d.ReportList();
}

TEST(WindMap, HelgolandLandsInItsCellWithAnArrowTowardsNorthEast) {
  const auto reports = coastal(kNorthSea, "SXEN40");
  const TSynopType* helgoland = named(reports, "HELGOLAND");
  ASSERT_NE(helgoland, nullptr);
  EXPECT_EQ(CellOfReport(*helgoland), (MapCell{60, 64}));

  WindGrid grid;
  std::vector<TSynopType> alone = {*helgoland};
  const auto icons = grid.Draw(alone);
  ASSERT_EQ(icons.size(), 1u);
  EXPECT_EQ(icons[0].cell, (MapCell{60, 64}));
  EXPECT_EQ(icons[0].x, 840);
  EXPECT_EQ(icons[0].y, 616);
  EXPECT_EQ(icons[0].icon, 2);  // from 225 degrees, so towards 45
  EXPECT_EQ(icons[0].kind, kKindCoastal);
  // Its icon's pixels are hit, the pixels just above it are the row to the north.
  EXPECT_EQ(CellAtPixel(840, 616 + 9), (MapCell{60, 64}));
  EXPECT_EQ(CellAtPixel(853, 616 + 22), (MapCell{60, 64}));
  EXPECT_EQ(CellAtPixel(840, 616 + 8), (MapCell{60, 65}));
  EXPECT_EQ(CellAtPixel(840, 616 + 23), (MapCell{60, 63}));
}

TEST(WindMap, HitTestFollowsTheDrawnRowsAndMargins) {
  EXPECT_EQ(CellAtPixel(0, 9), (MapCell{0, 108}));  // the top icon row
  EXPECT_EQ(CellAtPixel(0, 1534), (MapCell{0, 0}));
  EXPECT_EQ(CellAtPixel(1833, 1534), (MapCell{130, 0}));
  EXPECT_FALSE(CellAtPixel(0, 8));     // the top margin
  EXPECT_FALSE(CellAtPixel(0, 1535));  // below the last row
  EXPECT_FALSE(CellAtPixel(1834, 700));
  EXPECT_FALSE(CellAtPixel(-1, 700));
  // Just west or south of the map is no cell, nor is a report without position.
  EXPECT_FALSE(CellOfReport(ship("W", 500, -201, 0, 1)));
  EXPECT_FALSE(CellOfReport(ship("S", 279, 0, 0, 1)));
  EXPECT_FALSE(CellOfReport(ship("N", 720, 0, 0, 1)));
  EXPECT_FALSE(CellOfReport(ship("?", TSynopType::kUnknown, 0, 0, 1)));
  EXPECT_EQ(CellOfReport(ship("SW", 280, -200, 0, 1)), (MapCell{0, 0}));
  EXPECT_EQ(CellOfReport(ship("NE", 719, 399, 0, 1)), (MapCell{130, 108}));
}

TEST(WindMap, AnglesAndArrowSectors) {
  EXPECT_EQ(WindAngle(1, 0), 0);
  EXPECT_EQ(WindAngle(0, 1), 90);
  EXPECT_EQ(WindAngle(-1, 0), 180);  // southerly wind with no east component
  EXPECT_EQ(WindAngle(0, -1), 270);
  EXPECT_EQ(WindAngle(-1, 1), 135);
  EXPECT_EQ(ArrowIcon(180), 0);   // from south: towards north
  EXPECT_EQ(ArrowIcon(0), 8);     // from north: towards south
  EXPECT_EQ(ArrowIcon(190), 0);   // towards 10
  EXPECT_EQ(ArrowIcon(191), 1);   // towards 11
  EXPECT_EQ(ArrowIcon(167), 15);  // towards 347
  EXPECT_EQ(ArrowIcon(168), 0);   // towards 348
  EXPECT_EQ(ArrowIcon(270), 4);   // from west: towards east
}

TEST(WindMap, SoutherlyWindAloneInACellPointsNorth) {
  WindGrid grid;
  std::vector<TSynopType> reports = {ship("S1", 550, 50, 180, 10)};
  auto icons = grid.Draw(reports);
  ASSERT_EQ(icons.size(), 1u);
  EXPECT_EQ(icons[0].icon, 0);
  EXPECT_EQ(icons[0].kind, kKindShip);
}

TEST(WindMap, CalmNotMeasuredAndUndrawableReports) {
  WindGrid grid;
  std::vector<TSynopType> reports = {
      ship("CALM", 500, 0, 0, 0.0),
      ship("NOWIND", 400, 0, 0, 0.1),                       // "/////"
      ship("DD99", 450, 0, TSynopType::kUnknown, 5.0),      // direction unknown
      ship("FAST", 600, 0, 90, TSynopType::kUnknownSpeed),  // force above 12
      ship("FAR", 500, 450, 90, 5.0),                       // east of the map
  };
  auto icons = grid.Draw(reports);
  ASSERT_EQ(icons.size(), 2u);
  EXPECT_EQ(icons[0].cell, *CellOfReport(reports[1]));
  EXPECT_EQ(icons[0].icon, kNotMeasuredIcon);
  EXPECT_EQ(icons[1].cell, *CellOfReport(reports[0]));
  EXPECT_EQ(icons[1].icon, kCalmIcon);
  // Not drawn, but hovered and clicked.
  EXPECT_EQ(FirstReportIn(reports, *CellOfReport(reports[2])), &reports[2]);
  HoverState hover;
  const DrawnIcon drawnDd99{*CellOfReport(reports[3]), 0, 0, 0, 0};
  hover.TrackHover(drawnDd99.cell.column * 14, (108 - drawnDd99.cell.row) * 14 + 9, reports);
  EXPECT_TRUE(hover.OverReport());
  EXPECT_EQ(hover.Lines()[2], "Windstärke: --");
}

TEST(WindMap, NotMeasuredMarkersAreNotSummedAsWinds) {
  WindGrid grid;
  // Two markers in one cell (different fine cells): still "not measured", no arrow.
  std::vector<TSynopType> markers = {ship("A", 500, 0, 0, 0.1), ship("B", 501, 1, 0, 0.1)};
  auto icons = grid.Draw(markers);
  ASSERT_EQ(icons.size(), 1u);
  EXPECT_EQ(icons[0].icon, kNotMeasuredIcon);
  // With a measured wind the cell shows that wind alone.
  markers.push_back(ship("C", 502, 0, 270, 5.0));
  icons = grid.Draw(markers);
  ASSERT_EQ(icons.size(), 1u);
  EXPECT_EQ(icons[0].icon, 4);  // towards east
  EXPECT_NEAR(grid.Coarse(icons[0].cell.row, icons[0].cell.column).v, -5.0, 1e-9);
  EXPECT_NEAR(grid.Coarse(icons[0].cell.row, icons[0].cell.column).u, 0.0, 1e-9);
}

TEST(WindMap, CoarseCellsSumTheirFineCellsAndALaterReportWinsAFineCell) {
  WindGrid grid;
  std::vector<TSynopType> reports = {
      ship("EARLY", 500, 0, 90, 3.0),  // replaced by LATE in the same fine cell
      ship("LATE", 500, 0, 0, 4.0),
      ship("NEXT", 501, 1, 90, 4.0),  // another fine cell of the same coarse cell
  };
  auto icons = grid.Draw(reports);
  ASSERT_EQ(icons.size(), 1u);
  const WindCell& c = grid.Coarse(icons[0].cell.row, icons[0].cell.column);
  EXPECT_NEAR(c.u, 4.0, 1e-9);
  EXPECT_NEAR(c.v, 4.0, 1e-9);
  EXPECT_EQ(icons[0].icon, 10);  // from 45: towards 225
}

TEST(WindMap, ACellWithACoastalAndAShipReportIsDrawnWhite) {
  auto reports = coastal(kNorthSea, "SXEN40");
  reports.push_back(ship("DBBH", 541, 78, 200, 6.0));  // beside HELGOLAND
  WindGrid grid;
  auto icons = grid.Draw(reports);
  const DrawnIcon* helgoland = nullptr;
  for (const auto& i : icons)
    if (i.cell == MapCell{60, 64}) helgoland = &i;
  ASSERT_NE(helgoland, nullptr);
  EXPECT_EQ(helgoland->kind, kKindShip | kKindCoastal);

  IconSet pictures{};
  for (auto& p : pictures) p.fill(0xFFFFFFFFu);
  pictures[static_cast<std::size_t>(helgoland->icon)][0] = 0xFF802020u;  // dark red
  pictures[static_cast<std::size_t>(helgoland->icon)][1] = 0xFF8080F0u;  // too blue: not drawn
  std::vector<std::uint32_t> pixels(kMapWidth * kMapHeight, 0xFF336699u);
  RasterView map{pixels.data(), kMapWidth, kMapHeight, kMapWidth};
  PaintWindIcons(map, pictures, std::span(helgoland, 1));
  const auto pixel = [&pixels](int x, int y) {
    return pixels[(616 + 9 + y) * kMapWidth + 840 + x];
  };
  EXPECT_EQ(pixel(0, 0), 0xFFFFFFFFu);
  // The white arrow's outline on the map beside it, also where the icon is too blue.
  EXPECT_EQ(pixel(1, 0), kCoastalOutline);
  EXPECT_EQ(pixel(-1, 0), kCoastalOutline);
  EXPECT_EQ(pixel(0, -1), kCoastalOutline);
  EXPECT_EQ(pixel(0, 1), kCoastalOutline);
  EXPECT_EQ(pixel(1, 1), 0xFF336699u);  // not a corner
  EXPECT_EQ(pixel(2, 0), 0xFF336699u);
  // A ship-only cell takes the icon's colour.
  EXPECT_EQ(IconPixelColour(0xFF802020u, kKindShip), 0xFF802020u);
  EXPECT_EQ(IconPixelColour(0xFFFFFFFFu, kKindShip), std::nullopt);
  EXPECT_EQ(IconPixelColour(0xFF0000A0u, kKindShip), std::nullopt);  // blue 160
}

TEST(WindMap, IconsAtTheMapEdgeStayInsideThePicture) {
  IconSet pictures{};
  for (auto& p : pictures) p.fill(0xFF000000u);
  std::vector<std::uint32_t> pixels(20 * 20, 0xFFFFFFFFu);
  RasterView map{pixels.data(), 20, 20, 20};
  std::vector<DrawnIcon> icons = {{{0, 0}, 10, 0, 3, kKindShip}, {{0, 0}, -5, -20, 99, kKindShip}};
  PaintWindIcons(map, pictures, icons);  // must not write outside the 20 x 20 pixels
  EXPECT_EQ(pixels[19 * 20 + 19], 0xFF000000u);
  EXPECT_EQ(pixels[0], 0xFFFFFFFFu);
}

TEST(WindMap, ClickOnTwoNorthSeaStationsShowsTheBulletinTwiceMarked) {
  const auto reports = coastal(kNorthSea, "SXEN40");
  const TSynopType* kiel = named(reports, "KIEL-HOLTENAU");
  const TSynopType* leucht = named(reports, "LEUCHT.KIEL");
  ASSERT_NE(kiel, nullptr);
  ASSERT_NE(leucht, nullptr);
  ASSERT_EQ(CellOfReport(*kiel), CellOfReport(*leucht));
  const CellReports shown = ShowCellReports(reports, *CellOfReport(*kiel));
  EXPECT_EQ(shown.reportCount, 2);
  EXPECT_EQ(shown.selectedName, "SXEN40");
  ASSERT_EQ(shown.lines.size(), 2 * kiel->lines.size());
  std::vector<std::string> marked;
  for (const auto& line : shown.lines)
    if (line.rfind("* ", 0) == 0) marked.push_back(line);
  ASSERT_EQ(marked.size(), 2u);
  EXPECT_EQ(marked[0], "* KIEL-HOLTENAU WEST 4 20 KM");
  EXPECT_EQ(marked[1], "* LEUCHT.KIEL WEST 5 20 KM");
  EXPECT_EQ(shown.lines[0], "  ZCZC 005");
  // "HEL " names only its own line, not HELGOLAND's.
  const TSynopType* hel = named(reports, "HEL ");
  ASSERT_NE(hel, nullptr);
  const CellReports helShown = ShowCellReports(reports, *CellOfReport(*hel));
  int helMarks = 0;
  for (const auto& line : helShown.lines) helMarks += line.rfind("* ", 0) == 0;
  EXPECT_EQ(helMarks, 1);
}

TEST(WindMap, SelectedNameOfMediterraneanAndShipCells) {
  const auto south = coastal("SXMM41\r\nLA CORUNA NORDOST 4 X\r\n", "SXMM41");
  ASSERT_EQ(south.size(), 1u);
  EXPECT_EQ(ShowCellReports(south, *CellOfReport(south[0])).selectedName, "SXEMM41");
  std::vector<TSynopType> ships = {ship("DBBH", 550, 50, 90, 3)};
  const CellReports shown = ShowCellReports(ships, *CellOfReport(ships[0]));
  EXPECT_EQ(shown.selectedName, "DBBH");
  EXPECT_EQ(shown.lines, ships[0].lines);  // ship lines unchanged
  EXPECT_EQ(ShowCellReports(ships, MapCell{0, 0}).reportCount, 0);
  EXPECT_EQ(SafeFileStem("../A B"), "___A_B");
  EXPECT_EQ(SafeFileStem("//"), "Synop");
  EXPECT_EQ(SafeFileStem("9HJT9"), "9HJT9");
}

TEST(WindMap, HintLinesOfAReport) {
  auto r = ship("HELGOLAND", 541, 79, 225, 9.75);
  r.dayText = "Tag: 5";
  r.timeText = "Zeit: 12h";
  const auto lines = HintLines(r);
  EXPECT_EQ(lines[0], "HELGOLAND");
  EXPECT_EQ(lines[1], "Windrichtung: 225°");
  EXPECT_EQ(lines[2], "Windstärke: 9,8m/s");
  EXPECT_EQ(lines[3], "Tag: 5 Zeit: 12h");
  r.direction = TSynopType::kUnknown;
  EXPECT_EQ(HintLines(r, '.')[1], "Windrichtung: --");
  EXPECT_EQ(HintLines(r, '.')[2], "Windstärke: 9.8m/s");
}

TEST(WindMap, HoverShowsAfterOneSecondAndHidesAfterSix) {
  std::vector<TSynopType> reports = {ship("DBBH", 541, 79, 90, 3)};
  HoverState hover;
  EXPECT_TRUE(hover.TrackHover(845, 630, reports));
  std::vector<HoverState::Action> actions;
  for (int i = 0; i < 30; ++i) actions.push_back(hover.HoverTimerTick());
  for (int i = 0; i < 30; ++i) {
    const auto expected = i == 3    ? HoverState::Action::ShowHint
                          : i == 23 ? HoverState::Action::HideHint
                                    : HoverState::Action::None;
    EXPECT_EQ(actions[static_cast<std::size_t>(i)], expected) << "tick " << i + 1;
  }
  // A move restarts the count; the same position does not.
  hover.TrackHover(846, 630, reports);
  EXPECT_EQ(hover.Ticks(), 0);
  hover.HoverTimerTick();
  hover.TrackHover(846, 630, reports);
  EXPECT_EQ(hover.Ticks(), 1);
  // A click holds the hint back until the mouse moves.
  hover.Clicked();
  for (int i = 0; i < 11; ++i) EXPECT_EQ(hover.HoverTimerTick(), HoverState::Action::None);
  EXPECT_EQ(hover.HoverTimerTick(), HoverState::Action::HideHint);
  // Off the report: no hint, counter back to 0.
  EXPECT_FALSE(hover.TrackHover(10, 20, reports));
  EXPECT_EQ(hover.Ticks(), 0);
  EXPECT_EQ(hover.HoverTimerTick(), HoverState::Action::None);
}

}  // namespace
}  // namespace tern::windmap
