// Pictures of the update dialog mid-transfer and of the reception test for the README, taken
// from the real dialogs against the demo receiver:
//   xvfb-run -a build/release/tests/dialog_shots docs/images
#include <QApplication>
#include <QElapsedTimer>
#include <QPushButton>
#include <iostream>

#include "common/clock.h"
#include "common/message_sink.h"
#include "fakes/recording_sink.h"
#include "link/ttern.h"
#include "poll/polling_owner.h"
#include "sim/demo_life.h"
#include "sim/test_firmware.h"
#include "ui/receive_test_form.h"
#include "ui/update_form.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  if (argc != 2) {
    std::cerr << "usage: dialog_shots FOLDER\n";
    return 2;
  }
  const QString folder = QString::fromLocal8Bit(argv[1]) + "/";
  tern::SystemClock clock;
  tern::TTERN link(tern::sim::makeDemoPort(clock), clock);
  tern::testing::RecordingSink sink;
  bool ok = true;

  auto images = tern::FirmwareImages::Make(
      tern::Bytes(tern::sim::kTestBootLoaderImage.begin(), tern::sim::kTestBootLoaderImage.end()),
      tern::Bytes(tern::sim::kTestFirmwareImage.begin(), tern::sim::kTestFirmwareImage.end()));
  tern::TUpdateForm update(link, *images, sink,
                           {.requestQuit = {},
                            .showUpdateInfo = {},
                            .progressShown = [&](tern::UpdatePhase phase, int position) {
                              if (phase == tern::UpdatePhase::WritingFirmware && position == 80)
                                ok = update.grab().save(folder + "update-dialog.png") && ok;
                            }});
  update.show();
  QApplication::processEvents();
  update.StartButtonClick();

  // No polling thread here: the owner only hands the dialog the link.
  tern::DirectHandOver handOver;
  tern::PollingOwner polling(link, handOver, [](tern::HandOver&) { return nullptr; });
  tern::TReceiveTest test(polling);
  test.show();
  QElapsedTimer waited;
  waited.start();
  while (waited.elapsed() < 16000) QApplication::processEvents(QEventLoop::AllEvents, 20);
  ok = test.grab().save(folder + "receive-test.png") && ok;
  test.close();
  return ok ? 0 : 1;
}
