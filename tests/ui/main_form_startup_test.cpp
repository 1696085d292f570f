// Start-up picture, help page and the UTC clock with its busy bar.
#include <QLabel>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QTabWidget>
#include <QTextBrowser>
#include <QTimer>
#include <QToolBar>
#include <QTreeWidget>

#include "ui/main_form_fixture.h"
#include "ui/status_bar.h"
#include "ui/utc_clock_text.h"

namespace tern::testing {
namespace {

TEST_F(MainFormTest, StartupPictureCoversThePagesUntilItsTimerFires) {
  form().show();
  EXPECT_TRUE(form().StartupImageDeutsch->isVisible());
  EXPECT_FALSE(form().StartupImageEnglisch->isVisible());
  EXPECT_FALSE(form().StartupImageFrench->isVisible());
  EXPECT_FALSE(form().PageControl1->isVisible());
  EXPECT_TRUE(form().ToolBar1->isVisible());
  EXPECT_TRUE(form().StatusBar1->isVisible());
  EXPECT_TRUE(form().StartupTimer->isActive());
  EXPECT_EQ(form().StartupTimer->interval(), 3000);
  EXPECT_TRUE(form().UTCUpdateTimer->isActive());
  EXPECT_EQ(form().UTCUpdateTimer->interval(), 1000);

  form().StartupTimerTimer();
  EXPECT_FALSE(form().StartupTimer->isActive());
  EXPECT_FALSE(form().StartupImageDeutsch->isVisible());
  EXPECT_TRUE(form().PageControl1->isVisible());
  EXPECT_EQ(form().PageControl1->currentIndex(), TMainForm::Barograph);
  form().PageControl1->setCurrentIndex(TMainForm::WetterDeutsch);
  EXPECT_TRUE(form().DWDDeutschTreeView->isVisible());
  EXPECT_TRUE(form().DWDDeutschMemo->isVisible());
}

TEST_F(MainFormTest, StartupPictureIsTheShippedArtwork) {
  EXPECT_FALSE(form().StartupImageDeutsch->pixmap().isNull());
}

TEST_F(MainFormTest, HelpPageLoadsTheManualFromTheProgramFolder) {
  form().show();
  QUrl source = form().WebBrowser1->source();
  EXPECT_TRUE(source.toLocalFile().endsWith("/Hilfe/Bedienung.htm"))
      << source.toString().toStdString();
  EXPECT_TRUE(form().WebBrowser1->toPlainText().contains("Bedienung"));
}

TEST_F(MainFormTest, UtcClockShowsUtcOnceASecond) {
  form().show();
  const QString first = form().StatusBar1->panelText(4);
  EXPECT_EQ(first, utcClockText({2026, 12, 8, 18, 5, 9, 0}, QLocale::system()));
  EXPECT_TRUE(first.startsWith(" "));
  EXPECT_TRUE(first.endsWith(" UTC"));
  EXPECT_TRUE(first.contains("18")) << first.toStdString();  // UTC hour, not local (19)
  clock_.advance(std::chrono::seconds(1));
  form().UTCUpdateTimerTimer();
  EXPECT_NE(form().StatusBar1->panelText(4), first);
}

TEST_F(MainFormTest, BusyBarStepsByTenWrapsAtHundredAndRestsWhenIdle) {
  std::atomic<bool> busy{true};
  form().setBusyFlag(&busy);
  form().show();
  QProgressBar* bar = form().BusyProgressBar;
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

}  // namespace
}  // namespace tern::testing
