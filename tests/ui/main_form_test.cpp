// The main window's structure: pages, tool bar, menus, status bar.
#include <QAction>
#include <QApplication>
#include <QChartView>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QScreen>
#include <QScrollBar>
#include <QTabWidget>
#include <QTextBrowser>
#include <QToolBar>
#include <QToolButton>
#include <QTreeWidget>
#include <QValueAxis>
#include <fstream>

#include "messages/message_store.h"
#include "ui/main_form_fixture.h"
#include "ui/status_bar.h"
#include "ui/wind_map_view.h"

namespace tern::testing {
namespace {

TEST_F(MainFormTest, WindowIsTernAt980x700) {
  EXPECT_EQ(form().windowTitle(), "TERN");
  EXPECT_EQ(form().size(), QSize(980, 700));
}

TEST_F(MainFormTest, TheWindowFitsSmallScreensAndIsCentred) {
  const QRect desktop = QGuiApplication::primaryScreen()->availableGeometry();
  EXPECT_TRUE(desktop.contains(form().frameGeometry())) << "centred on the test's desktop";
  EXPECT_NEAR(form().frameGeometry().center().x(), desktop.center().x(), 5);

  for (const QRect screen : {QRect(0, 0, 800, 480), QRect(0, 0, 800, 600), QRect(0, 0, 1024, 600),
                             QRect(1280, 24, 800, 576)}) {
    form().placeOn(screen);
    // Not shown yet, so the position is the frame's: with room for a window manager's title
    // bar and border, which the test platform lacks, the window lies inside the screen.
    const QRect outer(form().pos(), form().size() + QSize(8, 34));
    EXPECT_TRUE(screen.contains(outer))
        << outer.x() << "," << outer.y() << " " << outer.width() << "x" << outer.height();
    EXPECT_NEAR(outer.center().x(), screen.center().x(), 2);
    EXPECT_NEAR(outer.center().y(), screen.center().y(), 2);
    // The layout would grow a window smaller than its contents' minimum once shown.
    EXPECT_LE(form().minimumSizeHint().height() + 34, screen.height());
    EXPECT_LE(form().minimumSizeHint().width() + 8, screen.width());
  }
  // Shown, the real frame counts.
  form().show();
  QApplication::processEvents();
  form().placeOn(QRect(0, 0, 800, 480));
  EXPECT_TRUE(QRect(0, 0, 800, 480).contains(form().frameGeometry()));
  form().placeOn(QRect(0, 0, 1920, 1080));
  EXPECT_EQ(form().size(), QSize(980, 700)) << "a large screen keeps the usual size";
}

TEST_F(MainFormTest, PagesInTabOrderWithCaptionsAndNames) {
  const std::pair<const char*, const char*> pages[] = {
      {"WETTER DEUTSCH", "WetterDeutschTabSheet"},
      {"WETTER ENGLISCH", "WetterEnglischTabSheet"},
      {"NAVTEX", "NAVTEXTabSheet"},
      {"BAROGRAPH", "BarographTabSheet"},
      {"SYNOP", "SynopTabSheet"},
      {"SEEWETTER", "SeeWetterTabSheet"},
      {"FAX DWD", "FAXDWDTabSheet"},
      {"FAX Northwood", "FAXNorthTabSheet"},
      {"FAX Halifax", "FAXHalifaxTabSheet"},
      {"FAX Boston", "FAXBostonTabSheet"},
      {"FAX New Orleans", "FAXNewOrleansTabSheet"},
      {"HILFE", "HilfeTabSheet"}};
  QTabWidget* tabs = form().findChild<QTabWidget*>("PageControl1");
  ASSERT_NE(tabs, nullptr);
  ASSERT_EQ(tabs->count(), MainTab::TabCount);
  for (int i = 0; i < MainTab::TabCount; ++i) {
    EXPECT_EQ(tabs->tabText(i), QString::fromUtf8(pages[i].first)) << i;
    EXPECT_EQ(tabs->widget(i)->objectName(), pages[i].second) << i;
  }
  EXPECT_EQ(tabs->currentIndex(), MainTab::Barograph);
}

TEST_F(MainFormTest, PageContentsCarryTheirNamesAndColours) {
  const std::pair<const char*, QColor> trees[] = {
      {"DWDDeutschTreeView", QColor(223, 239, 255)},
      {"DWDEnglischDeutschTreeView", QColor(223, 239, 255)},
      {"NavtexTreeView", QColor(206, 247, 230)},
      {"FAXDWDTreeView", QColor(255, 239, 223)},
      {"FAXNorthTreeView", QColor(255, 239, 223)},
      {"FAXHalifaxTreeView", QColor(255, 239, 223)},
      {"FAXBostonTreeView", QColor(255, 239, 223)},
      {"FAXNewOrleansTreeView", QColor(255, 239, 223)}};
  for (const auto& [name, colour] : trees) {
    auto* tree = form().findChild<QTreeWidget*>(name);
    ASSERT_NE(tree, nullptr) << name;
    EXPECT_EQ(tree->palette().color(QPalette::Base), colour) << name;
  }
  for (const char* name : {"DWDDeutschMemo", "DWDEnglischMemo", "NavtexMemo"}) {
    auto* memo = form().findChild<QPlainTextEdit*>(name);
    ASSERT_NE(memo, nullptr) << name;
    EXPECT_TRUE(memo->isReadOnly());
    EXPECT_EQ(memo->font().pointSize(), 10);
    EXPECT_TRUE(QFontInfo(memo->font()).fixedPitch()) << name;
  }
  for (const char* prefix : {"FAXDWD", "FAXNorth", "FAXHalifax", "FAXBoston", "FAXNewOrleans"}) {
    QString p = QString::fromLatin1(prefix);
    EXPECT_NE(form().findChild<QWidget*>(p + "Panel"), nullptr) << prefix;
    EXPECT_NE(form().findChild<QLabel*>(p + "Image"), nullptr) << prefix;
    for (const char* bar : {"HoriScrollBar", "VertScrollBar"}) {
      auto* scroll = form().findChild<QScrollBar*>(p + bar);
      ASSERT_NE(scroll, nullptr) << prefix << bar;
      EXPECT_EQ(scroll->minimum(), 0);
      EXPECT_EQ(scroll->maximum(), 1000);
    }
  }
  auto* hor = form().findChild<QScrollBar*>("HorSynopScrollBar");
  auto* vert = form().findChild<QScrollBar*>("VertSynopScrollBar");
  ASSERT_TRUE(hor && vert);
  EXPECT_EQ(std::make_pair(hor->maximum(), hor->value()), std::make_pair(1835, 310));
  EXPECT_EQ(std::make_pair(vert->maximum(), vert->value()), std::make_pair(1537, 200));
  EXPECT_EQ(synopPage()->Map()->Image1->size(), QSize(1835, 1537));
  EXPECT_NE(form().findChild<QTextBrowser*>("WebBrowser1"), nullptr);
  EXPECT_EQ(barograph()->Chart()->pressureAxis()->titleText(), "Luftdruck [hPa]");
  EXPECT_EQ(barograph()->Chart()->pressureAxis()->min(), 900);
  EXPECT_EQ(barograph()->Chart()->pressureAxis()->max(), 1100);
}

TEST_F(MainFormTest, ToolBarButtonsInOrderWithHints) {
  const std::pair<const char*, const char*> buttons[] = {
      {"LoadToolButton", "Datei laden"},
      {"SaveToolButton", "Datei speichern"},
      {"PrintToolButton", "Datei drucken"},
      {"ExpandToolButton", "Menübaum ausklappen"},
      {"CollapseToolButton", "Menübaum einklappen"},
      {"BaroZoomInToolButton", "Zoom In"},
      {"BaroZoomOutToolButton", "Zoom Out"},
      {"RotateToolButton", "Bild rotieren"},
      {"ConfigToolButton", "Konfiguration"},
      {"HelpToolButton", "Bedienungsanleitung"},
      {"SystemToolButton", "Systeminformation"},
      {"ReceiveTestToolButton", "Empfangstest"}};
  QToolBar* bar = form().findChild<QToolBar*>("ToolBar1");
  ASSERT_NE(bar, nullptr);
  std::vector<QToolButton*> inOrder;
  for (QAction* action : bar->actions()) {
    if (auto* b = qobject_cast<QToolButton*>(bar->widgetForAction(action))) inOrder.push_back(b);
  }
  ASSERT_EQ(inOrder.size(), 12u);
  for (std::size_t i = 0; i < 12; ++i) {
    EXPECT_EQ(inOrder[i]->objectName(), buttons[i].first);
    EXPECT_EQ(inOrder[i]->toolTip(), QString::fromUtf8(buttons[i].second));
  }
  EXPECT_FALSE(button("ReceiveTestToolButton")->isEnabled());
  // ParameterLabel follows the buttons.
  EXPECT_EQ(bar->widgetForAction(bar->actions().last()), named<QLabel>("ParameterLabel"));
}

TEST_F(MainFormTest, MenusWithEntriesAndSeparators) {
  // "-" stands for a separator.
  const std::vector<std::pair<const char*, std::vector<const char*>>> menus = {
      {"&Datei", {"&Öffnen...", "&Speichern...", "&Drucken...", "-", "&Beenden"}},
      {"Einstellungen",
       {"Menübaum aufklappen", "Menübaum einklappen", "-", "Zoom In", "Zoom Out", "-",
        "Bild rotieren", "-", "Konfiguration...", "-", "Empfangstest..."}},
      {"&Hilfe", {"&Bedienungsanleitung", "&Systeminformation..."}}};
  QList<QAction*> top = form().menuBar()->actions();
  ASSERT_EQ(top.size(), 3);
  for (int m = 0; m < 3; ++m) {
    EXPECT_EQ(top[m]->text(), QString::fromUtf8(menus[m].first));
    QList<QAction*> entries = top[m]->menu()->actions();
    ASSERT_EQ(entries.size(), static_cast<int>(menus[m].second.size())) << menus[m].first;
    for (int i = 0; i < entries.size(); ++i) {
      QString expected = QString::fromUtf8(menus[m].second[i]);
      if (expected == "-") {
        EXPECT_TRUE(entries[i]->isSeparator()) << menus[m].first << " " << i;
      } else {
        EXPECT_EQ(entries[i]->text(), expected);
      }
    }
  }
  EXPECT_FALSE(action("EmpfangstestItem")->isEnabled());
}

TEST_F(MainFormTest, StatusBarPanelsAndBusyBarOverPanelOne) {
  const int widths[] = {200, 100, 210, 100, 100, 200};
  int left = 0;
  for (int i = 0; i < 6; ++i) {
    QRect r = statusBar()->panelRect(i);
    EXPECT_EQ(r.left(), left) << i;
    EXPECT_EQ(r.width(), widths[i]) << i;
    left += widths[i];
  }
  form().show();
  EXPECT_EQ(named<QProgressBar>("BusyProgressBar")->parentWidget(), statusBar());
  EXPECT_EQ(named<QProgressBar>("BusyProgressBar")->geometry(), statusBar()->panelRect(1));
  EXPECT_EQ(named<QProgressBar>("BusyProgressBar")->maximum(), 100);
  // Idle: neither the bar nor its empty panel stands in the status bar.
  EXPECT_FALSE(named<QProgressBar>("BusyProgressBar")->isVisible());
  EXPECT_FALSE(statusBar()->panel(1)->isVisible());
  thread()->Busy = true;
  form().UTCUpdateTimerTimer();
  EXPECT_TRUE(named<QProgressBar>("BusyProgressBar")->isVisible());
  thread()->Busy = false;
  form().UTCUpdateTimerTimer();
  EXPECT_FALSE(named<QProgressBar>("BusyProgressBar")->isVisible());
}

TEST_F(MainFormTest, DataFolderCreatedOnFirstStart) {
  context_.simulate = false;
  auto expected = root_ / "share" / "TERN";
  ASSERT_FALSE(std::filesystem::exists(expected));
  EXPECT_EQ(session().DataFolder(), expected.string() + "/");
  EXPECT_TRUE(std::filesystem::is_directory(expected));
}

TEST_F(MainFormTest, SimulatedReceiverKeepsItsMessagesApart) {
  EXPECT_EQ(session().DataFolder(), (root_ / "share" / "TERN-Simulation").string() + "/");
  EXPECT_FALSE(std::filesystem::exists(root_ / "share" / "TERN"));
}

TEST_F(MainFormTest, DataFolderOverrideAndProgramFolderFallback) {
  context_.dataFolderOverride = (root_ / "portable").string();
  EXPECT_EQ(session().DataFolder(), (root_ / "portable").string() + "/");
  EXPECT_TRUE(std::filesystem::is_directory(root_ / "portable"));
  form_.reset();
  // Without a user folder the program folder is the data folder: a scratch copy of the
  // program folder, so the test never writes data files beside the build's program.
  const std::filesystem::path program = root_ / "program";
  std::filesystem::create_directories(program);
  for (const auto& entry : std::filesystem::directory_iterator(TERN_BIN_DIR)) {
    if (entry.path().extension() == ".TRN") std::filesystem::copy(entry.path(), program);
  }
  context_.programFolder = program.string() + "/";
  context_.dataFolderOverride.reset();
  context_.userDataFolder.reset();
  EXPECT_EQ(session().DataFolder(), session().ProgramFolder());
  EXPECT_EQ(session().DataFolder(), program.string() + "/");
  form_.reset();  // writes the data files at shutdown
  EXPECT_TRUE(std::filesystem::exists(program / "baro_data.bin"));
  EXPECT_FALSE(std::filesystem::exists(std::filesystem::path(TERN_BIN_DIR) / "baro_data.bin"));
}

TEST_F(MainFormTest, StaleSettingsTemporariesAreRemovedAtStart) {
  const std::filesystem::path data = root_ / "data";
  std::filesystem::create_directories(data);
  // What a settings save cut between its temporary file and the rename leaves behind.
  { std::ofstream(data / "TERN_CONFIG.CFG.tmp-Ab12Cd") << "half"; }
  { std::ofstream(data / "notes.tmp-keep") << "not ours"; }
  context_.dataFolderOverride = data.string();
  form();
  EXPECT_FALSE(std::filesystem::exists(data / "TERN_CONFIG.CFG.tmp-Ab12Cd"));
  EXPECT_TRUE(std::filesystem::exists(data / "notes.tmp-keep"));
}

TEST_F(MainFormTest, ExpandAndCollapseActOnTheCurrentPagesTree) {
  {
    std::lock_guard lock(store().mutex());
    MessageRecord& r = store().table(2).slot(0, 0);
    r.header = makeHeader(0, 0, "ASXX40", {2026, 3, 5, 4, 30, 0, 0});
    r.serial = store().nextSerial();
  }
  polled().FaxLoaded();
  QTreeWidget* tree = faxPage(0)->Tree();
  ASSERT_EQ(tree->topLevelItemCount(), 1);
  QTreeWidgetItem* root = tree->topLevelItem(0);
  QTreeWidgetItem* group = root->child(0);
  EXPECT_EQ(root->text(0), "FAX DWD");
  tabs()->setCurrentIndex(MainTab::FaxDwd);
  currentPage().Expand();
  EXPECT_TRUE(root->isExpanded());
  EXPECT_TRUE(group->isExpanded());
  currentPage().Collapse();
  EXPECT_TRUE(root->isExpanded());  // the first node opens one level
  EXPECT_FALSE(group->isExpanded());

  // Pages without a tree: nothing happens, nothing breaks.
  for (int page : {MainTab::Barograph, MainTab::Synop, MainTab::Hilfe}) {
    tabs()->setCurrentIndex(page);
    currentPage().Expand();
    currentPage().Collapse();
  }
  // A station without recordings shows only its caption; collapsing does nothing further.
  tabs()->setCurrentIndex(MainTab::FaxBoston);
  currentPage().Collapse();
  ASSERT_EQ(faxPage(3)->Tree()->topLevelItemCount(), 1);
  EXPECT_EQ(faxPage(3)->Tree()->topLevelItem(0)->childCount(), 0);
}

TEST_F(MainFormTest, HelpButtonAndMenuEntrySelectTheHelpPage) {
  button("HelpToolButton")->click();
  EXPECT_EQ(tabs()->currentIndex(), MainTab::Hilfe);
  tabs()->setCurrentIndex(MainTab::Navtex);
  action("BedienungsanleitungItem")->trigger();
  EXPECT_EQ(tabs()->currentIndex(), MainTab::Hilfe);
}

TEST_F(MainFormTest, ActionsWithoutTheirFeatureDoNothing) {
  form().show();
  for (QToolButton* b : {button("BaroZoomInToolButton"), button("BaroZoomOutToolButton"),
                         button("RotateToolButton")}) {
    b->click();
  }
  EXPECT_TRUE(form().isVisible());
}

TEST_F(MainFormTest, BeendenClosesTheWindow) {
  form().show();
  action("BeendenItem")->trigger();
  EXPECT_FALSE(form().isVisible());
}

}  // namespace
}  // namespace tern::testing
