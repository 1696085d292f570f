// The reception test dialog against the simulated receiver, with a real polling thread that
// must stay off the link until the dialog closes.
#include "ui/receive_test_form.h"

#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QTimer>

#include "fakes/recording_port.h"
#include "fakes/recording_sink.h"
#include "fakes/recording_view.h"
#include "link/protocol.h"
#include "messages/message_store.h"
#include "sim/sim_port.h"
#include "ui/main_form_fixture.h"
#include "ui/screen_picture.h"
#include "ui/window_placement.h"

namespace tern::testing {
namespace {

namespace p = protocol;

class ReceiveTestFormTest : public ::testing::Test {
 protected:
  void start(sim::Scenario s) {
    store = std::make_unique<MessageStore>(dir_.slash(), std::string(TERN_ASSETS_DIR) + "/", &sink);
    receiver = std::make_shared<sim::SimReceiver>(std::move(s), clock);
    auto recording = std::make_unique<RecordingPort>(std::make_unique<sim::SimPort>(receiver));
    port = recording.get();
    link = std::make_unique<TTERN>(std::move(recording), clock);
    polling = std::make_unique<PollingOwner>(*link, handOver, [this](HandOver& h) {
      ++threadsMade;
      return std::make_unique<TGetDataThread>(*link, *store, clock, h, view, Bytes(2001, 0));
    });
    polling->Start();
    dialog = std::make_unique<TReceiveTest>(*polling, dir_.slash());
  }
  void TearDown() override {
    dialog.reset();
    polling.reset();
  }
  QString memo() const { return dialog->Memo->toPlainText(); }
  // Lets the receiver send one more byte, and the dialog take it.
  void tick() {
    clock.advance(std::chrono::milliseconds(150));
    dialog->Timer1Timer();
  }
  int frames(int phase, std::uint8_t code) const {  // frames of `code` written in `phase`
    int n = 0;
    for (const auto& [ph, bytes] : port->writes())
      n += ph == phase && bytes.size() >= 2 && bytes[0] == code && bytes[1] + 2u == bytes.size();
    return n;
  }

  ScratchFolder dir_{"tern_receive_test"};
  FakeClock clock;
  RecordingSink sink;
  DirectHandOver handOver;
  RecordingView view;
  std::unique_ptr<MessageStore> store;
  std::shared_ptr<sim::SimReceiver> receiver;
  RecordingPort* port = nullptr;
  std::unique_ptr<TTERN> link;
  std::unique_ptr<PollingOwner> polling;
  std::unique_ptr<TReceiveTest> dialog;
  int threadsMade = 0;
};

sim::Scenario streaming(std::string_view text) {
  sim::Scenario s;
  s.receiveTestText.assign(text.begin(), text.end());
  return s;
}

TEST_F(ReceiveTestFormTest, StreamBecomesLinesAndTheEndClosesAfterThreeSeconds) {
  start(streaming("AB\r\nC"));
  EXPECT_EQ(dialog->windowTitle(), "Empfangstest");
  EXPECT_TRUE(dialog->TransmitterButtons[0]->isChecked());
  EXPECT_EQ(dialog->TransmitterButtons[0]->objectName(), "DDH47RadioButton");
  port->phase = 1;
  dialog->show();  // stops the polling thread, then starts the test
  EXPECT_EQ(polling->Thread(), nullptr);
  EXPECT_TRUE(dialog->Timer1->isActive());
  EXPECT_EQ(dialog->Timer1->interval(), 100);
  EXPECT_EQ(memo(), "Start Empfangstest DDH47\n\n");
  EXPECT_EQ(dialog->TimeLeftLabel->text(), "Noch 3:00 Min.");
  for (int i = 0; i < 5; ++i) tick();
  EXPECT_EQ(memo(), "Start Empfangstest DDH47\n\nAB\nC");

  tick();  // 255: the receiver ended the test
  EXPECT_EQ(memo(), "Start Empfangstest DDH47\n\nAB\nC\nEmpfangstest abgeschlossen.\n");
  EXPECT_EQ(dialog->TimeLeftLabel->text(), "");
  EXPECT_TRUE(dialog->CloseTimer->isActive());
  EXPECT_TRUE(dialog->CloseTimer->isSingleShot());
  EXPECT_TRUE(dialog->isVisible());
  EXPECT_EQ(polling->Thread(), nullptr);  // still no polling: the dialog has the link
  port->phase = 2;
  QTest::qWait(TReceiveTest::kCloseDelayMs + 300);
  EXPECT_FALSE(dialog->isVisible());

  // From the test's start to the dialog's end: the test's own commands only, no polling.
  std::vector<std::uint8_t> during;
  bool started = false;
  for (const auto& [phase, bytes] : port->writes()) {
    started = started || (bytes.size() == 3 && bytes[0] == p::kStartReceiveTest);
    if (started && phase == 1 && bytes.size() >= 2 && bytes[1] + 2u == bytes.size())
      during.push_back(bytes[0]);
  }
  EXPECT_EQ(during, (std::vector<std::uint8_t>{p::kStartReceiveTest}));
  // Closing gave the link back: a fresh thread that sets the clock again.
  EXPECT_EQ(threadsMade, 2);
  EXPECT_TRUE(polling->Polling());
  for (int i = 0; i < 5000 && frames(2, p::kSetClock) == 0; ++i) QTest::qWait(1);
  EXPECT_GE(frames(2, p::kSetClock), 1);
}

TEST_F(ReceiveTestFormTest, AnotherTransmitterClearsAndStartsOver) {
  start(streaming("XYZ"));
  dialog->show();
  tick();
  EXPECT_EQ(memo(), "Start Empfangstest DDH47\n\nX");
  dialog->TransmitterButtons[5]->click();  // DDK9
  EXPECT_EQ(memo(), "Start Empfangstest DDK9\n\n");
  const std::vector<Bytes> requests = receiver->requests();
  ASSERT_GE(requests.size(), 2u);
  EXPECT_EQ(requests[requests.size() - 2], (Bytes{p::kStopReceiveTest, 0}));
  EXPECT_EQ(requests.back(), (Bytes{p::kStartReceiveTest, 1, 8}));
  EXPECT_TRUE(receiver->receiveTestRunning());

  // Closing stops the test on the receiver and only then lets polling start again.
  dialog->CloseButton->click();
  EXPECT_FALSE(receiver->receiveTestRunning());
  EXPECT_TRUE(polling->Polling());

  // The next test, also after a restart of the program, starts on the transmitter chosen
  // last; the settings file and its schedule block are not touched for that.
  dialog = std::make_unique<TReceiveTest>(*polling, dir_.slash());
  EXPECT_TRUE(dialog->TransmitterButtons[5]->isChecked());
  dialog->show();
  EXPECT_EQ(receiver->requests().back(), (Bytes{p::kStartReceiveTest, 1, 8}));
  EXPECT_FALSE(std::filesystem::exists(dir_ / "TERN_CONFIG.CFG"));
}

// On a boat's 800 x 480 panel the countdown and "Schließen" stay on the screen; a desktop
// shows the dialog at its usual size.
TEST_F(ReceiveTestFormTest, FitsASmallScreenWithItsButtonInSight) {
  start(streaming(""));
  for (const QRect screen : {QRect(0, 0, 800, 480), QRect(0, 0, 1920, 1080)}) {
    placeWindow(*dialog, screen, {TReceiveTest::kWidth, TReceiveTest::kHeight});
    dialog->show();
    QApplication::processEvents();
    // Room for a window manager's title bar and border.
    EXPECT_LE(dialog->height() + 34, screen.height());
    EXPECT_TRUE(wholeInside(*dialog->CloseButton, *dialog));
    EXPECT_TRUE(wholeInside(*dialog->TimeLeftLabel, *dialog));
    EXPECT_TRUE(wholeInside(*dialog->FrequenzRadioGroup, *dialog));
    if (screen.height() == 480) saveScreenPicture(*dialog, screen, "receive-test-800x480");
  }
  EXPECT_EQ(dialog->size(), QSize(TReceiveTest::kWidth, TReceiveTest::kHeight));
}

TEST_F(ReceiveTestFormTest, ReceiverThatCannotBeOpenedIsToldNotAnEmptyWindow) {
  start(streaming(""));
  receiver->setPlugged(false);
  dialog->show();
  EXPECT_EQ(memo(), "Empfangstest Fehler!\n");
  EXPECT_FALSE(dialog->Timer1->isActive());
  dialog->close();
  EXPECT_TRUE(polling->Polling());
}

TEST_F(ReceiveTestFormTest, RefusedStartIsTold) {
  sim::Scenario s = streaming("A");
  s.faults.wrongEchoTo = p::kStartReceiveTest;
  start(std::move(s));
  dialog->show();
  EXPECT_EQ(memo(), "Empfangstest Fehler!\n");
  EXPECT_FALSE(dialog->Timer1->isActive());
  dialog->TransmitterButtons[1]->click();
  EXPECT_EQ(memo(), "Empfangstest Fehler!\nStart Empfangstest Fehler!\n");
}

// --- The window's entry ------------------------------------------------------------------

class ReceiveTestEntryTest : public MainFormTest {};

TEST_F(ReceiveTestEntryTest, AsksTheTestQuestionForACurrentFirmware) {
  RecordingSink sink;
  context_.messages = &sink;
  thread()->SetClockRequest = false;
  session().Polling().Start();  // reads the simulated receiver's identity (1.2.4)
  for (int i = 0; i < 20000 && thread()->FirmwareText().empty(); i += 5) QTest::qWait(5);
  ASSERT_EQ(thread()->FirmwareText(), "1.2.4");
  form().ReceiveTestToolButtonClick();
  ASSERT_EQ(sink.said.size(), 1u);
  EXPECT_EQ(sink.said[0], kReceiveTestQuestion);

  // Yes opens the dialog; it has the link until it closes.
  sink.answer = true;
  bool seen = false;
  QTimer::singleShot(0, [&] {
    auto* test = qobject_cast<TReceiveTest*>(QApplication::activeModalWidget());
    ASSERT_NE(test, nullptr);
    seen = true;
    EXPECT_EQ(thread(), nullptr);
    EXPECT_TRUE(test->Memo->toPlainText().startsWith("Start Empfangstest DDH47"));
    test->close();
  });
  form().ReceiveTestToolButtonClick();
  EXPECT_TRUE(seen);
  EXPECT_NE(thread(), nullptr);
}

}  // namespace
}  // namespace tern::testing
