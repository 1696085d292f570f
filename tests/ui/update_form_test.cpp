// The update dialog against the simulated receiver, and the start-up check of the window.
#include "ui/update_form.h"

#include <pty.h>
#include <unistd.h>

#include <QApplication>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <fstream>
#include <thread>

#include "fakes/recording_sink.h"
#include "link/protocol.h"
#include "link/receive_test_text.h"
#include "poll/polling_owner.h"
#include "sim/sim_port.h"
#include "sim/sim_stream_server.h"
#include "ui/main_form_fixture.h"
#include "update/firmware_check.h"
#include "update/test_images.h"

namespace tern::testing {
namespace {

namespace p = protocol;

class UpdateFormTest : public ::testing::Test {
 protected:
  void start(sim::Scenario s = {}) {
    receiver = std::make_shared<sim::SimReceiver>(std::move(s), clock);
    link = std::make_unique<TTERN>(std::make_unique<sim::SimPort>(receiver), clock);
    form = std::make_unique<TUpdateForm>(
        *link, images, sink,
        TUpdateForm::Hooks{
            .requestQuit = [this] { ++quits; },
            .showUpdateInfo = [this] { ++infos; },
            .progressShown =
                [this](UpdatePhase phase, int position) {
                  if (phase == UpdatePhase::WritingFirmware && position == 60) {
                    midStatus = form->StatusLabel->text();
                    midRange = {form->ProgressBar1->maximum(), form->ProgressBar1->value()};
                  }
                }});
    form->show();
  }

  FakeClock clock;
  FirmwareImages images = testImages();
  RecordingSink sink;
  std::shared_ptr<sim::SimReceiver> receiver;
  std::unique_ptr<TTERN> link;
  std::unique_ptr<TUpdateForm> form;
  int quits = 0;
  int infos = 0;
  QString midStatus;
  std::pair<int, int> midRange;
};

TEST_F(UpdateFormTest, VerifiedTransferStartsProgrammingAndShowsTheNote) {
  start();
  EXPECT_EQ(form->windowTitle(), "Update");
  EXPECT_EQ(form->size(), QSize(250, 124));
  form->StartButton->click();
  EXPECT_EQ(midStatus, "Firmware wird übertragen ...");
  EXPECT_EQ(midRange, std::make_pair(126, 60));
  EXPECT_EQ(receiver->programmingStarts(), 1);
  EXPECT_EQ(form->StatusLabel->text(), "Programmierung gestartet ...");
  EXPECT_EQ(infos, 1);
  EXPECT_EQ(quits, 0);
  EXPECT_EQ(form->result(), QDialog::Accepted);
  EXPECT_FALSE(form->isVisible());
  EXPECT_EQ(link->Handle(), 0u);
}

TEST_F(UpdateFormTest, ReceiverGoneMidTransferGivesTheBootLoaderErrorAndEndsTheProgram) {
  sim::Scenario s;
  s.faults.pullCableAfter = 2 * 5;
  start(std::move(s));
  form->StartButton->click();
  EXPECT_EQ(sink.said, std::vector<std::string>{"Fehler beim Schreiben des Bootloader!"});
  EXPECT_EQ(form->StatusLabel->text(), "Fehler beim schreiben des Bootloader!");
  EXPECT_EQ(quits, 1);
  EXPECT_FALSE(form->isVisible());
  EXPECT_EQ(receiver->programmingStarts(), 0);
}

TEST_F(UpdateFormTest, VerifyErrorOfTheFirmwareEndsTheProgram) {
  sim::Scenario s;
  s.faults.corruptPage = 530;
  start(std::move(s));
  form->StartButton->click();
  EXPECT_EQ(sink.said, std::vector<std::string>{"Fehler beim Schreiben der Firmware!"});
  EXPECT_EQ(form->StatusLabel->text(), "Fehler beim Schreiben der Firmware!");
  EXPECT_EQ(quits, 1);
}

TEST_F(UpdateFormTest, RefusedStartProgrammingLeavesTheDialogOpen) {
  sim::Scenario s;
  s.faults.wrongEchoTo = p::kStartProgramming;
  start(std::move(s));
  form->StartButton->click();
  EXPECT_TRUE(form->isVisible());
  EXPECT_TRUE(sink.said.empty());
  EXPECT_EQ(quits + infos, 0);
  EXPECT_EQ(link->Handle(), 0u);
  form->CancelUpdateButton->click();
  EXPECT_FALSE(form->isVisible());
}

// --- The window's start-up check ----------------------------------------------------------

class StartupCheckTest : public MainFormTest {
 protected:
  void SetUp() override {
    MainFormTest::SetUp();
    context_.messages = &sink;
    context_.requestQuit = [this] { ++quits; };
  }
  // A program folder with the assets and installed image files of the right sizes.
  void installFirmwareFiles() {
    std::filesystem::copy(TERN_ASSETS_DIR, root_ / "program",
                          std::filesystem::copy_options::recursive);
    std::filesystem::create_directories(root_ / "program/firmware");
    std::ofstream(root_ / "program" / std::string(kBootLoaderFile), std::ios::binary)
        << std::string(p::kBootLoaderImageSize, 'b');
    std::ofstream(root_ / "program" / std::string(kFirmwareFile), std::ios::binary)
        << std::string(p::kFirmwareImageSize, 'f');
    context_.programFolder = (root_ / "program").string() + "/";
  }
  RecordingSink sink;
  int quits = 0;
};

TEST_F(StartupCheckTest, WithoutFirmwareFilesNothingIsOfferedAndAForcedUpdateIsTold) {
  context_.simulate = false;
  context_.portPath = "/nonexistent/tty";
  form().show();
  EXPECT_TRUE(sink.said.empty());  // no receiver, no files: silence

  form_.reset();
  context_.forceUpdate = true;
  form().show();
  EXPECT_EQ(sink.said, std::vector<std::string>{std::string(kNoFirmwareFilesText)});
  EXPECT_EQ(quits, 0);
}

TEST_F(StartupCheckTest, ForcedUpdateOfTheSimulatedReceiverRunsBeforeThePollingStarts) {
  context_.forceUpdate = true;
  context_.startPolling = true;
  sink.answer = true;
  bool dialogSeen = false;
  QTimer::singleShot(0, [&] {
    auto* update = qobject_cast<TUpdateForm*>(QApplication::activeModalWidget());
    ASSERT_NE(update, nullptr);
    dialogSeen = true;
    EXPECT_FALSE(session().Polling().Polling());  // nothing else talks to the receiver
    update->StartButton->click();
  });
  int notes = 0;
  form().ShowUpdateInfo = [&notes] { ++notes; };
  form().show();
  EXPECT_TRUE(dialogSeen);
  EXPECT_EQ(sink.said, std::vector<std::string>{std::string(kUpdateQuestion)});
  EXPECT_EQ(notes, 1);
  EXPECT_EQ(quits, 0);
  EXPECT_TRUE(session().Polling().Polling());
  EXPECT_EQ(thread(), session().Polling().Thread());
}

TEST_F(StartupCheckTest, FailedVerificationAtStartUpEndsTheProgramWithoutPolling) {
  // Installed images of the right size, but no receiver: the read-back differs.
  installFirmwareFiles();
  context_.simulate = false;
  context_.portPath = "/nonexistent/tty";
  context_.forceUpdate = true;
  context_.startPolling = true;
  sink.answer = true;
  QTimer::singleShot(0, [] {
    if (auto* update = qobject_cast<TUpdateForm*>(QApplication::activeModalWidget()))
      update->StartButton->click();
  });
  form().show();
  EXPECT_EQ(sink.said.back(), "Fehler beim Schreiben des Bootloader!");
  EXPECT_EQ(quits, 1);
  EXPECT_FALSE(session().Polling().Polling());
}

// A receiver with firmware 1.0.0 on a serial line, so the window reaches it as a real one.
TEST_F(StartupCheckTest, UpdateFromTheReceptionTestRunsWithThePollingThreadOffTheLink) {
  int master = -1, slave = -1;
  char name[256] = {};
  ASSERT_EQ(::openpty(&master, &slave, name, nullptr, nullptr), 0);
  SystemClock serverClock;
  sim::Scenario s;
  s.firmwareVersion = "1.0.0";
  s.firmwareAfterProgramming = "1.2.4";
  sim::SimReceiver receiver(s, serverClock);
  std::jthread server([&](std::stop_token st) { sim::serveSimReceiver(receiver, master, st); });

  installFirmwareFiles();
  context_.simulate = false;
  context_.portPath = name;
  context_.startPolling = true;
  form().show();  // 1.0.0 is older, but the user says No at start-up
  ASSERT_EQ(sink.said, std::vector<std::string>{std::string(kUpdateQuestion)});
  for (int i = 0; i < 20000 && thread()->FirmwareText() != "1.0.0"; i += 5) QTest::qWait(5);
  ASSERT_EQ(thread()->FirmwareText(), "1.0.0");

  sink.answer = true;
  bool seen = false;
  QTimer::singleShot(0, [&] {
    auto* update = qobject_cast<TUpdateForm*>(QApplication::activeModalWidget());
    ASSERT_NE(update, nullptr);
    seen = true;
    EXPECT_EQ(thread(), nullptr);  // stopped and joined, not merely paused
    update->StartButton->click();
  });
  int notes = 0;
  form().ShowUpdateInfo = [&notes] { ++notes; };
  form().ReceiveTestToolButtonClick();
  ASSERT_TRUE(seen);
  EXPECT_EQ(sink.said.at(1), kReceiveTestNeedsUpdateQuestion);
  EXPECT_EQ(notes, 1);
  EXPECT_EQ(receiver.programmingStarts(), 1);
  EXPECT_EQ(quits, 0);

  // From the first page written to the start of programming, only page commands: no
  // polling command interleaved with the transfer.
  std::vector<Bytes> requests = receiver.requests();
  auto first = std::find_if(requests.begin(), requests.end(), [](const Bytes& r) {
    return r[0] == p::kWritePage && getU16(r, 2) == p::kBootLoaderFirstPage;
  });
  auto programming = std::find_if(first, requests.end(),
                                  [](const Bytes& r) { return r[0] == p::kStartProgramming; });
  ASSERT_NE(first, requests.end());
  ASSERT_NE(programming, requests.end());
  EXPECT_EQ(programming - first, 2 * (16 + 127));
  for (auto it = first; it != programming; ++it)
    EXPECT_TRUE((*it)[0] == p::kWritePage || (*it)[0] == p::kReadPage) << int((*it)[0]);
  // Polling goes on with a fresh thread object.
  EXPECT_NE(thread(), nullptr);
  EXPECT_TRUE(session().Polling().Polling());

  form_.reset();
  server.request_stop();
  server.join();
  ::close(slave);
  ::close(master);
}

}  // namespace
}  // namespace tern::testing
