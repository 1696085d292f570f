// The page-dependent commands, and the message pages filled from the message store.
#include <QAction>
#include <QDateTimeAxis>
#include <QLabel>
#include <QLineSeries>
#include <QPlainTextEdit>
#include <QTabWidget>
#include <QTest>
#include <QToolButton>
#include <QTreeWidget>

#include "link/ttern.h"
#include "messages/message_store.h"
#include "presenters/barograph_store.h"
#include "readout/readouts.h"
#include "ui/main_form_fixture.h"
#include "ui/tree_draw_delegate.h"

namespace tern::testing {
namespace {

TEST_F(MainFormTest, EachPageEnablesItsCommands) {
  // load save print expand collapse zoomIn zoomOut rotate
  using Row = std::array<bool, 8>;
  const std::pair<int, Row> table[] = {
      {MainTab::WetterDeutsch, {1, 1, 1, 1, 1, 0, 0, 0}},
      {MainTab::WetterEnglisch, {1, 1, 1, 1, 1, 0, 0, 0}},
      {MainTab::Navtex, {1, 1, 1, 1, 1, 0, 0, 0}},
      {MainTab::Barograph, {0, 1, 1, 0, 0, 1, 1, 0}},
      {MainTab::Synop, {0, 1, 1, 0, 0, 0, 0, 0}},
      {MainTab::SeaWeather, {0, 0, 0, 0, 0, 0, 0, 0}},
      {MainTab::FaxDwd, {0, 1, 1, 1, 1, 1, 0, 1}},  // a station starts at half size
      {MainTab::FaxNewOrleans, {0, 1, 1, 1, 1, 1, 0, 1}},
      {MainTab::Hilfe, {0, 0, 1, 0, 0, 0, 0, 0}},
  };
  const std::pair<QToolButton*, QAction*> commands[] = {
      {button("LoadToolButton"), action("OeffnenItem")},
      {button("SaveToolButton"), action("SpeichernItem")},
      {button("PrintToolButton"), action("DruckenItem")},
      {button("ExpandToolButton"), action("AufklappenItem")},
      {button("CollapseToolButton"), action("EinklappenItem")},
      {button("BaroZoomInToolButton"), action("ZoomInItem")},
      {button("BaroZoomOutToolButton"), action("ZoomOutItem")},
      {button("RotateToolButton"), action("RotierenItem")}};
  for (const auto& [page, row] : table) {
    tabs()->setCurrentIndex(page);
    for (std::size_t i = 0; i < 8; ++i) {
      EXPECT_EQ(commands[i].first->isEnabled(), row[i]) << "page " << page << " command " << i;
      EXPECT_EQ(commands[i].second->isEnabled(), row[i]) << "page " << page << " command " << i;
    }
  }
}

TEST_F(MainFormTest, NewBulletinsAreBoldUntilReadAndTheReadOneIsRed) {
  {
    std::lock_guard lock(store().mutex());
    MessageRecord& r = store().table(0).slot(0, 0);
    r.header = makeHeader(4, 9, "WODL45", {2026, 3, 5, 14, 20, 0, 0});
    r.data = Bytes{'S', 'T', 'U', 'R', 'M', '\r', '\r', '\n', '='};
    r.newFlag = 1;
    r.serial = store().nextSerial();
  }
  polled().DwdLoaded();
  QTreeWidget* tree = named<QTreeWidget>("DWDDeutschTreeView");
  ASSERT_EQ(tree->topLevelItemCount(), 1);
  QTreeWidgetItem* group = tree->topLevelItem(0)->child(0);
  QTreeWidgetItem* bulletin = group->child(0);
  EXPECT_EQ(bulletin->text(0), "05.03  14:20  DDH9 (11039.0 kHz)");
  EXPECT_TRUE(bulletin->font(0).bold());

  form().show();
  form().StartupTimerTimer();
  tabs()->setCurrentIndex(MainTab::WetterDeutsch);
  tree->expandAll();
  tree->setCurrentItem(bulletin);
  EXPECT_FALSE(bulletin->font(0).bold());
  EXPECT_EQ(named<QPlainTextEdit>("DWDDeutschMemo")->toPlainText(), "STURM\n=");
  EXPECT_EQ(store().table(0).slot(0, 0).newFlag, 0);
  auto* delegate = qobject_cast<TTreeDrawDelegate*>(tree->itemDelegate());
  ASSERT_NE(delegate, nullptr);
  EXPECT_TRUE(delegate->drawsRed(tree->indexFromItem(bulletin)));
  EXPECT_FALSE(delegate->drawsRed(tree->indexFromItem(group)));
}

TEST_F(MainFormTest, AnEmptyTreeSaysWhereTransmissionsAreChosen) {
  context_.simulate = false;
  context_.portPath = "/nonexistent/tty";  // a first start without a receiver
  form().show();
  form().StartupTimerTimer();
  tabs()->setCurrentIndex(MainTab::WetterDeutsch);
  QTreeWidget* tree = named<QTreeWidget>("DWDDeutschTreeView");
  auto* note = tree->viewport()->findChild<QLabel*>("EmptyTreeNote");
  ASSERT_NE(note, nullptr);
  QTest::qWait(50);
  EXPECT_TRUE(note->isVisible());
  EXPECT_TRUE(note->text().contains("„Konfiguration“"));
  {
    std::lock_guard lock(store().mutex());
    MessageRecord& r = store().table(0).slot(0, 0);
    r.header = makeHeader(4, 5, "WODL45", {2026, 3, 5, 14, 20, 0, 0});
    r.data = Bytes{'S', 'T', 'U', 'R', 'M'};
    r.serial = store().nextSerial();
  }
  polled().DwdLoaded();
  QTest::qWait(50);
  EXPECT_FALSE(note->isVisible());
}

TEST_F(MainFormTest, BarographPageAfterABarometerReadOut) {
  {
    PollingOwner::ExclusiveLink taken = takeLink();
    ASSERT_TRUE(ReadBarometer(taken.Link(), store(), clock_));
    ASSERT_TRUE(taken.Link().ReadBaroNow(true));
    polled().BaroLoaded(taken.Link().Pressure, taken.Link().Temperature);
  }
  EXPECT_GT(barograph()->Chart()->series()->count(), 1000);
  EXPECT_TRUE(named<QLabel>("ParameterLabel")->text().startsWith("Luftdruck: "));
  EXPECT_TRUE(named<QLabel>("ParameterLabel")->text().contains("Tendenz: "));
  tabs()->setCurrentIndex(MainTab::Barograph);
  button("BaroZoomInToolButton")->click();
  EXPECT_EQ(barograph()->Presenter().RangeDays(), 1);
  EXPECT_EQ(barograph()->Chart()->timeAxis()->titleText(), "Lokale Zeit (1 Tag)");
}

TEST_F(MainFormTest, NavtexPageExpandAndCollapseKeepTheRoots) {
  polled().NavtexLoaded({});
  QTreeWidget* tree = named<QTreeWidget>("NavtexTreeView");
  ASSERT_EQ(tree->topLevelItemCount(), 2);
  tabs()->setCurrentIndex(MainTab::Navtex);
  button("ExpandToolButton")->click();
  EXPECT_TRUE(tree->topLevelItem(0)->child(0)->isExpanded());
  button("CollapseToolButton")->click();
  EXPECT_TRUE(tree->topLevelItem(0)->isExpanded());
  EXPECT_TRUE(tree->topLevelItem(1)->isExpanded());
  EXPECT_FALSE(tree->topLevelItem(0)->child(0)->isExpanded());
}

}  // namespace
}  // namespace tern::testing
