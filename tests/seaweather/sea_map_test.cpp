// The area outlines as data, the map model built from the newest report and warnings, the
// lines and panels of the pages, and the SVG of the web page.
#include "seaweather/sea_map.h"

#include <gtest/gtest.h>

#include <cmath>
#include <set>

#include "seaweather/sample_bulletins.h"
#include "seaweather/sea_map_svg.h"

namespace tern::seaweather {
namespace {

std::vector<MapPoint> projected(const AreaOutline& o) {
  std::vector<MapPoint> ring;
  for (const LatLon& c : o.ring) ring.push_back(projectToMap(c));
  return ring;
}

double cross(MapPoint o, MapPoint a, MapPoint b) {
  return (a.x - o.x) * (b.y - o.y) - (a.y - o.y) * (b.x - o.x);
}

bool segmentsCross(MapPoint a, MapPoint b, MapPoint c, MapPoint d) {
  return cross(a, b, c) * cross(a, b, d) < 0 && cross(c, d, a) * cross(c, d, b) < 0;
}

TEST(SeaAreaOutlines, EveryAreaHasASimplePolygonInTheBoxWithItsLabelInsideItAndNoOtherArea) {
  const auto areas = seaAreas();
  ASSERT_EQ(areaOutlines().size(), areas.size());
  for (std::size_t i = 0; i < areas.size(); ++i) {
    SCOPED_TRACE(areas[i].id);
    const AreaOutline* o = outlineOf(areas[i].id);
    ASSERT_NE(o, nullptr);
    EXPECT_EQ(&areaOutlines()[i], o);  // the same order as the areas
    ASSERT_GE(o->ring.size(), 3u);
    double twiceArea = 0;
    for (std::size_t k = 0; k < o->ring.size(); ++k) {
      const LatLon& c = o->ring[k];
      const LatLon& n = o->ring[(k + 1) % o->ring.size()];
      EXPECT_TRUE(c.lat > kOutlineSouth && c.lat < kOutlineNorth && c.lon > kOutlineWest &&
                  c.lon < kOutlineEast)
          << c.lat << " " << c.lon;
      EXPECT_FALSE(c.lat == n.lat && c.lon == n.lon) << "corner " << k << " repeated";
      twiceArea += c.lon * n.lat - n.lon * c.lat;
    }
    EXPECT_GT(std::abs(twiceArea), 0.02);
    const std::vector<MapPoint> ring = projected(*o);
    for (std::size_t a = 0; a < ring.size(); ++a)
      for (std::size_t b = a + 2; b < ring.size(); ++b) {
        if (a == 0 && b == ring.size() - 1) continue;  // they share the first corner
        EXPECT_FALSE(segmentsCross(ring[a], ring[(a + 1) % ring.size()], ring[b],
                                   ring[(b + 1) % ring.size()]))
            << "edges " << a << " and " << b << " cross";
      }
    const MapPoint label = projectToMap(o->label);
    EXPECT_TRUE(insideRing(ring, label));
    for (const AreaOutline& other : areaOutlines())
      if (other.id != o->id) {
        EXPECT_FALSE(insideRing(projected(other), label)) << other.id;
      }
  }
  EXPECT_EQ(outlineOf("atlantis"), nullptr);
}

SeaWeather sampleWeather() {
  return {readSeaBulletin(samples::kGermanReport), readSeaBulletin(samples::kGermanWarnings)};
}

TEST(SeaMap, AreasAreFilledByTheStrongestForceOutlinedByTheirWarningAndPointDownwind) {
  const SeaWeather weather = sampleWeather();
  const SeaMap map = buildSeaMap(weather);
  ASSERT_EQ(map.areas.size(), seaAreas().size());
  EXPECT_EQ(map.issued, "10.12.2026, 00:05 UTC");
  const struct {
    const char* id;
    int bft;
    std::uint32_t fill;
    WarningLevel warning;
    double arrow;  // -1: none
    const char* lineStart;
    const char* lineEnd;
  } cases[] = {
      // Report SW 6-7 later W 8; the warning (SW to W 8) names the direction first.
      {"deutsche-bucht", 8, beaufortColour(8), WarningLevel::Gale, 45,
       "Deutsche Bucht: ", ", Sturmwarnung"},
      {"westliche-ostsee", 7, beaufortColour(7), WarningLevel::StrongWind, 90,
       "Westliche Ostsee: SW bis W 6-7, später 5", ", Starkwindwarnung"},
      // The warning is stronger than the report's "umlaufend 3, später 5": its force counts.
      {"suedliche-ostsee", 8, beaufortColour(8), WarningLevel::Gale, 112.5,
       "Südliche Ostsee: ", "Sturmwarnung"},
      // Only a warning, no forecast.
      {"utsira", 12, beaufortColour(12), WarningLevel::Hurricane, 180, "Utsira: ", "Orkanwarnung"},
      {"fischer", 7, beaufortColour(7), WarningLevel::None, 90, "Fischer: W 7", "m"},
      // Light winds: the colour of light air, no force, no arrow.
      {"bottenwiek", -1, beaufortColour(2), WarningLevel::None, -1, "Bottenwiek: ", ""},
      // Among the expected areas but without a forecast.
      {"dogger", -1, kNoForecastColour, WarningLevel::None, -1, "Dogger: keine Vorhersage", ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.id);
    const auto it = std::find_if(map.areas.begin(), map.areas.end(),
                                 [&](const SeaMapArea& a) { return a.id == c.id; });
    ASSERT_NE(it, map.areas.end());
    EXPECT_EQ(it->bftMax, c.bft);
    EXPECT_EQ(colourHex(it->fill), colourHex(c.fill));
    EXPECT_EQ(it->warning, c.warning);
    EXPECT_EQ(it->arrowDegrees.value_or(-1), c.arrow);
    EXPECT_TRUE(it->line.starts_with(c.lineStart)) << it->line;
    EXPECT_TRUE(it->line.ends_with(c.lineEnd)) << it->line;
    // A click on the label finds the area.
    EXPECT_EQ(areaAt(map, it->label), it - map.areas.begin());
  }
  EXPECT_EQ(areaAt(map, {1, 1}), -1);
  // Neighbouring steps of the scale differ, and everything beyond it is "no forecast".
  for (int bft = 1; bft <= 12; ++bft) EXPECT_NE(beaufortColour(bft), beaufortColour(bft - 1));
  EXPECT_EQ(beaufortColour(-1), kNoForecastColour);
  EXPECT_EQ(beaufortColour(13), kNoForecastColour);
}

TEST(SeaMap, ThePanelPutsTheWarningFirstAndKeepsTheTextsAsReceived) {
  const SeaWeather weather = sampleWeather();
  const std::string bight = areaDetail(forecastOf(weather, "deutsche-bucht"), weather);
  const auto warning =
      bight.find("Sturmwarnung (10.12.2026, 00:00 UTC):\nSTURM SUEDWEST BIS WEST 8\n");
  const auto forecast = bight.find(
      "Vorhersage (10.12.2026, 00:05 UTC, gültig bis 10.12. 12 UTC):\n"
      "SUEDWEST 6 BIS 7, SPAETER WEST 8, BOEEN 9, SEE 3 METER\n");
  ASSERT_NE(warning, std::string::npos) << bight;
  ASSERT_NE(forecast, std::string::npos) << bight;
  EXPECT_LT(warning, forecast);
  const std::string dogger = areaDetail(forecastOf(weather, "dogger"), weather);
  EXPECT_NE(dogger.find("keine Vorhersage"), std::string::npos);
  EXPECT_EQ(dogger.find("warnung"), std::string::npos);
  EXPECT_EQ(areaDetail(forecastOf(weather, "atlantis"), weather), "");
  EXPECT_EQ(areaLine(forecastOf(SeaWeather{}, "viking")), "Viking: keine Vorhersage");
}

TEST(SeaMapSvg, DrawsEveryAreaAndTheLegendAndEscapesReceivedText) {
  const std::string hostile =
      "FQEN50 EDZW 100005\nAM 10.12.2026, 00.05 UTC\nVORHERSAGEN GUELTIG BIS <b>12 UTC</b>:\n"
      "DEUTSCHE BUCHT: <SCRIPT>ALERT(1)</SCRIPT> & \"X\" 7.\n";
  const SeaWeather weather{readSeaBulletin(hostile), readSeaBulletin(samples::kGermanWarnings)};
  const std::string svg = seaMapSvg(buildSeaMap(weather));
  EXPECT_TRUE(svg.starts_with("<svg xmlns=\"http://www.w3.org/2000/svg\""));
  EXPECT_TRUE(svg.ends_with("</svg>\n"));
  for (const char* bad : {"<script", "<SCRIPT", "<b>", "\"X\""})
    EXPECT_EQ(svg.find(bad), std::string::npos) << bad;
  EXPECT_NE(svg.find("&lt;SCRIPT&gt;"), std::string::npos) << svg.substr(0, 2000);
  std::size_t areas = 0, warnings = 0;
  for (std::size_t at = 0; (at = svg.find("<g class=\"area\"", at)) != std::string::npos; ++at)
    ++areas;
  for (std::size_t at = 0; (at = svg.find("stroke=\"#202020\" stroke-width=\"7\" stroke-linejoin",
                                          at)) != std::string::npos;
       ++at)
    ++warnings;
  EXPECT_EQ(areas, seaAreas().size());
  EXPECT_EQ(warnings, 6u);  // the six warned areas of the sample
  for (const char* legend : {">12<", "Orkan", "Starkwind", "Umrisse der Seegebiete angenähert"})
    EXPECT_NE(svg.find(legend), std::string::npos) << legend;
  EXPECT_EQ(svg.find("<image"), std::string::npos);  // no land given, none drawn

  // The land goes over the fills and warning outlines, under the arrows and forces.
  const unsigned char png[] = {0x89, 'P', 'N', 'G'};
  const std::string withLand = seaMapSvg(buildSeaMap(weather), png);
  const std::size_t image = withLand.find("<image");
  ASSERT_NE(image, std::string::npos);
  const std::string_view expected =
      "<image x=\"0\" y=\"0\" width=\"1000.0\" height=\"905.8\" preserveAspectRatio=\"none\" "
      "href=\"data:image/png;base64,iVBORw==\"/>";
  EXPECT_EQ(withLand.substr(image, expected.size()), expected);
  EXPECT_GT(image, withLand.rfind("stroke-linejoin=\"round\""));
  EXPECT_LT(image, withLand.find("<text"));
}

}  // namespace
}  // namespace tern::seaweather
