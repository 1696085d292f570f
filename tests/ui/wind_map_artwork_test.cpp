// The committed map pictures fit the map's geometry: the background's size and colours, the
// coastal stations on their coasts, and wind icons that the drawing rule can draw and that
// point where their number says.
#include <gtest/gtest.h>

#include <QImage>
#include <array>
#include <cmath>
#include <numbers>
#include <regex>
#include <string>

#include "sim/demo_synop.h"
#include "synop/coastal_stations.h"
#include "synop/wind_map.h"

namespace tern::windmap {
namespace {

QString picture(const char* name) { return QStringLiteral(TERN_BIN_DIR "/pictures/") + name; }

// Colours of the background, matched loosely because the picture is quantised.
bool near(QRgb c, int r, int g, int b) {
  return std::abs(qRed(c) - r) + std::abs(qGreen(c) - g) + std::abs(qBlue(c) - b) < 40;
}
bool isSea(QRgb c) { return near(c, 150, 186, 218); }
// An island smaller than a pixel is only its coastline.
bool isLand(QRgb c) { return near(c, 206, 202, 160) || near(c, 70, 70, 70); }

TEST(WindMapArtwork, BackgroundHasTheMapsSizeAndSixteenColours) {
  QImage map(picture("wind_map.png"));
  ASSERT_FALSE(map.isNull());
  EXPECT_EQ(map.size(), QSize(kMapWidth, kMapHeight));
  EXPECT_LE(map.colorCount(), 16);
  EXPECT_GT(map.colorCount(), 0);  // a palette picture
}

TEST(WindMapArtwork, EveryCoastalStationSitsOnItsCoast) {
  QImage map = QImage(picture("wind_map.png")).convertToFormat(QImage::Format_RGB32);
  ASSERT_FALSE(map.isNull());
  // Pixel of a position: longitude -20 at column 0, 60 degrees over 1834 columns; latitude 72
  // at row 9, 44 degrees over 1526 rows (the icon grid's geometry).
  constexpr int kRadius = 10;  // about a third of a degree
  for (auto heading : {kNorthSeaHeading, kMediterraneanHeading}) {
    for (const CoastalStation& s : StationsOfHeading(heading)) {
      const int x = static_cast<int>(std::lround((s.longitude + 200) * 1834.0 / 600.0));
      const int y = static_cast<int>(std::lround(9 + (720 - s.latitude) * 1526.0 / 440.0));
      // The table puts HEL 0.4 degrees north of its peninsula, out in the bay.
      const int radius = s.name == "HEL " ? 16 : kRadius;
      bool land = false, sea = false;
      for (int dy = -radius; dy <= radius; ++dy) {
        for (int dx = -radius; dx <= radius; ++dx) {
          if (dx * dx + dy * dy > radius * radius) continue;
          const QRgb c = map.pixel(x + dx, y + dy);
          land = land || isLand(c);
          sea = sea || isSea(c);
        }
      }
      EXPECT_TRUE(land && sea) << s.name << " at " << x << "," << y << " land " << land << " sea "
                               << sea;
    }
  }
}

TEST(WindMapArtwork, TheDemoShipsSailOnTheSea) {
  QImage map = QImage(picture("wind_map.png")).convertToFormat(QImage::Format_RGB32);
  ASSERT_FALSE(map.isNull());
  const sim::DemoWeather weather(1'765'000'000);
  // Position groups of the ship code: 99LaLaLa QcLoLoLoLo (tenths of a degree).
  const std::regex position(R"(\b99(\d{3}) ([17])(\d{4})\b)");
  int ships = 0;
  for (int area = 1; area <= 8; ++area) {
    for (int hour = 0; hour < 48; hour += 6) {
      const std::string text = sim::shipBulletin("SMVX4" + std::to_string(area),
                                                 1'765'000'000 + hour * 3600, weather, true);
      for (std::sregex_iterator it(text.begin(), text.end(), position), end; it != end; ++it) {
        const int lat = std::stoi((*it)[1]);
        const int lon = std::stoi((*it)[3]) * ((*it)[2] == "7" ? -1 : 1);
        const int x = static_cast<int>(std::lround((lon + 200) * 1834.0 / 600.0));
        const int y = static_cast<int>(std::lround(9 + (720 - lat) * 1526.0 / 440.0));
        if (x < 0 || y < 0 || x >= map.width() || y >= map.height()) continue;  // off the map
        ++ships;
        // Not land (a graticule line may run under a ship at a round position).
        bool land = false;
        for (auto [dx, dy] : {std::pair{0, 0}, {1, 0}, {-1, 0}, {0, 1}, {0, -1}})
          land = land || isLand(map.pixel(x + dx, y + dy));
        EXPECT_FALSE(land) << "SMVX4" << area << " ship at " << lat << "," << lon;
      }
    }
  }
  EXPECT_GT(ships, 100);
}

TEST(WindMapArtwork, IconsAreDrawableAndArrowsPointTheirWay) {
  for (int i = 0; i < kIconCount; ++i) {
    QImage icon(picture("wind/") + QStringLiteral("wind_%1.png").arg(i, 2, 10, QChar('0')));
    ASSERT_EQ(icon.size(), QSize(kIconSize, kIconSize)) << i;
    double sx = 0, sy = 0;
    int drawn = 0;
    for (int y = 0; y < kCellPixels; ++y) {
      for (int x = 0; x < kCellPixels; ++x) {
        if (!IconPixelColour(icon.pixel(x, y), kKindShip)) continue;
        ++drawn;
        sx += x + 0.5 - 7.0;  // the arrows turn about (7, 7)
        sy += y + 0.5 - 7.0;
      }
    }
    EXPECT_GT(drawn, 12) << "icon " << i;
    if (i >= 16) continue;
    // The arrow's head outweighs its tail, so the drawn pixels lean towards where it points.
    double towards = std::atan2(sx, -sy) * 180.0 / std::numbers::pi;
    double off = std::fmod(towards - i * 22.5 + 540.0, 360.0) - 180.0;
    // The long shaft's pixels snap to the grid, so this is only a coarse check; the quarter
    // turns below pin the steps down.
    EXPECT_LT(std::abs(off), 30.0) << "icon " << i << " points to " << towards;
  }
}

TEST(WindMapArtwork, ArrowsFourStepsApartAreQuarterTurns) {
  auto drawn = [](int i) {
    QImage icon(picture("wind/") + QStringLiteral("wind_%1.png").arg(i, 2, 10, QChar('0')));
    std::array<bool, 14 * 14> on{};
    for (int y = 0; y < 14; ++y)
      for (int x = 0; x < 14; ++x)
        on[static_cast<std::size_t>(y * 14 + x)] =
            IconPixelColour(icon.pixel(x, y), kKindShip).has_value();
    return on;
  };
  for (int i = 0; i < 16; ++i) {
    const auto from = drawn(i);
    const auto turned = drawn((i + 4) % 16);
    int same = 0, total = 0;
    for (int y = 0; y < 14; ++y) {
      for (int x = 0; x < 14; ++x) {
        // A quarter turn clockwise about (7, 7) takes pixel (x, y) to (13 - y, x).
        const bool a = from[static_cast<std::size_t>(y * 14 + x)];
        const bool b = turned[static_cast<std::size_t>(x * 14 + (13 - y))];
        total += a || b;
        same += a && b;
      }
    }
    EXPECT_GE(same * 10, total * 9) << "icon " << i;
  }
}

}  // namespace
}  // namespace tern::windmap
