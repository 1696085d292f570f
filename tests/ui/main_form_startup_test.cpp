// Start-up picture, help page, the UTC clock with its busy bar, and what a first start says.
#include <QLabel>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QTabWidget>
#include <QTextBrowser>
#include <QTimer>
#include <QToolBar>
#include <QTreeWidget>

#include "config/tree_control.h"
#include "readout/readouts.h"
#include "ui/barograph_page.h"
#include "ui/config_form.h"
#include "ui/empty_tree_note.h"
#include "ui/main_form_fixture.h"
#include "ui/polling_display.h"
#include "ui/screen_picture.h"
#include "ui/status_bar.h"
#include "ui/utc_clock_text.h"
#include "ui/window_placement.h"

namespace tern::testing {
namespace {

TEST_F(MainFormTest, StartupPictureCoversThePagesUntilItsTimerFires) {
  form().show();
  EXPECT_TRUE(named<QLabel>("StartupImageDeutsch")->isVisible());
  EXPECT_FALSE(named<QLabel>("StartupImageEnglisch")->isVisible());
  EXPECT_FALSE(named<QLabel>("StartupImageFrench")->isVisible());
  EXPECT_FALSE(tabs()->isVisible());
  EXPECT_TRUE(named<QToolBar>("ToolBar1")->isVisible());
  EXPECT_TRUE(statusBar()->isVisible());
  EXPECT_TRUE(named<QTimer>("StartupTimer")->isActive());
  EXPECT_EQ(named<QTimer>("StartupTimer")->interval(), 3000);
  EXPECT_TRUE(named<QTimer>("UTCUpdateTimer")->isActive());
  EXPECT_EQ(named<QTimer>("UTCUpdateTimer")->interval(), 1000);

  form().StartupTimerTimer();
  EXPECT_FALSE(named<QTimer>("StartupTimer")->isActive());
  EXPECT_FALSE(named<QLabel>("StartupImageDeutsch")->isVisible());
  EXPECT_TRUE(tabs()->isVisible());
  EXPECT_EQ(tabs()->currentIndex(), MainTab::Barograph);
  tabs()->setCurrentIndex(MainTab::WetterDeutsch);
  EXPECT_TRUE(named<QTreeWidget>("DWDDeutschTreeView")->isVisible());
  EXPECT_TRUE(named<QPlainTextEdit>("DWDDeutschMemo")->isVisible());
}

TEST_F(MainFormTest, StartupPictureIsTheShippedArtwork) {
  EXPECT_FALSE(named<QLabel>("StartupImageDeutsch")->pixmap().isNull());
}

TEST_F(MainFormTest, HelpPageLoadsTheManualFromTheProgramFolderWhenFirstShown) {
  form().show();
  EXPECT_TRUE(named<QTextBrowser>("WebBrowser1")->source().isEmpty());
  tabs()->setCurrentIndex(MainTab::Hilfe);
  QUrl source = named<QTextBrowser>("WebBrowser1")->source();
  EXPECT_TRUE(source.toLocalFile().endsWith("/Hilfe/Bedienung.htm"))
      << source.toString().toStdString();
  EXPECT_TRUE(named<QTextBrowser>("WebBrowser1")->toPlainText().contains("Bedienung"));
}

TEST_F(MainFormTest, UtcClockShowsUtcOnceASecond) {
  form().show();
  const QString first = statusBar()->panelText(4);
  EXPECT_EQ(first, utcClockText({2026, 12, 8, 18, 5, 9, 0}, QLocale::system()));
  EXPECT_TRUE(first.startsWith(" "));
  EXPECT_TRUE(first.endsWith(" UTC"));
  EXPECT_TRUE(first.contains("18")) << first.toStdString();  // UTC hour, not local (19)
  clock_.advance(std::chrono::seconds(1));
  form().UTCUpdateTimerTimer();
  EXPECT_NE(statusBar()->panelText(4), first);
}

TEST_F(MainFormTest, BusyBarStepsByTenWrapsAtHundredAndRestsWhenIdle) {
  std::atomic<bool>& busy = thread()->Busy;  // the polling thread's flag, not started here
  busy = true;
  form().show();
  QProgressBar* bar = named<QProgressBar>("BusyProgressBar");
  bar->setValue(0);
  std::vector<int> seen;
  for (int i = 0; i < 11; ++i) {
    form().UTCUpdateTimerTimer();
    seen.push_back(bar->value());
  }
  EXPECT_EQ(seen, (std::vector<int>{10, 20, 30, 40, 50, 60, 70, 80, 90, 0, 10}));
  busy = false;
  form().UTCUpdateTimerTimer();
  EXPECT_EQ(bar->value(), 0);
}

// A first start, without a receiver and with nothing chosen to record: the empty barograph
// says why it is empty and what to check, the status bar and the configuration's summary say
// that nothing is recorded, until something is chosen and saved. A receiver that cannot be
// opened is told first.
TEST_F(MainFormTest, AFirstStartSaysWhatToDo) {
  context_.simulate = false;  // the simulated receiver records its demonstration anyway
  form().placeOn(QRect(0, 0, 800, 480));
  form().show();
  form().StartupTimerTimer();
  auto* barograph = named<BarographPage>("BarographTabSheet");
  TStatusBar* status = form().findChild<TStatusBar*>();
  const QString hint = QString::fromUtf8(kNothingChosenHint);

  display().ShowDisconnected();
  QApplication::processEvents();
  EXPECT_TRUE(barograph->EmptyNote()->isVisible());
  EXPECT_TRUE(barograph->EmptyNote()->text().startsWith("Kein Empfänger angeschlossen."));
  EXPECT_EQ(status->notice(), hint);
  saveScreenPicture(form(), QRect(0, 0, 800, 480), "first-start-800x480");

  display().ShowAccessProblem("Kein Zugriff: udev-Regel fehlt.");
  EXPECT_EQ(status->notice(), "Kein Zugriff: udev-Regel fehlt.");
  display().ShowConnected();
  EXPECT_EQ(status->notice(), hint);
  EXPECT_TRUE(barograph->EmptyNote()->text().startsWith("Noch keine Luftdruckwerte"));

  TConfigForm& config = configForm();
  config.show();
  config.PageControl1->setCurrentIndex(TConfigForm::kSummaryPage);
  EXPECT_TRUE(config.SummaryMemo->toPlainText().isEmpty());
  EXPECT_EQ(config.SummaryMemo->placeholderText(), hint);
  for (const QRect screen : {QRect(0, 0, 800, 480), QRect(0, 0, 1920, 1080)}) {
    placeWindow(config, screen, {TConfigForm::kWidth, TConfigForm::kHeight});
    saveScreenPicture(config, screen,
                      screen.width() == 800 ? "empty-summary-800x480" : "empty-summary-1920x1080");
  }
  settings().ChooseNavtex(NavtexChoice::Navtex518);
  emit config.saved();
  EXPECT_EQ(status->notice(), "");
  config.hide();
}

TEST_F(MainFormTest, TheBarographsNoteGoesWithItsFirstValues) {
  form().show();
  display().ShowConnected();
  auto* barograph = named<BarographPage>("BarographTabSheet");
  EXPECT_FALSE(barograph->EmptyNote()->isHidden());
  ASSERT_TRUE(ReadBarometer(takeLink().Link(), store(), clock_));
  display().BaroLoaded(10135, 215);
  EXPECT_TRUE(barograph->EmptyNote()->isHidden());
}

}  // namespace
}  // namespace tern::testing
