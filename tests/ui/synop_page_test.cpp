// The SYNOP page on the bulletins of the simulated receiver: the drawn map, the hover hint,
// the message window and dragging.
#include <QApplication>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTabWidget>
#include <QTest>
#include <QTimer>

#include "poll/get_data_thread.h"
#include "readout/readouts.h"
#include "synop/coastal_stations.h"
#include "synop/synop_decoder.h"
#include "ui/hint_form.h"
#include "ui/main_form_fixture.h"
#include "ui/synop_msg_form.h"
#include "ui/wind_map_view.h"

namespace tern::testing {
namespace {

using windmap::CellOfReport;

class SynopPageTest : public MainFormTest {
 protected:
  void SetUp() override {
    MainFormTest::SetUp();
    ASSERT_TRUE(ReadDwd(takeLink().Link(), store(), clock_, true));
    polled().DwdLoaded();
    form().show();
    form().StartupTimerTimer();
    // The store was filled without the polling thread, so nothing is decoded yet: the window
    // thread draws that at once and leaves the decoding to the page's own thread.
    tabs()->setCurrentIndex(MainTab::Synop);
    drawnAtOnce_ = reports().size();
    showSynopPage();
  }
  std::size_t drawnAtOnce_ = 0;
  WindMapView& map() { return *synopPage()->Map(); }
  const std::vector<TSynopType>& reports() { return synopPage()->Reports(); }
  // A pixel inside the icon of `cell`.
  static QPoint iconPixel(windmap::MapCell cell) {
    return {cell.column * 14 + 6, (108 - cell.row) * 14 + 9 + 6};
  }
  const TSynopType* first(bool (*pick)(const TSynopType&)) {
    for (const auto& r : reports())
      if (pick(r) && CellOfReport(r)) return &r;
    return nullptr;
  }
  // Clicks `cell` and returns what the message window showed; closes it at once.
  std::vector<std::string> click(windmap::MapCell cell, std::string* proposed = nullptr) {
    std::vector<std::string> shown;
    bool wasVisible = false;
    QTimer::singleShot(0, [&] {
      wasVisible = synopPage()->MessageForm()->isVisible();
      shown = synopPage()->MessageForm()->Lines();
      if (proposed) *proposed = synopPage()->MessageForm()->ProposedFileName();
      synopPage()->MessageForm()->CloseButton->click();
    });
    const QPoint p = iconPixel(cell);
    map().Image1MouseDown(Qt::LeftButton, p.x(), p.y());
    EXPECT_TRUE(wasVisible);
    return shown;
  }
};

TEST_F(SynopPageTest, ActivationDrawsTheDemoReportsAndRunsTheHoverTimerOnlyHere) {
  ASSERT_FALSE(reports().empty());
  ASSERT_FALSE(map().DrawnIcons().empty());
  QImage background(QString::fromStdString(session().ProgramFolder()) + "pictures/wind_map.png");
  background = background.convertToFormat(QImage::Format_RGB32);
  int checked = 0;
  for (const auto& r : reports()) {
    auto cell = CellOfReport(r);
    if (!cell || !r.speedKnown() || !r.directionKnown()) continue;
    bool drawn = false;
    for (const auto& icon : map().DrawnIcons()) drawn = drawn || icon.cell == *cell;
    EXPECT_TRUE(drawn) << r.name;
    // Some pixel of the cell's icon differs from the background.
    bool changed = false;
    for (int y = 0; y < 14; ++y)
      for (int x = 0; x < 14; ++x) {
        const QPoint p(cell->column * 14 + x, (108 - cell->row) * 14 + 9 + y);
        changed = changed || map().MapPicture().pixel(p) != background.pixel(p);
      }
    EXPECT_TRUE(changed) << r.name;
    ++checked;
  }
  EXPECT_GT(checked, 10);
  EXPECT_TRUE(map().HoverTimer->isActive());
  EXPECT_EQ(map().Image1->pos(), QPoint(-310, -200));
  tabs()->setCurrentIndex(MainTab::Barograph);
  EXPECT_FALSE(map().HoverTimer->isActive());
}

TEST_F(SynopPageTest, TheWindowThreadNeverDecodes) {
  EXPECT_EQ(drawnAtOnce_, 0u);
  ASSERT_FALSE(reports().empty());
  // Shown again with the same texts: drawn at once from the list before, which the refresh
  // that comes back leaves in place.
  const std::vector<TSynopType>* before = &reports();
  tabs()->setCurrentIndex(MainTab::Barograph);
  tabs()->setCurrentIndex(MainTab::Synop);
  EXPECT_TRUE(synopPage()->Refreshing());
  EXPECT_EQ(&reports(), before);
  showSynopPage();
  EXPECT_EQ(&reports(), before);
}

TEST_F(SynopPageTest, HoverShowsTheHintAfterOneSecondAndHidesItAfterSix) {
  const TSynopType* station = first([](const TSynopType& r) { return r.ReportKind == 2; });
  ASSERT_NE(station, nullptr);
  const QPoint p = iconPixel(*CellOfReport(*station));
  // The cell's first report is the one the hint names.
  const TSynopType* shown = windmap::FirstReportIn(reports(), *CellOfReport(*station));
  map().Image1MouseMove(p.x(), p.y());
  EXPECT_EQ(map().Image1->cursor().shape(), Qt::PointingHandCursor);
  for (int i = 0; i < 3; ++i) map().HoverTimerTick();
  EXPECT_FALSE(synopPage()->Hint()->isVisible());
  map().HoverTimerTick();
  ASSERT_TRUE(synopPage()->Hint()->isVisible());
  const QStringList lines = synopPage()->Hint()->Lines();
  ASSERT_EQ(lines.size(), 4);
  EXPECT_EQ(lines[0].toStdString(), shown->name);
  EXPECT_TRUE(lines[1].startsWith("Windrichtung: "));
  EXPECT_TRUE(lines[2].startsWith("Windstärke: "));
  EXPECT_EQ(lines[3].toStdString(), shown->dayText + " " + shown->timeText);
  for (int i = 4; i < 23; ++i) map().HoverTimerTick();
  EXPECT_TRUE(synopPage()->Hint()->isVisible());
  map().HoverTimerTick();
  EXPECT_FALSE(synopPage()->Hint()->isVisible());
  // Leaving the reports hides it and restores the cursor.
  map().Image1MouseMove(2, 2);
  EXPECT_EQ(map().Image1->cursor().shape(), Qt::ArrowCursor);
}

TEST_F(SynopPageTest, AClickShowsTheCellAndLeavesPollingRunningAfterwards) {
  const TSynopType* north = first([](const TSynopType& r) { return IsNorthSeaStation(r.name); });
  const TSynopType* south =
      first([](const TSynopType& r) { return IsMediterraneanStation(r.name); });
  const TSynopType* ship = first([](const TSynopType& r) { return r.ReportKind == 1; });
  ASSERT_TRUE(north && south && ship);

  std::string proposed;
  auto lines = click(*CellOfReport(*north), &proposed);
  EXPECT_FALSE(thread()->Paused);
  EXPECT_FALSE(map().Dragging());
  EXPECT_EQ(proposed, "SXEN40.TXT");
  bool marked = false;
  for (const auto& line : lines) marked = marked || line.rfind("* " + north->name, 0) == 0;
  EXPECT_TRUE(marked);

  click(*CellOfReport(*south), &proposed);
  EXPECT_EQ(proposed, "SXEMM41.TXT");

  // A ship cell proposes the call sign of its first report.
  const TSynopType* firstInCell = windmap::FirstReportIn(reports(), *CellOfReport(*ship));
  if (firstInCell->ReportKind == 1) {
    click(*CellOfReport(*ship), &proposed);
    EXPECT_EQ(proposed, windmap::SafeFileStem(firstInCell->name) + ".TXT");
  }
  EXPECT_FALSE(thread()->Paused);
}

TEST_F(SynopPageTest, DraggingClampsAndMovesTheScrollBars) {
  WindMapView& m = map();
  // Press in the top margin, where no report is: the drag goes on until the release.
  m.Image1MouseDown(Qt::LeftButton, 400, 2);
  EXPECT_TRUE(thread()->Paused);
  m.Image1MouseMove(400 + 5000, 2 + 5000);
  EXPECT_EQ(m.Image1->pos(), QPoint(100, 100));
  m.Image1MouseMove(400 - 9000, 2 - 9000);
  const QPoint lowest(m.Panel1->width() - 1835 - 100, m.Panel1->height() - 1537 - 100);
  EXPECT_EQ(m.Image1->pos(), lowest);
  EXPECT_EQ(m.HorSynopScrollBar->value(), -lowest.x());
  EXPECT_EQ(m.VertSynopScrollBar->value(), -lowest.y());
  m.Image1MouseUp();
  EXPECT_FALSE(thread()->Paused);
  EXPECT_FALSE(m.Dragging());

  m.HorSynopScrollBar->setValue(500);
  m.VertSynopScrollBar->setValue(300);
  EXPECT_EQ(m.Image1->pos(), QPoint(-500, -300));
  m.HorSynopScrollBar->setValue(1835);  // clamped like a drag
  EXPECT_EQ(m.Image1->x(), lowest.x());
}

TEST_F(SynopPageTest, MessageWindowAndHintWindowShapes) {
  TSynopMsgForm& msg = *synopPage()->MessageForm();
  EXPECT_EQ(msg.windowTitle(), "Synop");
  EXPECT_EQ(msg.size(), QSize(740, 646));
  EXPECT_TRUE(msg.Memo1->isReadOnly());
  EXPECT_EQ(msg.Memo1->font().pixelSize(), 13);
  EXPECT_TRUE(QFontInfo(msg.Memo1->font()).fixedPitch());
  EXPECT_EQ(msg.PrintButton->text(), "Drucken");
  EXPECT_EQ(msg.SaveButton->text(), "Speichern");
  EXPECT_EQ(msg.CloseButton->text(), "Schließen");
  msg.SetReport({"a", "b"}, "D/X 1");
  EXPECT_EQ(msg.ProposedFileName(), "D_X_1.TXT");
  msg.show();
  EXPECT_TRUE(msg.isVisible());
  QTest::mouseDClick(msg.Memo1->viewport(), Qt::LeftButton);
  EXPECT_FALSE(msg.isVisible());

  THintForm& hint = *synopPage()->Hint();
  EXPECT_EQ(hint.size(), QSize(115, 53));
  EXPECT_TRUE(hint.windowFlags() & Qt::WindowStaysOnTopHint);
  EXPECT_TRUE(hint.windowFlags() & Qt::FramelessWindowHint);
  EXPECT_TRUE(hint.windowFlags() & Qt::WindowDoesNotAcceptFocus);
  EXPECT_TRUE(hint.Memo1->isReadOnly());
  EXPECT_EQ(hint.Memo1->focusPolicy(), Qt::NoFocus);
  EXPECT_EQ(hint.Memo1->frameShape(), QFrame::NoFrame);
}

TEST_F(SynopPageTest, ActivatingTheHintGivesTheFocusBackToTheMainWindow) {
  form().activateWindow();
  QApplication::processEvents();
  synopPage()->Hint()->ShowLines({"A", "B", "C", "D"}, QPoint(10, 10));
  QApplication::setActiveWindow(synopPage()->Hint());  // as a click into it would
  QApplication::processEvents();
  EXPECT_EQ(QApplication::activeWindow(), &form());
}

}  // namespace
}  // namespace tern::testing
