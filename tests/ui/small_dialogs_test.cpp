// The system information and update information dialogs, and the quality notice burnt into
// saved fax pictures.
#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>
#include <QToolButton>

#include "common/system_info.h"
#include "common/version.h"
#include "fax/bmp_writer.h"
#include "poll/get_data_thread.h"
#include "readout/readouts.h"
#include "ui/fax_notice.h"
#include "ui/main_form_fixture.h"
#include "ui/system_info_form.h"
#include "ui/update_info_form.h"

namespace tern::testing {
namespace {

TEST(SysteminfoForm, ShowingFillsEveryValueFromThePublishedTexts) {
  int asked = 0;
  TSysteminfoForm form([&] {
    ++asked;
    return TSysteminfoForm::Identity{"2.1.7", "SN 004711"};
  });
  EXPECT_EQ(form.windowTitle(), "Systeminformation");
  form.FirmwareLabel->setText("stale");
  QTimer::singleShot(0, &form, [&] {
    EXPECT_TRUE(form.isVisible());
    EXPECT_EQ(form.ProduktLabel->text(), "TERN");
    EXPECT_EQ(form.FirmwareLabel->text(), "2.1.7");
    EXPECT_EQ(form.SeriennummerLabel->text(), "SN 004711");
    EXPECT_EQ(form.SoftwareVersionLabel->text().toStdString(), kProgramVersion);
    EXPECT_EQ(form.OSLabel->text().toStdString(), currentSystemName());
    EXPECT_GE(form.width(), 319);
    EXPECT_GE(form.height(), 240);
    EXPECT_EQ(form.wwwLabel7, nullptr);  // no web address given
    form.SchliessenButton->click();
  });
  form.Execute();
  EXPECT_FALSE(form.isVisible());
  EXPECT_EQ(asked, 1);
}

TEST(SysteminfoForm, ExecuteEmptiesTheReceiverTextsBeforeShowing) {
  TSysteminfoForm form([] { return TSysteminfoForm::Identity{}; });
  form.FirmwareLabel->setText("1.0.0");
  form.SeriennummerLabel->setText("old");
  QTimer::singleShot(0, &form, [&] {
    EXPECT_EQ(form.FirmwareLabel->text(), "");
    EXPECT_EQ(form.SeriennummerLabel->text(), "");
    form.reject();
  });
  form.Execute();
}

TEST(UpdateInfoForm, SevenFixedLines) {
  TUpdateInfoForm form;
  EXPECT_EQ(form.windowTitle(), "Update");
  EXPECT_EQ(form.size(), QSize(337, 302));
  const QStringList lines = form.Memo1->toPlainText().split('\n');
  ASSERT_EQ(lines.size(), 7);
  EXPECT_EQ(lines[0], QStringLiteral("Das Update wurde erfolgreich durchgeführt.  "));
  EXPECT_EQ(lines[1], "");
  EXPECT_EQ(lines[6], "die TERN Anwendung noch einmal.");
  EXPECT_TRUE(form.Memo1->isReadOnly());
  EXPECT_EQ(form.SchliessenButton->text(), QStringLiteral("Schließen"));
}

TEST(FaxNotice, NoticeIsBurntIntoTheOneBitPicture) {
  FaxPicture picture;
  picture.width = 1800;
  picture.height = 200;
  picture.bitsPerPixel = 1;
  picture.palette = {kFaxBlack, kFaxWhite};
  picture.pixels.assign(1800u * 200u, kFullWhite);
  picture.notice = FaxNotice{"Die Empfangsqualität war nicht ausreichend.", 30, 30};
  const FaxPicture burnt = withNoticeDrawn(picture);
  EXPECT_FALSE(burnt.notice);
  int black = 0;
  int outside = 0;
  for (int y = 0; y < burnt.height; ++y) {
    for (int x = 0; x < burnt.width; ++x) {
      if (burnt.at(x, y) != kFullBlack) continue;
      ++black;
      if (x < 30 || y < 30 || y > 60) ++outside;
    }
  }
  EXPECT_GT(black, 200);
  EXPECT_EQ(outside, 0);
  // Still a picture of two colours: the file keeps one bit per pixel.
  EXPECT_EQ(encodeBmp(burnt).size(), encodeBmp(picture).size());

  picture.notice.reset();
  EXPECT_EQ(withNoticeDrawn(picture).pixels, picture.pixels);
}

class SystemInfoOfTheMainForm : public MainFormTest {};

TEST_F(SystemInfoOfTheMainForm, ShowsWhatThePollingThreadPublished) {
  // The thread polls the simulated receiver and publishes its texts.
  thread()->SetClockRequest = false;
  thread()->Start();
  QElapsedTimer waited;
  waited.start();
  while (thread()->FirmwareText() != "1.2.4" && waited.elapsed() < 20000) {
    QApplication::processEvents(QEventLoop::AllEvents, 5);
  }
  const std::string firmware = thread()->FirmwareText();
  ASSERT_EQ(firmware, "1.2.4");
  QTimer::singleShot(0, named<TSysteminfoForm>("SysteminfoForm"), [&] {
    EXPECT_EQ(named<TSysteminfoForm>("SysteminfoForm")->FirmwareLabel->text().toStdString(),
              firmware);
    EXPECT_EQ(named<TSysteminfoForm>("SysteminfoForm")->SeriennummerLabel->text().toStdString(),
              thread()->SerialText());
    named<TSysteminfoForm>("SysteminfoForm")->accept();
  });
  button("SystemToolButton")->click();
  EXPECT_NE(named<TUpdateInfoForm>("UpdateInfoForm"), nullptr);
  EXPECT_FALSE(named<TUpdateInfoForm>("UpdateInfoForm")->isVisible());
}

}  // namespace
}  // namespace tern::testing
