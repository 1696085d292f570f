// The SEEWETTER page on the bulletins of the simulated receiver: the map and both lists
// select the same area, the panel puts the warning first, "Meine Seegebiete" follows the
// data folder's file, and new bulletins reach a shown page.
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
