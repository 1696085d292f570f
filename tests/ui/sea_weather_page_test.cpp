// The SEEWETTER page on the bulletins of the simulated receiver: the map and both lists
// select the same area, the panel puts the warning first, the land lies where the outlines
// are, "Meine Seegebiete" follows the data folder's file, and new bulletins reach a shown
// page.
#include "ui/sea_weather_page.h"

#include <QListWidget>
#include <QPlainTextEdit>
#include <QTest>

#include "readout/readouts.h"
#include "seaweather/my_sea_areas.h"
#include "ui/main_form_fixture.h"
#include "ui/sea_map_view.h"

namespace tern::testing {
namespace {

class SeaWeatherPageTest : public MainFormTest {
 protected:
  void SetUp() override {
    MainFormTest::SetUp();
    form().show();
    form().StartupTimerTimer();
  }
  SeaWeatherPage* seaPage() { return page<SeaWeatherPage>(MainTab::SeaWeather); }
  void readDemo() {
    ASSERT_TRUE(ReadDwd(takeLink().Link(), store(), clock_, true));
    polled().DwdLoaded();
  }
  // The widget pixel of an area's label point.
  QPoint labelPixel(int area) {
    SeaMapView* map = seaPage()->Map();
    const seaweather::SeaMap& m = map->Map();
    const double scale = std::min(map->width() / m.width, (map->height() - 64) / m.height);
    const double left = (map->width() - m.width * scale) / 2;
    const seaweather::MapPoint at = m.areas[static_cast<std::size_t>(area)].label;
    return {static_cast<int>(left + at.x * scale), static_cast<int>(at.y * scale)};
  }
  static QString currentId(QListWidget* list) {
    return list->currentItem() ? list->currentItem()->data(Qt::UserRole).toString() : QString();
  }
};

TEST_F(SeaWeatherPageTest, AClickOnTheMapAndALineOfEitherListSelectTheSameArea) {
  ASSERT_TRUE(seaweather::SaveMySeaAreas(store().dataFolder(), {{"westliche-ostsee"}}).ok);
  readDemo();
  tabs()->setCurrentIndex(MainTab::SeaWeather);
  QApplication::processEvents();
  const auto& areas = seaPage()->Map()->Map().areas;
  ASSERT_EQ(seaPage()->AllAreas()->count(), static_cast<int>(areas.size()));
  ASSERT_EQ(seaPage()->MyAreas()->count(), 1);
  EXPECT_TRUE(seaPage()->MyAreas()->item(0)->text().startsWith("Westliche Ostsee: "));
  // The demo's squall line brings a warning for this area at any start time.
  EXPECT_TRUE(seaPage()->MyAreas()->item(0)->text().endsWith("warnung"))
      << seaPage()->MyAreas()->item(0)->text().toStdString();

  for (int area : {0, 13, 23}) {
    const QString id = QString::fromUtf8(areas[static_cast<std::size_t>(area)].id.data(),
                                         static_cast<qsizetype>(areas[area].id.size()));
    QTest::mouseClick(seaPage()->Map(), Qt::LeftButton, {}, labelPixel(area));
    EXPECT_EQ(currentId(seaPage()->AllAreas()), id);
    EXPECT_TRUE(seaPage()->Detail()->toPlainText().startsWith(
        QString::fromUtf8(areas[static_cast<std::size_t>(area)].name.data())));
  }
  // Keyboard: the list of all areas, then the user's own list, select and show alike.
  seaPage()->AllAreas()->setFocus();
  seaPage()->AllAreas()->setCurrentRow(0);
  QTest::keyClick(seaPage()->AllAreas(), Qt::Key_Down);
  EXPECT_TRUE(seaPage()->Detail()->toPlainText().startsWith("IJsselmeer"));
  seaPage()->MyAreas()->setCurrentRow(0);
  EXPECT_EQ(currentId(seaPage()->AllAreas()), "westliche-ostsee");
  const QString panel = seaPage()->Detail()->toPlainText();
  EXPECT_LT(panel.indexOf("Starkwindwarnung ("), panel.indexOf("Vorhersage ("));
}

// The land picture and the outlines share one projection: known land is opaque where the map
// puts it, open sea is not, every area's label (where its arrow and force go) is on water,
// and the page draws the land over the fills.
TEST_F(SeaWeatherPageTest, TheLandPictureLiesOnTheProjectionAndEveryLabelIsOnWater) {
  const QImage land(QStringLiteral(TERN_BIN_DIR "/pictures/sea_map_land.png"));
  ASSERT_FALSE(land.isNull());
  const double scale = land.width() / seaweather::kSeaMapWidth;
  EXPECT_NEAR(land.height(), seaweather::seaMapHeight() * scale, 1.0);
  auto alphaAt = [&](seaweather::LatLon at) {
    const seaweather::MapPoint m = seaweather::projectToMap(at);
    return qAlpha(land.pixel(static_cast<int>(m.x * scale), static_cast<int>(m.y * scale)));
  };
  const std::pair<seaweather::LatLon, bool> places[] = {
      {{56.2, 9.3}, true},     // Jutland
      {{55.45, 11.75}, true},  // Zealand
      {{57.45, 18.5}, true},   // Gotland
      {{52.2, -1.5}, true},    // England
      {{60.5, 9.0}, true},     // Norway
      {{62.5, 25.0}, true},    // Finland
      {{56.0, 3.0}, false},    // the North Sea
      {{55.5, 17.5}, false},   // the Baltic south of Gotland
      {{62.0, 19.5}, false},   // the Bothnian Sea
      {{54.3, 7.4}, false},    // the German Bight west of Heligoland
  };
  for (const auto& [at, isLand] : places)
    EXPECT_EQ(alphaAt(at) > 128, isLand) << at.lat << " " << at.lon;
  for (const seaweather::AreaOutline& o : seaweather::areaOutlines())
    EXPECT_EQ(alphaAt(o.label), 0) << o.id;

  readDemo();
  tabs()->setCurrentIndex(MainTab::SeaWeather);
  QApplication::processEvents();
  const QImage shown = seaPage()->Map()->grab().toImage();
  const seaweather::SeaMap& m = seaPage()->Map()->Map();
  const double shownScale = std::min(shown.width() / m.width, (shown.height() - 64) / m.height);
  const double left = (shown.width() - m.width * shownScale) / 2;
  // Bornholm lies inside the outline of the southern Baltic, yet the page shows land there.
  const seaweather::MapPoint bornholm = seaweather::projectToMap({55.12, 14.9});
  ASSERT_GE(seaweather::areaAt(m, bornholm), 0);
  const QColor there = shown.pixelColor(static_cast<int>(left + bornholm.x * shownScale),
                                        static_cast<int>(bornholm.y * shownScale));
  EXPECT_EQ(there, QColor(206, 202, 160)) << there.name().toStdString();
}

TEST_F(SeaWeatherPageTest, WithoutOwnAreasTheListSaysWhereToTickThemAndNewBulletinsArrive) {
  tabs()->setCurrentIndex(MainTab::SeaWeather);
  QApplication::processEvents();
  ASSERT_EQ(seaPage()->MyAreas()->count(), 1);
  EXPECT_TRUE(seaPage()->MyAreas()->item(0)->text().contains("Einstellungen → Meine Seegebiete"));
  EXPECT_EQ(currentPage().StatusText(), "Kein Seewetterbericht gespeichert");
  EXPECT_TRUE(seaPage()->AllAreas()->item(0)->text().endsWith("keine Vorhersage"));

  readDemo();  // while the page is shown
  QApplication::processEvents();
  EXPECT_TRUE(currentPage().StatusText().startsWith("Seewetterbericht vom "));
  EXPECT_FALSE(seaPage()->AllAreas()->item(0)->text().endsWith("keine Vorhersage"));
}

}  // namespace
}  // namespace tern::testing
