// Pictures of the update dialog (mid-transfer, waiting after a lost acknowledgement)
// and of the reception test for the README, taken from the real dialogs against the
// simulated receiver:
//   xvfb-run -a build/release/tests/dialog_shots docs/images
#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTemporaryDir>
#include <iostream>

#include "assembly/firmware_source.h"
#include "common/clock.h"
#include "common/message_sink.h"
#include "link/ttern.h"
#include "messages/message_store.h"
#include "poll/polling_owner.h"
#include "sim/demo_life.h"
#include "sim/sim_port.h"
#include "ui/receive_test_form.h"
#include "ui/update_form.h"

namespace {

// What the dialogs would show goes to stderr; every question is answered No.
class PrintingSink final : public tern::MessageSink {
 public:
  void showMessage(tern::MessageKind, const std::string& text) override {
    std::cerr << text << '\n';
  }
  bool askYesNo(const std::string& text, bool) override {
    std::cerr << text << '\n';
    return false;
  }
};

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  if (argc != 2) {
    std::cerr << "usage: dialog_shots FOLDER\n";
    return 2;
  }
  const QString folder = QString::fromLocal8Bit(argv[1]) + "/";
  tern::SystemClock clock;
  tern::TTERN link(tern::sim::makeDemoPort(clock), clock);
  PrintingSink sink;
  bool ok = true;

  // The simulated receiver's own images, as `--simulate` offers them.
  const tern::FirmwareFiles files = tern::firmwareFilesFor(tern::ReceiverAccess{true, {}}, {});
  const tern::FirmwareImages& images = *files.images;
  QTemporaryDir data;
  tern::MessageStore store(data.path().toStdString() + "/", TERN_ASSETS_DIR "/", nullptr);
  // Shows the dialog, starts it, saves a picture at `phase`/`position`, waits for the end.
  auto shoot = [&](tern::TTERN& on, tern::UpdatePhase phase, int position, const QString& name) {
    bool taken = false;
    tern::TUpdateForm* shown = nullptr;
    tern::TUpdateForm update(on, images, store, clock, sink);
    QObject::connect(&update, &tern::TUpdateForm::progressShown,
                     [&](tern::UpdatePhase at, int step) {
                       if (taken || at != phase || step != position) return;
                       ok = shown->grab().save(folder + name + ".png") && ok;
                       taken = true;
                     });
    shown = &update;
    update.show();
    QApplication::processEvents();
    update.StartButtonClick();
    while (update.Busy()) QApplication::processEvents(QEventLoop::AllEvents, 20);
    ok = taken && ok;
  };
  shoot(link, tern::UpdatePhase::WritingFirmware, 80, "update-dialog");

  // A receiver whose answer to the start of programming got lost, and which needs 20 s to
  // reprogram itself: the dialog waits, buttons disabled, and asks.
  tern::sim::Scenario lost;
  lost.firmwareVersion = "1.2.3";
  lost.firmwareAfterProgramming = "1.2.4";
  lost.faults.shortReplyTo = tern::protocol::kStartProgramming;
  lost.faults.shortReplyBy = 2;
  lost.reprogrammingTime = std::chrono::seconds(20);
  tern::TTERN lostLink(
      std::make_unique<tern::sim::SimPort>(std::make_shared<tern::sim::SimReceiver>(lost, clock)),
      clock);
  shoot(lostLink, tern::UpdatePhase::AwaitingReceiver, 3, "update-waiting");

  // No polling thread here: the owner only hands the dialog the link.
  tern::DirectHandOver handOver;
  tern::PollingOwner polling(link, handOver, [](tern::HandOver&) { return nullptr; });
  tern::TReceiveTest test(polling, data.path().toStdString() + "/");
  test.show();
  QElapsedTimer waited;
  waited.start();
  while (waited.elapsed() < 16000) QApplication::processEvents(QEventLoop::AllEvents, 20);
  ok = test.grab().save(folder + "receive-test.png") && ok;
  test.close();
  return ok ? 0 : 1;
}
