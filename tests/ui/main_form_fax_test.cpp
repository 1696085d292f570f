// The fax viewer on charts read from the simulated receiver.
#include <QAction>
#include <QApplication>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QTabWidget>
#include <QTableWidget>
#include <QThreadPool>
#include <QToolButton>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>
#include <QWheelEvent>
#include <fstream>
#include <sstream>

#include "config/tree_control.h"
#include "fakes/recording_sink.h"
#include "poll/get_data_thread.h"
#include "presenters/chart_scroll.h"
#include "presenters/fax_calibration.h"
#include "presenters/fax_store.h"
#include "readout/readouts.h"
#include "ui/fake_export_dialogs.h"
#include "ui/fax_calibration_panel.h"
#include "ui/fax_image_label.h"
#include "ui/main_form_fixture.h"
#include "ui/screen_picture.h"

namespace tern::testing {
namespace {

bool geoModuleMapped() {
  std::ifstream maps("/proc/self/maps");
  std::stringstream text;
  text << maps.rdbuf();
  return text.str().find("tern-geo.so") != std::string::npos;
}

class FaxViewerTest : public MainFormTest {
 protected:
  void SetUp() override {
    MainFormTest::SetUp();
    context_.messages = &sink;
    context_.dialogs = &dialogs;
    ASSERT_TRUE(ReadFax(takeLink().Link(), store(), clock_, true));
    polled().FaxLoaded();
    form().show();
    form().StartupTimerTimer();
  }
  // Opens a fax page and selects its first recording.
  void openFirstChart(int station) {
    tabs()->setCurrentIndex(MainTab::FaxDwd + station);
    QTreeWidget* tree = faxPage(station)->Tree();
    QTreeWidgetItemIterator it(tree, QTreeWidgetItemIterator::NoChildren);
    while (*it != nullptr && (*it)->data(0, Qt::UserRole + 1).toLongLong() <= 0) ++it;
    ASSERT_NE(*it, nullptr) << "no chart for station " << station;
    tree->setCurrentItem(*it);
  }
  FaxImageLabel* image(int station) { return faxPage(station)->Image(); }

  RecordingSink sink;
  FakeExportDialogs dialogs;
};

TEST_F(FaxViewerTest, ZoomButtonsFollowEachStationsOwnSize) {
  openFirstChart(0);
  EXPECT_EQ(image(0)->width(), 900);  // a station starts at half size
  EXPECT_TRUE(button("BaroZoomInToolButton")->isEnabled());
  EXPECT_FALSE(button("BaroZoomOutToolButton")->isEnabled());
  button("BaroZoomInToolButton")->click();
  EXPECT_EQ(image(0)->width(), 1800);
  EXPECT_FALSE(action("ZoomInItem")->isEnabled());
  EXPECT_TRUE(action("ZoomOutItem")->isEnabled());

  openFirstChart(1);  // Northwood is still at half size
  EXPECT_TRUE(button("BaroZoomInToolButton")->isEnabled());
  tabs()->setCurrentIndex(MainTab::FaxDwd);
  EXPECT_FALSE(button("BaroZoomInToolButton")->isEnabled());
  EXPECT_EQ(image(0)->width(), 1800);
}

TEST_F(FaxViewerTest, TurningSwapsTheSidesAndFourTurnsRestore) {
  openFirstChart(0);
  const QSize upright = image(0)->size();
  button("RotateToolButton")->click();
  EXPECT_EQ(image(0)->size(), upright.transposed());
  for (int i = 0; i < 3; ++i) button("RotateToolButton")->click();
  EXPECT_EQ(image(0)->size(), upright);
}

TEST_F(FaxViewerTest, DraggingIsClampedAndPausesThePolling) {
  openFirstChart(0);
  button("BaroZoomInToolButton")->click();  // 1800 wide
  FaxPage& page = *faxPage(0);
  const int panel = page.Panel()->width();
  faxPage(0)->ImageMouseDown(Qt::LeftButton, 10, 10);
  EXPECT_TRUE(thread()->Paused);
  faxPage(0)->ImageMouseMove(10 + 5000, 10);
  EXPECT_EQ(page.Image()->x(), 100);
  faxPage(0)->ImageMouseMove(10 - 9000, 10);
  EXPECT_EQ(page.Image()->x(), panel - 1800 - 100);
  EXPECT_EQ(page.HoriScrollBar()->value(), -(page.Image()->x() * 1000) / 1799);
  faxPage(0)->ImageMouseUp(Qt::LeftButton);
  EXPECT_FALSE(thread()->Paused);

  page.HoriScrollBar()->setValue(0);
  EXPECT_EQ(page.Image()->x(), 0);
}

TEST_F(FaxViewerTest, TheWheelScrollsTheChartAndShiftScrollsSideways) {
  openFirstChart(0);
  FaxPage& page = *faxPage(0);
  auto turn = [&](int notches, Qt::KeyboardModifiers modifiers) {
    QWheelEvent event(QPointF(20, 20), page.Image()->mapToGlobal(QPointF(20, 20)), QPoint(),
                      QPoint(0, 120 * notches), Qt::NoButton, modifiers, Qt::NoScrollPhase, false);
    QApplication::sendEvent(page.Image(), &event);
  };
  const int step = QApplication::wheelScrollLines() * 20;
  ASSERT_EQ(page.Image()->pos(), QPoint(0, 0));
  ASSERT_GT(page.Image()->height(), page.Panel()->height() + 2 * step);
  turn(-2, Qt::NoModifier);  // towards the user: further down the chart
  EXPECT_EQ(page.Image()->pos(), QPoint(0, -2 * step));
  EXPECT_EQ(page.VertScrollBar()->value(), scrollPositionOf(-2 * step, page.Image()->height()));
  turn(-1, Qt::ShiftModifier);
  EXPECT_EQ(page.Image()->pos(), QPoint(-step, -2 * step));
  EXPECT_EQ(page.HoriScrollBar()->value(), scrollPositionOf(-step, page.Image()->width()));
  turn(50, Qt::NoModifier);  // limited like a drag
  EXPECT_EQ(page.Image()->y(), kChartMargin);
}

TEST_F(FaxViewerTest, RightButtonDragSetsTheSlantAndReleaseSavesIt) {
  openFirstChart(0);
  faxPage(0)->ImageMouseDown(Qt::RightButton, 100, 50);
  faxPage(0)->ImageMouseMove(110, 50);
  EXPECT_EQ(settings().Schedule(2).FaxTurn, 10);
  EXPECT_FALSE(std::filesystem::exists(settings().SettingsPath()));
  faxPage(0)->ImageMouseUp(Qt::RightButton);
  EXPECT_TRUE(std::filesystem::exists(settings().SettingsPath()));
  EXPECT_FALSE(thread()->Paused);
}

TEST_F(FaxViewerTest, SavingOverAnExistingFileAsksFirst) {
  openFirstChart(0);
  const std::string target = (root_ / "chart.bmp").string();
  { std::ofstream(target) << "keep"; }
  dialogs.saveAnswer = QString::fromStdString(target);
  sink.answer = false;
  button("SaveToolButton")->click();
  EXPECT_EQ(dialogs.proposed.size(), 10);  // six key characters + ".BMP"
  ASSERT_FALSE(sink.said.empty());
  EXPECT_EQ(sink.said.back(), "Die Datei chart.bmp existiert bereits! Datei überschreiben?");
  EXPECT_EQ(std::filesystem::file_size(target), 4u);  // answered No: untouched

  sink.answer = true;
  button("SaveToolButton")->click();
  EXPECT_GT(std::filesystem::file_size(target), 1800u * 100u / 8u);
  EXPECT_EQ(image(0)->width(), 1800);  // saving shows the chart at full size
}

// The chart takes the page's free room, on a panel as on a large screen; calibrating, the
// side panel narrows and the tree gives way so that the chart keeps half of the page, no
// button of the panel is cut, and the tree gets its width back afterwards.
TEST_F(FaxViewerTest, TheChartTakesThePageAndKeepsHalfOfItWhileCalibrating) {
  openFirstChart(0);
  FaxPage& page = *faxPage(0);
  auto* scroll = page.findChild<QScrollArea*>("FAXDWDCalibrationScroll");
  ASSERT_NE(scroll, nullptr);
  for (const QSize window : {QSize(1912, 1046), QSize(980, 700), QSize(792, 446)}) {
    const std::string at = std::to_string(window.width());
    form().resize(window);
    QApplication::processEvents();
    const int tree = page.Tree()->width();
    const int free = page.width() - tree - page.VertScrollBar()->width();
    EXPECT_GE(page.Panel()->width(), free - 8) << at;
    EXPECT_GE(page.Panel()->height(), page.height() - 60) << at;
    if (window.width() != 980)
      saveScreenPicture(form(),
                        window.width() == 792 ? QRect(0, 0, 800, 480) : QRect(0, 0, 1920, 1080),
                        window.width() == 792 ? "fax-800x480" : "fax-1920x1080");

    page.SetCalibrating(true);
    QApplication::processEvents();
    EXPECT_GE(page.Panel()->width(), page.width() / 2 - 2) << at;
    for (QPushButton* b : page.CalibrationPanel()->findChildren<QPushButton*>()) {
      const int right = b->mapTo(scroll->viewport(), QPoint(b->width(), 0)).x();
      EXPECT_LE(right, scroll->viewport()->width()) << at << " " << b->text().toStdString();
    }
    if (window.width() == 792)
      saveScreenPicture(form(), QRect(0, 0, 800, 480), "fax-georef-800x480");
    page.SetCalibrating(false);
    QApplication::processEvents();
    EXPECT_EQ(page.Tree()->width(), tree) << at;
  }
}

TEST_F(FaxViewerTest, ClicksInTheCalibrationModeMarkTheUnturnedChartAndTheMapIsSaved) {
  openFirstChart(0);
  FaxPage& page = *faxPage(0);
  dialogs.saveAnswer = QString::fromStdString((root_ / "chart.tif").string());
  page.MapButton()->click();  // not calibrated yet: said, nothing asked
  EXPECT_EQ(dialogs.saveCalls, 0);
  ASSERT_FALSE(sink.said.empty());
  EXPECT_NE(sink.said.back().find("noch nicht georeferenziert"), std::string::npos);

  page.GeoButton()->click();
  ASSERT_TRUE(page.Calibration().Active());
  // The map module is loaded in the background while the first points are clicked.
  QThreadPool::globalInstance()->waitForDone();
  EXPECT_TRUE(geoModuleMapped());
  // A drag moves the chart and marks nothing; a click marks its place, whatever the size
  // and the turns of the shown picture.
  page.ImageMouseDown(Qt::LeftButton, 50, 50);
  page.ImageMouseMove(80, 50);
  page.ImageMouseUp(Qt::LeftButton);
  EXPECT_TRUE(page.Calibration().Points().empty());
  page.HoriScrollBar()->setValue(0);
  struct Click {
    int turns;
    bool half;
    int x, y;                    // on the shown picture, counted from the right or bottom edge
    bool fromRight, fromBottom;  // when these are set
    double column, row;          // on the unturned full-size chart
  };
  const Click clicks[] = {
      {0, true, 100, 150, false, false, 200.5, 300.5},
      {1, true, 150, 100, false, true, 200.5, 300.5},  // a quarter turn counter-clockwise
      {2, false, 600, 800, true, true, 600, 800},
  };
  for (const Click& c : clicks) {
    while (fax().CurrentStation().RotationState % 4 != c.turns) button("RotateToolButton")->click();
    if (fax().HalfSize() != c.half)
      button(c.half ? "BaroZoomOutToolButton" : "BaroZoomInToolButton")->click();
    const int x = c.fromRight ? image(0)->width() - 1 - c.x : c.x;
    const int y = c.fromBottom ? image(0)->height() - 1 - c.y : c.y;
    page.ImageMouseDown(Qt::LeftButton, x, y);
    page.ImageMouseUp(Qt::LeftButton);
    const CalibrationPointView& p = page.Calibration().Points().back();
    EXPECT_EQ(p.pixel.column, c.column) << c.turns;
    EXPECT_EQ(p.pixel.row, c.row) << c.turns;
    // Drawn where it was clicked.
    const ChartMarker& m = image(0)->markers().back();
    EXPECT_NEAR(m.at.x(), x, 0.5) << c.turns;
    EXPECT_NEAR(m.at.y(), y, 0.5) << c.turns;
  }
  ASSERT_EQ(image(0)->markers().size(), 3u);

  // The places typed into the panel's table.
  QTableWidget* table = page.CalibrationPanel()->Table();
  const char* places[][2] = {{"60", "-20"}, {"60", "-20"}, {"50 N", "0"}};
  for (int r = 0; r < 3; ++r) {
    table->item(r, FaxCalibrationPanel::Latitude)->setText(QString::fromLatin1(places[r][0]));
    table->item(r, FaxCalibrationPanel::Longitude)->setText(QString::fromLatin1(places[r][1]));
  }
  // Two points on one pixel and one place: refused, and the button says so.
  EXPECT_FALSE(page.CalibrationPanel()->SaveButton()->isEnabled());
  page.CalibrationPanel()->Table()->setCurrentCell(1, 0);
  page.CalibrationPanel()->findChild<QPushButton*>("FaxCalibrationRemove")->click();
  ASSERT_EQ(page.Calibration().Points().size(), 2u);
  ASSERT_TRUE(page.CalibrationPanel()->SaveButton()->isEnabled()) << page.Calibration().Summary();
  page.CalibrationPanel()->SaveButton()->click();
  EXPECT_TRUE(std::filesystem::exists(session().DataFolder() + "fax_calibration/DWD"));

  page.GeoButton()->click();  // leaves the mode
  EXPECT_TRUE(image(0)->markers().empty());
  page.MapButton()->click();
  EXPECT_FALSE(page.MapButton()->isEnabled());  // written beside the window
  while (!page.MapButton()->isEnabled()) QApplication::processEvents(QEventLoop::AllEvents, 20);
  EXPECT_EQ(dialogs.proposed.right(4), ".tif");
  EXPECT_TRUE(std::filesystem::exists(root_ / "chart.tif"));
  EXPECT_TRUE(std::filesystem::exists(root_ / "chart.mbtiles"));
}

}  // namespace
}  // namespace tern::testing
