// The update dialog against the simulated receiver, and the start-up check of the window.
#include "ui/update_form.h"

#include <QApplication>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <algorithm>
#include <fstream>
#include <thread>

#include "assembly/firmware_source.h"
#include "fakes/pseudo_terminal.h"
#include "fakes/recording_port.h"
#include "fakes/recording_sink.h"
#include "fakes/store_contents.h"
#include "link/protocol.h"
#include "link/receive_test_text.h"
#include "messages/message_store.h"
#include "poll/polling_owner.h"
#include "sim/pty_receiver.h"
#include "sim/sim_port.h"
#include "sim/sim_test_support.h"
#include "ui/main_form_fixture.h"
#include "update/firmware_check.h"
#include "update/test_images.h"

namespace tern::testing {
namespace {

namespace p = protocol;

using namespace std::chrono_literals;

class UpdateFormTest : public ::testing::Test {
 protected:
  void start(sim::Scenario s = {}) {
    receiver = std::make_shared<sim::SimReceiver>(std::move(s), clock);
    link = std::make_unique<TTERN>(std::make_unique<sim::SimPort>(receiver), clock);
    store =
        std::make_unique<MessageStore>(dir_.slash(), std::string(TERN_ASSETS_DIR) + "/", nullptr);
    form = std::make_unique<TUpdateForm>(*link, images, *store, clock, sink);
    QObject::connect(form.get(), &TUpdateForm::quitRequested, [this] { ++quits; });
    QObject::connect(form.get(), &TUpdateForm::programmingStarted, [this] { ++infos; });
    QObject::connect(
        form.get(), &TUpdateForm::progressShown, [this](UpdatePhase phase, int position) {
          if (position != 0 && position != 60) return;
          shown.push_back(
              {phase, position, form->StatusLabel->text(), form->ProgressBar1->maximum(),
               form->StartButton->isEnabled() || form->CancelUpdateButton->isEnabled()});
        });
    form->show();
  }
  // Starts the update and lets the window thread run until the outcome is known.
  void runUpdate() {
    form->StartButton->click();
    ASSERT_TRUE(QTest::qWaitFor([this] { return !form->Busy(); }, 30000));
  }
  std::size_t pageWrites() const {
    std::size_t n = 0;
    for (const Bytes& r : receiver->requests()) n += r[0] == p::kWritePage;
    return n;
  }

  struct Shown {
    UpdatePhase phase;
    int position;
    QString status;
    int maximum;
    bool anyButtonEnabled;
  };
  ScratchFolder dir_{"tern_update_form"};
  FakeClock clock;
  FirmwareImages images = testImages();
  RecordingSink sink;
  std::shared_ptr<sim::SimReceiver> receiver;
  std::unique_ptr<TTERN> link;
  std::unique_ptr<MessageStore> store;
  std::unique_ptr<TUpdateForm> form;
  int quits = 0;
  int infos = 0;
  std::vector<Shown> shown;
};

// Counts the paint events of a widget.
class PaintCounter final : public QObject {
 public:
  bool eventFilter(QObject*, QEvent* event) override {
    paints += event->type() == QEvent::Paint;
    return false;
  }
  int paints = 0;
};

TEST_F(UpdateFormTest, TheWindowKeepsPaintingWithItsButtonsDisabledUntilProgrammingStarted) {
  start();
  EXPECT_EQ(form->windowTitle(), "Update");
  EXPECT_EQ(form->size(), QSize(250, 124));
  EXPECT_EQ(form->StatusLabel->text(), "Neue Firmware: 1.2.4");
  form->StartButton->click();
  // The click returned while the work goes on: the window thread is free.
  ASSERT_TRUE(form->Busy());
  EXPECT_EQ(form->StatusLabel->text(), "Meldungen werden gelesen ...");
  EXPECT_FALSE(form->StartButton->isEnabled() || form->CancelUpdateButton->isEnabled());
  form->reject();  // Esc or the window manager's close
  EXPECT_TRUE(form->isVisible());
  PaintCounter counter;
  form->installEventFilter(&counter);
  ASSERT_TRUE(QTest::qWaitFor([this] { return !form->Busy(); }, 30000));
  form->removeEventFilter(&counter);
  EXPECT_GT(counter.paints, 0);

  ASSERT_FALSE(shown.empty());
  for (const Shown& s : shown) EXPECT_FALSE(s.anyButtonEnabled);
  auto mid = std::find_if(shown.begin(), shown.end(), [](const Shown& s) {
    return s.phase == UpdatePhase::WritingFirmware && s.position == 60;
  });
  ASSERT_NE(mid, shown.end());
  EXPECT_EQ(mid->status, "Firmware wird übertragen ...");
  EXPECT_EQ(mid->maximum, 126);
  EXPECT_EQ(receiver->programmingStarts(), 1);
  EXPECT_EQ(form->StatusLabel->text(), "Programmierung gestartet ...");
  EXPECT_EQ(infos, 1);
  EXPECT_EQ(quits, 0);
  EXPECT_EQ(form->result(), QDialog::Accepted);
  EXPECT_FALSE(form->isVisible());
  EXPECT_EQ(link->Handle(), 0u);
}

TEST_F(UpdateFormTest, AFailedVerificationEndsTheProgram) {
  const std::pair<std::function<void(sim::Scenario&)>, std::string> cases[] = {
      {[](sim::Scenario& s) { s.faults.corruptPage = 515; },
       "Fehler beim Schreiben des Bootloader!"},
      {[](sim::Scenario& s) { s.faults.corruptPage = 530; }, "Fehler beim Schreiben der Firmware!"},
  };
  for (const auto& [setUp, message] : cases) {
    sim::Scenario s;
    setUp(s);
    sink.said.clear();
    quits = 0;
    start(std::move(s));
    runUpdate();
    EXPECT_EQ(sink.said, std::vector<std::string>{message});
    EXPECT_EQ(quits, 1);
    EXPECT_FALSE(form->isVisible());
    EXPECT_EQ(receiver->programmingStarts(), 0);
  }
  EXPECT_EQ(form->StatusLabel->text(), "Fehler beim Schreiben der Firmware!");
}

// A lost answer to StartProgramming: the user is told not to unplug the receiver, nothing
// offers a second start while it may be programming, and the outcome is told.
TEST_F(UpdateFormTest, ALostAcknowledgementEndsInOneOfThreeOutcomes) {
  struct Case {
    const char* what;
    std::function<void(sim::Scenario&)> setUp;
    int programmed;
    QString status;       // afterwards
    std::string message;  // part of the message shown, "" for none
    bool startOfferedAgain;
    int quits;
  };
  const Case cases[] = {
      {"new firmware running", lostAcknowledgement(5s), 1, "Programmierung gestartet ...", "",
       false, 0},
      {"old firmware running",
       [](sim::Scenario& s) { s.faults.lostRequest = p::kStartProgramming; }, 0,
       "Update nicht gestartet.", "arbeitet weiter mit der Firmware 1.2.3", true, 0},
      {"no answer", lostAcknowledgement(60s), 1, "Der Empfänger antwortet nicht.",
       "Trennen Sie dann den Empfänger vom Computer", false, 1},
  };
  for (const Case& c : cases) {
    sim::Scenario s;
    s.firmwareVersion = "1.2.3";
    s.firmwareAfterProgramming = "1.2.4";
    c.setUp(s);
    sink.said.clear();
    shown.clear();
    quits = infos = 0;
    start(std::move(s));
    runUpdate();
    EXPECT_EQ(receiver->programmingStarts(), c.programmed) << c.what;
    ASSERT_FALSE(shown.empty());
    const Shown& waiting = shown.back();
    EXPECT_EQ(waiting.phase, UpdatePhase::AwaitingReceiver) << c.what;
    EXPECT_EQ(waiting.status, "Empfänger nicht trennen! Warte auf seine Antwort ...");
    EXPECT_FALSE(waiting.anyButtonEnabled) << c.what;
    EXPECT_EQ(form->StatusLabel->text(), c.status) << c.what;
    if (c.message.empty()) {
      EXPECT_TRUE(sink.said.empty()) << c.what;
      EXPECT_EQ(infos, 1) << c.what;
    } else {
      ASSERT_EQ(sink.said.size(), 1u) << c.what;
      EXPECT_NE(sink.said[0].find(c.message), std::string::npos) << sink.said[0];
    }
    EXPECT_EQ(form->StartButton->isEnabled(), c.startOfferedAgain) << c.what;
    EXPECT_EQ(form->isVisible(), c.startOfferedAgain) << c.what;
    EXPECT_EQ(quits, c.quits) << c.what;
  }
}

TEST_F(UpdateFormTest, AnIncompleteReadOutAsksAndNoKeepsTheReceiverUntouched) {
  sim::Scenario s;
  s.faults.shortReplyTo = p::kReadBaroPage;  // the barometer cannot be read, the rest can
  start(std::move(s));
  runUpdate();
  ASSERT_EQ(sink.said.size(), 1u);
  EXPECT_NE(sink.said[0].find("(Barometer)"), std::string::npos);
  EXPECT_NE(sink.said[0].find("trotzdem"), std::string::npos);
  EXPECT_EQ(pageWrites(), 0u);
  EXPECT_EQ(form->StatusLabel->text(), "Update nicht gestartet.");
  EXPECT_TRUE(form->StartButton->isEnabled() && form->isVisible());

  sink.answer = true;
  runUpdate();
  EXPECT_EQ(sink.said.size(), 2u);
  EXPECT_EQ(receiver->programmingStarts(), 1);
}

// --- The window's start-up check ----------------------------------------------------------

bool isFirstImagePage(const Bytes& r) {
  return r[0] == p::kWritePage && getU16(r, 2) == p::kBootLoaderFirstPage;
}

class StartupCheckTest : public MainFormTest {
 protected:
  void SetUp() override {
    MainFormTest::SetUp();
    context_.messages = &sink;
    context_.requestQuit = [this] { ++quits; };
    context_.showUpdateInfo = [this] { ++notes; };
  }
  // Genuine images with their manifest in the user's own firmware folder (`flipAt`: one
  // byte changed after the manifest was made).
  void installFirmwareFiles(long flipAt = -1) {
    installTestFirmware(std::filesystem::path(*context_.userDataFolder) / "TERN", testManifest(),
                        flipAt);
  }
  sim::SimRecord recent(std::uint8_t code, std::string key) {
    sim::SimRecord r;
    r.code = code;
    r.key = std::move(key);
    r.received = civilFromSeconds(secondsSinceEpoch(clock_.utcNow()) - 3600);
    r.data = Bytes(40, 0x41);
    return r;
  }
  // Runs `step` once the update dialog is the modal window; it opens after the main
  // window's first painting.
  void whenUpdateDialogShown(std::function<void(TUpdateForm*)> step) {
    modalWatch_.setInterval(5);
    QObject::connect(&modalWatch_, &QTimer::timeout, [this, step = std::move(step)] {
      if (auto* update = qobject_cast<TUpdateForm*>(QApplication::activeModalWidget())) {
        modalWatch_.stop();
        modalWatch_.disconnect();
        step(update);
      }
    });
    modalWatch_.start();
  }
  // Clicks the start of the update dialog once it is shown.
  void startTheUpdateWhenAsked() {
    whenUpdateDialogShown([](TUpdateForm* update) { update->StartButton->click(); });
  }
  QTimer modalWatch_;
  RecordingSink sink;
  int quits = 0;
  int notes = 0;  // update notes shown
};

TEST_F(StartupCheckTest, WithoutFirmwareFilesNothingIsOfferedAndAForcedUpdateIsTold) {
  context_.simulate = false;
  context_.portPath = "/nonexistent/tty";
  showAndStart();
  EXPECT_TRUE(sink.said.empty());  // no receiver, no files: silence

  form_.reset();
  context_.forceUpdate = true;
  showAndStart();
  EXPECT_EQ(sink.said, std::vector<std::string>{NoFirmwareFilesText(
                           firmwareFolders(context_.userDataFolder, context_.programFolder))});
  EXPECT_EQ(quits, 0);
}

TEST_F(StartupCheckTest, ForcedUpdateOfTheSimulatedReceiverRunsBeforeThePollingStarts) {
  context_.forceUpdate = true;
  context_.startPolling = true;
  sink.answer = true;
  bool dialogSeen = false;
  whenUpdateDialogShown([&](TUpdateForm* update) {
    dialogSeen = true;
    EXPECT_FALSE(session().Polling().Polling());  // nothing else talks to the receiver
    update->StartButton->click();
  });
  showAndStart();
  EXPECT_TRUE(dialogSeen);
  EXPECT_EQ(sink.said, std::vector<std::string>{kUpdateQuestion});
  EXPECT_EQ(notes, 1);
  EXPECT_EQ(quits, 0);
  EXPECT_TRUE(session().Polling().Polling());
  EXPECT_EQ(thread(), session().Polling().Thread());
}

TEST_F(StartupCheckTest, APollingThreadThatRunsAlreadyIsOffTheLinkWhileTheCheckReadsTheVersion) {
  // The program starts polling after the check, but nothing may rely on that: here the
  // polling thread runs first and is held inside a call to the receiver when the window is
  // shown, so a check that used the link beside it would meet it there.
  RecordingPort* port = nullptr;
  context_.ownPort = [&port](Clock& clock) {
    auto recording = std::make_unique<RecordingPort>(makePort(PortKind::Sim, "", clock));
    port = recording.get();
    return recording;
  };
  const std::thread::id window = std::this_thread::get_id();
  auto waitUntil = [](const std::function<bool()>& done) {
    for (int waited = 0; waited < 20000 && !done(); waited += 5) QTest::qWait(5);
    return done();
  };
  session().Polling().Start();
  port->holdNextCallOfOthers(window, 1s);
  ASSERT_TRUE(waitUntil([&] { return port->holding(); }));
  showAndStart();

  // The window's calls form one unbroken run that asks for the version, with the polling
  // thread's calls before it and a fresh polling thread's after it.
  std::size_t first = 0;
  std::size_t last = 0;
  std::vector<std::pair<std::thread::id, Bytes>> calls;
  ASSERT_TRUE(waitUntil([&] {
    calls = port->calls();
    const auto mine = [window](const auto& call) { return call.first == window; };
    first =
        static_cast<std::size_t>(std::find_if(calls.begin(), calls.end(), mine) - calls.begin());
    last =
        calls.size() - 1 -
        static_cast<std::size_t>(std::find_if(calls.rbegin(), calls.rend(), mine) - calls.rbegin());
    return first < calls.size() && last + 1 < calls.size();
  }));
  EXPECT_GT(first, 0u);
  bool askedForTheVersion = false;
  for (std::size_t i = first; i <= last; ++i) {
    EXPECT_EQ(calls[i].first, window) << "call " << i << " of the polling thread";
    askedForTheVersion |= !calls[i].second.empty() && calls[i].second[0] == p::kReadFirmwareVersion;
  }
  EXPECT_TRUE(askedForTheVersion);
  EXPECT_EQ(port->overlaps(), 0);
  EXPECT_TRUE(session().Polling().Polling());
}

TEST_F(StartupCheckTest, UpdateAtStartUpFirstStoresEveryRecordTheDataFolderLacks) {
  sim::Scenario s;
  s.firmwareVersion = "1.2.3";
  s.firmwareAfterProgramming = "1.2.4";
  s.logs[p::kGroupFax] = {recent(0, "ASXX40")};
  s.logs[p::kGroupDwd] = {recent(4, "SMVX43"), recent(7, "FQEN70")};
  s.logs[p::kGroupNavtex] = {recent(9, "LA02"), recent(10, "SA03")};
  s.baroPressures.assign(70, 1200);
  if (auto why = tern::testing::pseudoTerminalMissing()) GTEST_SKIP() << *why;
  PtyReceiver pty(std::move(s));
  installFirmwareFiles();
  context_.simulate = false;
  context_.portPath = pty.path;
  sink.answer = true;
  startTheUpdateWhenAsked();
  showAndStart();
  EXPECT_EQ(sink.said, std::vector<std::string>{kUpdateQuestion});
  EXPECT_EQ(pty.receiver.programmingStarts(), 1);
  EXPECT_EQ(notes, 1);

  MessageStore onDisk(session().DataFolder(), context_.programFolder, nullptr,
                      MessageStore::Access::ReadOnly);
  EXPECT_EQ(storedKeys(onDisk),
            (std::multiset<std::string>{"ASXX40", "SMVX43", "FQEN70", "LA02", "SA03"}));
  EXPECT_EQ(onDisk.baro().count(), 70);
  // Every channel and the barometer were read before the first image page was written.
  const std::size_t firstPage = pty.first(isFirstImagePage);
  for (std::uint8_t channel : {p::kGroupNavtex, p::kGroupDwd, p::kGroupFax}) {
    EXPECT_LT(pty.first([channel](const Bytes& r) {
      return r == Bytes{p::kSelectChannel, 1, channel};
    }),
              firstPage);
  }
  EXPECT_LT(pty.first([](const Bytes& r) { return r[0] == p::kReadBaroPage; }), firstPage);
  form_.reset();
}

TEST_F(StartupCheckTest, ImagesWithAFlippedByteAreRefusedAndNothingIsWritten) {
  sim::Scenario s;
  s.firmwareVersion = "1.2.3";
  if (auto why = tern::testing::pseudoTerminalMissing()) GTEST_SKIP() << *why;
  PtyReceiver pty(std::move(s));
  installFirmwareFiles(2000);
  context_.simulate = false;
  context_.portPath = pty.path;
  showAndStart();
  ASSERT_EQ(sink.said.size(), 1u);
  EXPECT_EQ(sink.said[0], "Die Firmware-Datei \"" + *context_.userDataFolder +
                              "TERN/firmware/TERN_BOOT.BIN\" ist nicht die, deren Prüfsumme in \"" +
                              *context_.userDataFolder +
                              "TERN/firmware/TERN_FW.INF\" steht. Das Update wird nicht "
                              "durchgeführt.");
  EXPECT_EQ(pty.first([](const Bytes& r) { return r[0] == p::kWritePage; }),
            pty.receiver.requests().size());
  form_.reset();
}

TEST_F(StartupCheckTest, FailedVerificationAtStartUpEndsTheProgramWithoutPolling) {
  // Installed images, but no receiver: the read-out fails (the user goes on anyway), then the
  // read-back differs.
  installFirmwareFiles();
  context_.simulate = false;
  context_.portPath = "/nonexistent/tty";
  context_.forceUpdate = true;
  context_.startPolling = true;
  sink.answer = true;
  startTheUpdateWhenAsked();
  showAndStart();
  ASSERT_EQ(sink.said.size(), 3u);
  EXPECT_NE(sink.said[1].find("trotzdem durchgeführt werden?"), std::string::npos);
  EXPECT_EQ(sink.said[2], "Fehler beim Schreiben des Bootloader!");
  EXPECT_EQ(quits, 1);
  EXPECT_FALSE(session().Polling().Polling());
}

// A receiver with firmware 1.0.0 on a serial line, so the window reaches it as a real one.
TEST_F(StartupCheckTest, UpdateFromTheReceptionTestRunsWithThePollingThreadOffTheLink) {
  sim::Scenario s;
  s.firmwareVersion = "1.0.0";
  s.firmwareAfterProgramming = "1.2.4";
  if (auto why = tern::testing::pseudoTerminalMissing()) GTEST_SKIP() << *why;
  PtyReceiver pty(std::move(s));
  sim::SimReceiver& receiver = pty.receiver;

  installFirmwareFiles();
  context_.simulate = false;
  context_.portPath = pty.path;
  context_.startPolling = true;
  showAndStart();  // 1.0.0 is older, but the user says No at start-up
  ASSERT_EQ(sink.said, std::vector<std::string>{kUpdateQuestion});
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
  form().ReceiveTestToolButtonClick();
  ASSERT_TRUE(seen);
  EXPECT_EQ(sink.said.at(1), std::string(kReceiveTestNeedsUpdateQuestion) + " " +
                                 std::string(kReadoutFirstSentence));
  EXPECT_EQ(notes, 1);
  EXPECT_EQ(receiver.programmingStarts(), 1);
  EXPECT_EQ(quits, 0);

  // From the first page written to the start of programming, only page commands: no
  // polling command interleaved with the transfer.
  std::vector<Bytes> requests = receiver.requests();
  auto first = std::find_if(requests.begin(), requests.end(), isFirstImagePage);
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
}

}  // namespace
}  // namespace tern::testing
