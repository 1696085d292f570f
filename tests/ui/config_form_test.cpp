// The configuration dialog on the real schedule files, offscreen.
#include "ui/config_form.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTabBar>
#include <QTabWidget>
#include <QTableWidget>
#include <QTest>
#include <QToolButton>
#include <QTreeWidget>
#include <fstream>

#include "config/tree_control.h"
#include "fakes/navtex_appended.h"
#include "fakes/recording_sink.h"
#include "main_form_fixture.h"
#include "messages/channels.h"
#include "messages/message_store.h"
#include "poll/get_data_thread.h"
#include "seaweather/my_sea_areas.h"
#include "seaweather/sea_areas.h"
#include "ui/fake_export_dialogs.h"
#include "ui/my_sea_areas_page.h"
#include "ui/navtex_filter_page.h"
#include "ui/pdf_pages.h"
#include "ui/screen_picture.h"
#include "ui/status_bar.h"
#include "ui/synop_msg_form.h"
#include "ui/window_placement.h"

namespace tern::testing {
namespace {

class ConfigFormTest : public MainFormTest {
 protected:
  void SetUp() override {
    MainFormTest::SetUp();
    context_.messages = &recorder;
    context_.dialogs = &dialogs;
  }
  TConfigForm& dialog() { return configForm(); }
  TTreeControl& model() { return settings(); }
  void open(int page = 0) {
    dialog().show();
    dialog().PageControl1->setCurrentIndex(page);
  }
  // A click on the state image of entry `entry` of schedule `schedule`'s tree.
  void clickImage(int schedule, int entry) {
    QTreeWidget* tree = dialog().TreeViews[static_cast<std::size_t>(schedule)];
    QTreeWidgetItem* item = itemOf(tree, entry);
    tree->scrollToItem(item);
    QTest::mouseClick(tree->viewport(), Qt::LeftButton, {},
                      dialog().stateImageRect(tree, item).center());
  }
  static QTreeWidgetItem* itemOf(QTreeWidget* tree, int entry) {
    int n = 0;
    for (QTreeWidgetItemIterator it(tree); *it; ++it, ++n)
      if (n == entry) return *it;
    return nullptr;
  }
  int firstTime(int schedule) {
    const auto& e = settings().Schedule(schedule).Entries;
    for (std::size_t i = 0; i < e.size(); ++i)
      if (e[i].isTime()) return static_cast<int>(i);
    return -1;
  }

  RecordingSink recorder;
  FakeExportDialogs dialogs;
};

TEST_F(ConfigFormTest, OpensOnTheFirstPageAndShowsTheButtonsOfEachPage) {
  open(3);
  dialog().hide();
  dialog().show();  // every showing starts on "Wetter deutsch"
  EXPECT_EQ(dialog().windowTitle(), "Sendeplan");
  EXPECT_EQ(dialog().PageControl1->currentIndex(), 0);
  EXPECT_EQ(dialog().PageControl1->tabText(0), "Wetter deutsch");
  QComboBox* offsets = dialog().EmpfangszeitpunktComboBox;
  ASSERT_EQ(offsets->count(), 61);
  EXPECT_EQ(offsets->currentText(), "unverändert lassen");
  EXPECT_EQ(offsets->itemText(0), "30 Min. vorziehen");
  EXPECT_EQ(offsets->itemText(60), "30 Min. später beginnen");
  EXPECT_EQ(dialog().DelayGroupBox->title(), "Wetter deutsch");
  EXPECT_EQ(model().Current(), 0);
  for (QPushButton* b : {dialog().SelectAllButton, dialog().DeselectAllButton,
                         dialog().ExpandButton, dialog().CollapseButton})
    EXPECT_TRUE(b->isVisible()) << b->objectName().toStdString();
  EXPECT_FALSE(dialog().PrintButton->isVisible());

  dialog().SelectAllButton->click();  // something for the summary to list
  dialog().PageControl1->setCurrentIndex(TConfigForm::kSummaryPage);
  EXPECT_TRUE(dialog().PrintButton->isVisible());
  EXPECT_FALSE(dialog().SelectAllButton->isVisible());
  EXPECT_FALSE(dialog().DelayGroupBox->isVisible());
  EXPECT_EQ(model().Current(), 0);  // the summary does not change the current schedule
  dialogs.pdfPath = QString::fromStdString((root_ / "summary.pdf").string());
  dialog().PrintButton->click();
  QString first;  // the summary's first line with text
  for (const QString& line : dialog().SummaryMemo->toPlainText().split('\n'))
    if (first.isEmpty()) first = line.trimmed();
  ASSERT_FALSE(first.isEmpty());
  // Its start as printed (a long line goes on in the next printed line).
  EXPECT_TRUE(pdfText(dialogs.pdfPath).simplified().contains(first.simplified().left(40)))
      << first.toStdString();
}

TEST_F(ConfigFormTest, StartOffsetMovesTheWholeScheduleAndCancelMovesItBack) {
  open(2);
  const int entry = firstTime(2);
  const int start = model().Schedule(2).Entries[static_cast<std::size_t>(entry)].StartMinute;
  const QString caption = itemOf(dialog().TreeViews[2], entry)->text(0);
  dialog().EmpfangszeitpunktComboBox->setCurrentIndex(25);
  EXPECT_EQ(dialog().EmpfangszeitpunktComboBox->currentText(), "5 Min. vorziehen");
  EXPECT_EQ(model().Schedule(2).StartOffset, -5);
  EXPECT_EQ(model().Schedule(2).Entries[static_cast<std::size_t>(entry)].StartMinute,
            (start + 1440 - 5) % 1440);
  EXPECT_NE(itemOf(dialog().TreeViews[2], entry)->text(0), caption);
  EXPECT_EQ(model().Schedule(0).StartOffset, 0);

  dialog().CancelButton->click();
  EXPECT_FALSE(dialog().isVisible());
  EXPECT_EQ(model().Schedule(2).StartOffset, 0);
  EXPECT_EQ(itemOf(dialog().TreeViews[2], entry)->text(0), caption);
}

// A wheel turned over a setting of the dialog changes it only while the setting has the
// keyboard focus: scrolling the page over the schedule's start shift must not move it.
TEST_F(ConfigFormTest, AWheelOverAnUnfocusedSettingChangesNothing) {
  open(2);
  QComboBox* shift = dialog().EmpfangszeitpunktComboBox;
  QSpinBox* height = dialog().BaroHeightSpinEdit;
  auto turn = [](QWidget* widget) {
    const QPointF at(widget->width() / 2.0, widget->height() / 2.0);
    QWheelEvent wheel(at, widget->mapToGlobal(at), QPoint(), QPoint(0, -120), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(widget, &wheel);
  };
  const int shiftBefore = shift->currentIndex();
  const int heightBefore = height->value();
  dialog().activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog()));
  dialog().SaveButton->setFocus();
  for (QWidget* setting : std::initializer_list<QWidget*>{shift, height}) {
    EXPECT_NE(setting->focusPolicy(), Qt::WheelFocus) << setting->objectName().toStdString();
    turn(setting);
  }
  EXPECT_EQ(shift->currentIndex(), shiftBefore);
  EXPECT_EQ(model().Schedule(2).StartOffset, 0);
  EXPECT_EQ(height->value(), heightBefore);
  // Focused, the wheel is the setting's again.
  shift->setFocus();
  turn(shift);
  EXPECT_NE(shift->currentIndex(), shiftBefore);
  dialog().CancelButton->click();
}

TEST_F(ConfigFormTest, HalifaxOffersFiveFrequenciesAndTheMenuSetsOne) {
  open(4);
  const auto actions = dialog().SelectStationPopupMenu->actions();
  ASSERT_EQ(actions.size(), 5);
  EXPECT_EQ(actions[0]->text(), "  Frequenz:        AUTO");
  EXPECT_EQ(actions[1]->text(), "  Frequenz:  4271000 Hz");
  QTreeWidget* tree = dialog().TreeViews[4];
  const int entry = firstTime(4);
  tree->setCurrentItem(itemOf(tree, entry));
  actions[2]->trigger();
  EXPECT_EQ(model().Schedule(4).Entries[static_cast<std::size_t>(entry)].FreqCode, 22);
  EXPECT_TRUE(itemOf(tree, entry)->text(0).endsWith(" 6496400 Hz"));
}

TEST_F(ConfigFormTest, AClickOnTheImageTogglesAndABlockedEntryNamesItsHolder) {
  open(0);
  const int german = firstTime(0);
  clickImage(0, german);
  const TTreeNodeData& g = model().Schedule(0).Entries[static_cast<std::size_t>(german)];
  ASSERT_EQ(g.Kind, NodeKind::Selected);
  // The first fax entry that wants some of those minutes.
  dialog().PageControl1->setCurrentIndex(2);
  int wanted = -1;
  const auto& fax = model().Schedule(2).Entries;
  for (std::size_t i = 0; i < fax.size() && wanted < 0; ++i)
    if (fax[i].Kind == NodeKind::Blocked) wanted = static_cast<int>(i);
  if (wanted < 0) {
    // No fax entry overlaps it: move the fax schedule until one does.
    for (int offset = -30; offset <= 30 && wanted < 0; ++offset) {
      dialog().EmpfangszeitpunktComboBox->setCurrentIndex(offset + 30);
      for (std::size_t i = 0; i < fax.size() && wanted < 0; ++i)
        if (fax[i].Kind == NodeKind::Blocked) wanted = static_cast<int>(i);
    }
  }
  ASSERT_GE(wanted, 0);
  EXPECT_EQ(itemOf(dialog().TreeViews[2], wanted)->foreground(0).color(), QColor(192, 192, 192));
  recorder.texts.clear();
  clickImage(2, wanted);
  EXPECT_EQ(fax[static_cast<std::size_t>(wanted)].Kind, NodeKind::Blocked);
  ASSERT_EQ(recorder.texts.size(), 1u);
  EXPECT_EQ(recorder.texts[0].rfind("Empfangszeit bereits belegt durch: RTTY DWD DEUTSCH ", 0), 0u)
      << recorder.texts[0];

  // The space bar toggles the selected node as the click does.
  dialog().PageControl1->setCurrentIndex(0);
  dialog().TreeViews[0]->setCurrentItem(itemOf(dialog().TreeViews[0], german));
  QTest::keyClick(dialog().TreeViews[0], Qt::Key_Space);
  EXPECT_EQ(g.Kind, NodeKind::Free);
}

TEST_F(ConfigFormTest, SaveWritesTheFileReachesThePollingThreadAndExports) {
  const std::string exportFolder = (root_ / "export").string();
  std::filesystem::create_directories(exportFolder);
  open(0);
  dialog().SelectAllButton->click();
  dialog().Navtex518RadioButton->setChecked(true);
  dialog().BaroHeightSpinEdit->setValue(120);
  dialogs.folderAnswer = QString::fromStdString(exportFolder);
  dialog().ExportCheckBox->setChecked(true);
  dialog().ExportPathButton->click();
  EXPECT_EQ(dialog().ExportPathEdit->text().toStdString(), exportFolder);
  TGetDataThread& polling = *thread();
  polling.SetClockRequest = false;
  polling.SendSettingsRequest = false;
  polling.FullBaroRequest = false;

  dialog().SaveButton->click();
  EXPECT_FALSE(dialog().isVisible());
  // The files are written beside the window; the waypoints come last.
  ASSERT_TRUE(QTest::qWaitFor(
      [&] { return std::filesystem::exists(exportFolder + "/SYNOP/synop.gpx"); }, 20000));
  EXPECT_TRUE(std::filesystem::exists(model().SettingsPath()));
  const SchedulePayload& block = model().Payload();
  EXPECT_EQ(polling.ScheduleBlock(), Bytes(block.begin(), block.end()));
  EXPECT_NE(block[3], 255);  // the selection went into the block
  EXPECT_EQ(block[2000], kOptionNavtex518);
  EXPECT_TRUE(polling.SetClockRequest && polling.SendSettingsRequest && polling.FullBaroRequest);
  EXPECT_TRUE(polling.AutoExport);
  for (const char* sub : {"DWD_DEUTSCH", "DWD_ENGLISH", "INTERNAT", "NATIONAL", "BARO", "FAX"})
    EXPECT_TRUE(std::filesystem::is_directory(exportFolder + "/" + sub)) << sub;
  EXPECT_TRUE(std::filesystem::exists(exportFolder + "/BARO/Barographdaten.bmp"));

  // A folder that is not one is not taken.
  dialog().show();
  dialogs.folderAnswer = QStringLiteral("/nonexistent/x");
  dialog().ExportPathButton->click();
  EXPECT_EQ(dialog().ExportPathEdit->text().toStdString(), exportFolder);
}

TEST_F(ConfigFormTest, EscTakesBackEverythingNotSavedAndTheExportSwitchFollows) {
  open(0);
  dialog().SelectAllButton->click();
  dialog().ExportCheckBox->setChecked(true);
  TGetDataThread& polling = *thread();
  EXPECT_TRUE(polling.AutoExport);
  polling.DataChanged = false;
  QTest::keyClick(&dialog(), Qt::Key_Escape);
  EXPECT_FALSE(dialog().isVisible());
  for (const TTreeNodeData& e : model().Schedule(0).Entries) EXPECT_NE(e.Kind, NodeKind::Selected);
  EXPECT_FALSE(model().ExportOn());
  EXPECT_FALSE(dialog().ExportCheckBox->isChecked());
  EXPECT_FALSE(polling.AutoExport);
  EXPECT_FALSE(polling.DataChanged);
  EXPECT_FALSE(std::filesystem::exists(model().SettingsPath()));

  // The window manager's close goes the same way.
  open(0);
  dialog().SelectAllButton->click();
  dialog().close();
  EXPECT_FALSE(dialog().isVisible());
  for (const TTreeNodeData& e : model().Schedule(0).Entries) EXPECT_NE(e.Kind, NodeKind::Selected);
}

}  // namespace
}  // namespace tern::testing

namespace tern::testing {
namespace {

// The dialog draws itself; with TERN_SCREENSHOT_DIR set, its pictures for the README are
// saved there (a schedule page with a selection and the summary).
TEST_F(ConfigFormTest, DrawsASchedulePageAndTheSummary) {
  dialog().show();
  dialog().Navtex518RadioButton->setChecked(true);
  dialog().PageControl1->setCurrentIndex(2);
  for (int entry : {3, 4, 6, 9, 12}) clickImage(2, entry);
  dialog().PageControl1->setCurrentIndex(0);
  dialog().SelectAllButton->click();
  dialog().TreeViews[0]->scrollToTop();
  const QImage page = dialog().grab().toImage();
  dialog().PageControl1->setCurrentIndex(TConfigForm::kSummaryPage);
  const QImage summary = dialog().grab().toImage();
  EXPECT_EQ(page.size(), QSize(1000, 596));
  EXPECT_NE(page, summary);
  const QByteArray dir = qgetenv("TERN_SCREENSHOT_DIR");
  if (!dir.isEmpty()) {
    EXPECT_TRUE(page.save(QString::fromUtf8(dir) + "/config-schedule.png"));
    EXPECT_TRUE(summary.save(QString::fromUtf8(dir) + "/config-summary.png"));
  }
}

}  // namespace
}  // namespace tern::testing

namespace tern::testing {
namespace {

TEST_F(ConfigFormTest, AnExportThatCouldNotWriteEverythingIsShownUntilOneSucceeds) {
  const std::string exportFolder = (root_ / "export").string();
  std::filesystem::create_directories(exportFolder);
  std::ofstream(exportFolder + "/FAX") << "a file where the subfolder belongs";
  ASSERT_TRUE(model().SetExportPath(exportFolder));
  // Saved with the export on: written on the session's export thread, told here.
  model().SetExportOn(true);
  model().Save();
  ASSERT_TRUE(
      QTest::qWaitFor([&] { return statusBar()->panelText(3) == "Export fehlerhaft!"; }, 20000));
  EXPECT_TRUE(statusBar()->panel(3)->toolTip().contains("FAX"));
  display().ShowDisconnected();
  EXPECT_EQ(statusBar()->panelText(3), "Export fehlerhaft!");
  EXPECT_TRUE(recorder.texts.empty());  // no message box

  std::filesystem::remove(exportFolder + "/FAX");
  display().ExportFinished(display().ExportStep()());
  EXPECT_EQ(statusBar()->panelText(3), "");
  EXPECT_TRUE(std::filesystem::exists(exportFolder + "/BARO/Barographdaten.bmp"));
}

TEST_F(ConfigFormTest, SwitchingTheExportOnWithoutAFolderAsksForOneInsteadOfFailing) {
  open(0);
  dialog().ExportCheckBox->setChecked(true);
  EXPECT_TRUE(thread()->AutoExport);
  EXPECT_EQ(statusBar()->panelText(3), "Bitte Zielpfad einstellen.");
  // The export run the switch asked for does nothing.
  EXPECT_FALSE(display().ExportStep());
  EXPECT_EQ(statusBar()->panelText(3), "Bitte Zielpfad einstellen.");
  dialog().SaveButton->click();  // saving with the export on runs it too
  EXPECT_EQ(statusBar()->panelText(3), "Bitte Zielpfad einstellen.");

  // The chooser starts in the user's own folder; switching off takes the request back.
  open(0);
  dialog().ExportPathButton->click();
  EXPECT_EQ(dialogs.folderStart, QDir::homePath());
  dialog().ExportCheckBox->setChecked(false);
  EXPECT_EQ(statusBar()->panelText(3), "");
}

TEST_F(ConfigFormTest, TheBarometerHeightTypedTooHighIsStoredAsItsBound) {
  open(0);
  QSpinBox* field = dialog().BaroHeightSpinEdit;
  field->selectAll();
  QTest::keyClicks(field, "900");
  QFocusEvent left(QEvent::FocusOut, Qt::TabFocusReason);
  QApplication::sendEvent(field, &left);
  EXPECT_EQ(field->text(), "750");
  EXPECT_EQ(model().BaroHeight(), 750);  // not the 90 of a field that refused the last key
}

// The configuration dialog and the SYNOP message window on screens from a boat's panel to a
// desktop: at their usual size where it fits, shrunk into the screen otherwise, every button
// in sight; the configuration's tabs all shown at its usual size.
TEST_F(ConfigFormTest, DialogsFitEveryScreenWithEveryButtonInSight) {
  TSynopMsgForm synop(recorder);
  synop.SetReport(std::vector<std::string>(80, "  HELGOLAND SUEDWEST 5 18 KM"), "SXEN40");
  struct Window {
    QDialog* dialog;
    QSize usual;
  };
  const Window windows[] = {{&dialog(), QSize(TConfigForm::kWidth, TConfigForm::kHeight)},
                            {&synop, QSize(TSynopMsgForm::kWidth, TSynopMsgForm::kHeight)}};
  for (const QSize screen : {QSize(800, 480), QSize(1024, 600), QSize(1920, 1080)}) {
    for (const Window& w : windows) {
      const std::string name =
          w.dialog->objectName().toStdString() + " on " + std::to_string(screen.width());
      placeWindow(*w.dialog, QRect(QPoint(0, 0), screen), w.usual);
      w.dialog->show();
      const QRect inside = w.dialog->rect();
      EXPECT_LE(w.dialog->height(), screen.height()) << name;
      EXPECT_LE(w.dialog->width(), screen.width()) << name;
      if (screen.height() >= 1080) {
        EXPECT_EQ(w.dialog->size(), w.usual) << name;
      }
      for (QPushButton* b : w.dialog->findChildren<QPushButton*>()) {
        if (!b->isVisible() || b->parentWidget()->objectName() != "Panel1") continue;
        const QRect at(b->mapTo(w.dialog, QPoint(0, 0)), b->size());
        EXPECT_TRUE(inside.contains(at)) << name << " " << b->objectName().toStdString();
      }
      w.dialog->hide();
    }
  }
  // At its usual size no tab hides behind the tab bar's arrows.
  placeWindow(dialog(), QRect(0, 0, 1920, 1080), {TConfigForm::kWidth, TConfigForm::kHeight});
  dialog().show();
  for (QToolButton* arrow : dialog().PageControl1->tabBar()->findChildren<QToolButton*>())
    EXPECT_FALSE(arrow->isVisible());
}

// On an 800 x 480 panel every subject's name of the NAVTEX filter is readable whole, and so
// is every column's caption.
TEST_F(ConfigFormTest, TheNavtexFilterShowsEverySubjectWholeOnASmallScreen) {
  const QRect screen(0, 0, 800, 480);
  placeWindow(dialog(), screen, {TConfigForm::kWidth, TConfigForm::kHeight});
  open(TConfigForm::kNavtexFilterPage);
  QApplication::processEvents();
  QTableWidget* table = dialog().NavtexFilterTabSheet->Table(kNavtex518);
  const QFontMetrics metrics(table->font());
  int longest = 0;
  for (int row = 0; row < table->rowCount(); ++row)
    longest = std::max(
        longest,
        metrics.horizontalAdvance(table->item(row, NavtexFilterPage::kSubjectNameColumn)->text()));
  QHeaderView* header = table->horizontalHeader();
  EXPECT_GE(header->sectionSize(NavtexFilterPage::kSubjectNameColumn), longest);
  for (int column = 0; column < table->columnCount(); ++column) {
    for (const QString& line : table->horizontalHeaderItem(column)->text().split('\n'))
      EXPECT_GE(header->sectionSize(column), header->fontMetrics().horizontalAdvance(line))
          << line.toStdString();
  }
  EXPECT_EQ(header->sectionViewportPosition(table->columnCount() - 1) +
                header->sectionSize(table->columnCount() - 1),
            table->viewport()->width())
      << "no column beyond the table's right edge";
  saveScreenPicture(dialog(), screen, "navtex-filter-800x480");
}

TEST_F(ConfigFormTest, TheNavtexFilterPageHidesAStationButNeverItsMessages) {
  auto add = [&](const std::string& key) {
    return appendNavtex(store(), kNavtex518, key, "ZCZC " + key + "\r\nTEXT\r\nNNNN",
                        clock_.utcNow());
  };
  std::vector<NavtexAppended> appended;
  for (const char* key : {"PE03", "SA01", "SE02"}) appended.push_back(add(key));
  polled().NavtexLoaded(appended);
  auto shownKeys = [&] {
    std::string keys;
    for (QTreeWidgetItemIterator it(named<QTreeWidget>("NavtexTreeView")); *it; ++it)
      if ((*it)->parent() != nullptr && (*it)->parent()->parent() != nullptr)  // a message
        keys += (*it)->text(0).left(4).toStdString() + " ";
    return keys;
  };
  EXPECT_EQ(shownKeys(), "SA01 PE03 SE02 ");  // by subject

  open(TConfigForm::kNavtexFilterPage);
  EXPECT_EQ(dialog().PageControl1->tabText(TConfigForm::kNavtexFilterPage), "NAVTEX-Filter");
  for (QWidget* w : std::initializer_list<QWidget*>{dialog().SelectAllButton, dialog().PrintButton,
                                                    dialog().DelayGroupBox})
    EXPECT_FALSE(w->isVisible()) << w->objectName().toStdString();
  QTableWidget* table = dialog().NavtexFilterTabSheet->Table(kNavtex518);
  for (char subject : {'A', 'B', 'D', 'L'}) {  // cannot be hidden or silenced
    for (int column : {3, 4}) {
      const QTableWidgetItem* box = table->item(subject - 'A', column);
      EXPECT_EQ(box->checkState(), Qt::Checked) << subject;
      EXPECT_FALSE(box->flags() & Qt::ItemIsEnabled) << subject;
    }
  }
  QTableWidgetItem* stationS = table->item('S' - 'A', 0);
  stationS->setCheckState(Qt::Unchecked);
  dialog().CancelButtonClick();  // taken back
  open(TConfigForm::kNavtexFilterPage);
  EXPECT_EQ(stationS->checkState(), Qt::Checked);

  tabs()->setCurrentIndex(MainTab::Navtex);
  stationS->setCheckState(Qt::Unchecked);
  dialog().SaveButton->click();
  const NavtexFilter& inUse = session().Alerts().Filter();
  EXPECT_EQ(LoadNavtexFilter(session().DataFolder()).filter, inUse);
  EXPECT_FALSE(inUse.Shown(kNavtex518, "SA01"));
  EXPECT_EQ(shownKeys(), "PE03 ");
  EXPECT_EQ(statusBar()->panelText(2), "2 NAVTEX-Meldungen ausgeblendet (Filter)");
  {
    std::lock_guard lock(store().mutex());
    EXPECT_EQ(store().navtex(kNavtex518).records().size(), 3u);  // kept for files, export
  }
  const QString before = alerts()->shownAlert();  // SA01's, from before the filter
  // A hidden station's warning does not alert.
  polled().NavtexLoaded({add("SB04")});
  EXPECT_EQ(alerts()->shownAlert(), before);
  EXPECT_EQ(statusBar()->panelText(2), "3 NAVTEX-Meldungen ausgeblendet (Filter)");
}

// "Meine Seegebiete": every area in the report's order; "Abbrechen" takes a change back,
// "Speichern" writes seegebiete.txt, and a file with a line that could not be read is
// written anew even when the choice stays. With TERN_SCREENSHOT_DIR set, the page's picture
// is saved there.
TEST_F(ConfigFormTest, MySeaAreasPageSavesTheTickedAreasWithTheDialog) {
  const std::string folder = session().DataFolder();
  { std::ofstream(folder + "seegebiete.txt") << "areas=kattegat,nirgendwo\n"; }
  open(TConfigForm::kMySeaAreasPage);
  // Without "Meine " while the tab bar cannot show every tab with it.
  EXPECT_TRUE(dialog().PageControl1->tabText(TConfigForm::kMySeaAreasPage).endsWith("Seegebiete"));
  const std::vector<QCheckBox*>& boxes = dialog().MySeaAreasTabSheet->Boxes();
  ASSERT_EQ(boxes.size(), seaweather::seaAreas().size());
  EXPECT_EQ(boxes[0]->text(), "Deutsche Bucht");
  EXPECT_EQ(boxes[21]->text(), "Ålandsee und Schärengebiet");
  auto box = [&](const char* id) {
    return dialog().MySeaAreasTabSheet->findChild<QCheckBox*>(QStringLiteral("SeaArea_") + id);
  };
  ASSERT_NE(box("westliche-ostsee"), nullptr);
  EXPECT_TRUE(box("kattegat")->isChecked());
  box("westliche-ostsee")->setChecked(true);
  dialog().CancelButtonClick();
  open(TConfigForm::kMySeaAreasPage);
  EXPECT_FALSE(box("westliche-ostsee")->isChecked());

  dialog().SaveButton->click();  // the choice as it was: only the unreadable id goes
  seaweather::MySeaAreasFile saved = seaweather::LoadMySeaAreas(folder);
  EXPECT_EQ(saved.problem, "");
  EXPECT_EQ(saved.areas.ids, std::vector<std::string>{"kattegat"});
  open(TConfigForm::kMySeaAreasPage);
  box("westliche-ostsee")->setChecked(true);
  box("deutsche-bucht")->setChecked(true);
  dialog().SaveButton->click();
  saved = seaweather::LoadMySeaAreas(folder);
  EXPECT_EQ(saved.areas.ids,
            (std::vector<std::string>{"deutsche-bucht", "kattegat", "westliche-ostsee"}));
  open(TConfigForm::kMySeaAreasPage);
  if (const QByteArray dir = qgetenv("TERN_SCREENSHOT_DIR"); !dir.isEmpty()) {
    EXPECT_TRUE(dialog().grab().save(QString::fromUtf8(dir) + "/config-sea-areas.png"));
  }
}

}  // namespace
}  // namespace tern::testing
