// The fax viewer on charts read from the simulated receiver.
#include <QAction>
#include <QApplication>
#include <QScrollBar>
#include <QTabWidget>
#include <QToolButton>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>
#include <QWheelEvent>
#include <fstream>

#include "config/tree_control.h"
#include "poll/get_data_thread.h"
#include "readout/readouts.h"
#include "stores/chart_scroll.h"
#include "stores/fax_store.h"
#include "ui/fake_export_dialogs.h"
#include "ui/fax_image_label.h"
#include "ui/main_form_fixture.h"

namespace tern::testing {
namespace {

class FaxViewerTest : public MainFormTest {
 protected:
  void SetUp() override {
    MainFormTest::SetUp();
    context_.messages = &sink;
    context_.dialogs = &dialogs;
    ASSERT_TRUE(ReadFax(*form().TERN, *form().Store, clock_, true));
    form().FaxLoaded();
    form().show();
    form().StartupTimerTimer();
  }
  // Opens a fax page and selects its first recording.
  void openFirstChart(int station) {
    form().PageControl1->setCurrentIndex(TMainForm::FaxDwd + station);
    QTreeWidget* tree = form().faxPages[static_cast<std::size_t>(station)].tree;
    QTreeWidgetItemIterator it(tree, QTreeWidgetItemIterator::NoChildren);
    while (*it != nullptr && (*it)->data(0, Qt::UserRole + 1).toLongLong() <= 0) ++it;
    ASSERT_NE(*it, nullptr) << "no chart for station " << station;
    tree->setCurrentItem(*it);
  }
  FaxImageLabel* image(int station) {
    return form().faxPages[static_cast<std::size_t>(station)].image;
  }

  AnsweringSink sink;
  FakeExportDialogs dialogs;
};

TEST_F(FaxViewerTest, ZoomButtonsFollowEachStationsOwnSize) {
  openFirstChart(0);
  EXPECT_EQ(image(0)->width(), 900);  // a station starts at half size
  EXPECT_TRUE(form().BaroZoomInToolButton->isEnabled());
  EXPECT_FALSE(form().BaroZoomOutToolButton->isEnabled());
  form().BaroZoomInToolButton->click();
  EXPECT_EQ(image(0)->width(), 1800);
  EXPECT_FALSE(form().ZoomInItem->isEnabled());
  EXPECT_TRUE(form().ZoomOutItem->isEnabled());

  openFirstChart(1);  // Northwood is still at half size
  EXPECT_TRUE(form().BaroZoomInToolButton->isEnabled());
  form().PageControl1->setCurrentIndex(TMainForm::FaxDwd);
  EXPECT_FALSE(form().BaroZoomInToolButton->isEnabled());
  EXPECT_EQ(image(0)->width(), 1800);
}

TEST_F(FaxViewerTest, TurningSwapsTheSidesAndFourTurnsRestore) {
  openFirstChart(0);
  const QSize upright = image(0)->size();
  form().RotateToolButton->click();
  EXPECT_EQ(image(0)->size(), upright.transposed());
  for (int i = 0; i < 3; ++i) form().RotateToolButton->click();
  EXPECT_EQ(image(0)->size(), upright);
}

TEST_F(FaxViewerTest, DraggingIsClampedAndPausesThePolling) {
  openFirstChart(0);
  form().BaroZoomInToolButton->click();  // 1800 wide
  FaxPage& page = form().faxPages[0];
  const int panel = page.panel->width();
  form().FAXImageMouseDown(0, Qt::LeftButton, 10, 10);
  EXPECT_TRUE(form().GetDataThread->Paused);
  form().FAXImageMouseMove(0, 10 + 5000, 10);
  EXPECT_EQ(page.image->x(), 100);
  form().FAXImageMouseMove(0, 10 - 9000, 10);
  EXPECT_EQ(page.image->x(), panel - 1800 - 100);
  EXPECT_EQ(page.horiScrollBar->value(), -(page.image->x() * 1000) / 1799);
  form().FAXImageMouseUp(0, Qt::LeftButton);
  EXPECT_FALSE(form().GetDataThread->Paused);

  page.horiScrollBar->setValue(0);
  EXPECT_EQ(page.image->x(), 0);
}

TEST_F(FaxViewerTest, TheWheelScrollsTheChartAndShiftScrollsSideways) {
  openFirstChart(0);
  FaxPage& page = form().faxPages[0];
  auto turn = [&](int notches, Qt::KeyboardModifiers modifiers) {
    QWheelEvent event(QPointF(20, 20), page.image->mapToGlobal(QPointF(20, 20)), QPoint(),
                      QPoint(0, 120 * notches), Qt::NoButton, modifiers, Qt::NoScrollPhase, false);
    QApplication::sendEvent(page.image, &event);
  };
  const int step = QApplication::wheelScrollLines() * 20;
  ASSERT_EQ(page.image->pos(), QPoint(0, 0));
  ASSERT_GT(page.image->height(), page.panel->height() + 2 * step);
  turn(-2, Qt::NoModifier);  // towards the user: further down the chart
  EXPECT_EQ(page.image->pos(), QPoint(0, -2 * step));
  EXPECT_EQ(page.vertScrollBar->value(), scrollPositionOf(-2 * step, page.image->height()));
  turn(-1, Qt::ShiftModifier);
  EXPECT_EQ(page.image->pos(), QPoint(-step, -2 * step));
  EXPECT_EQ(page.horiScrollBar->value(), scrollPositionOf(-step, page.image->width()));
  turn(50, Qt::NoModifier);  // limited like a drag
  EXPECT_EQ(page.image->y(), kChartMargin);
}

TEST_F(FaxViewerTest, RightButtonDragSetsTheSlantAndReleaseSavesIt) {
  openFirstChart(0);
  form().FAXImageMouseDown(0, Qt::RightButton, 100, 50);
  form().FAXImageMouseMove(0, 110, 50);
  EXPECT_EQ(form().TreeControl->Schedule(2).FaxTurn, 10);
  EXPECT_FALSE(std::filesystem::exists(form().TreeControl->SettingsPath()));
  form().FAXImageMouseUp(0, Qt::RightButton);
  EXPECT_TRUE(std::filesystem::exists(form().TreeControl->SettingsPath()));
  EXPECT_FALSE(form().GetDataThread->Paused);
}

TEST_F(FaxViewerTest, SavingOverAnExistingFileAsksFirst) {
  openFirstChart(0);
  const std::string target = (root_ / "chart.bmp").string();
  { std::ofstream(target) << "keep"; }
  dialogs.saveAnswer = QString::fromStdString(target);
  sink.answer = false;
  form().SaveToolButton->click();
  EXPECT_EQ(dialogs.proposed.size(), 10);  // six key characters + ".BMP"
  ASSERT_FALSE(sink.texts.empty());
  EXPECT_EQ(sink.texts.back(), "Die Datei chart.bmp existiert bereits! Datei überschreiben?");
  EXPECT_EQ(std::filesystem::file_size(target), 4u);  // answered No: untouched

  sink.answer = true;
  form().SaveToolButton->click();
  EXPECT_GT(std::filesystem::file_size(target), 1800u * 100u / 8u);
  EXPECT_EQ(image(0)->width(), 1800);  // saving shows the chart at full size
}

}  // namespace
}  // namespace tern::testing
