// TUpdateForm: the firmware update dialog. It shows what the core (update/) does: first the
// read-out of every message the receiver holds, then the transfer, the start of programming
// and, when the receiver's answer to that start got lost, which of the outcomes holds. The
// work runs on a worker thread of the dialog, so the window keeps painting and shows the
// progress; its buttons stay disabled until the outcome is known. The caller hands it a
// link nobody else uses meanwhile.
#pragma once

#include <QDialog>
#include <thread>
#include <utility>
#include <vector>

#include "common/clock.h"
#include "common/message_sink.h"
#include "link/ttern.h"
#include "messages/message_store.h"
#include "update/firmware_images.h"
#include "update/firmware_update.h"
#include "update/readout_before_update.h"

class QLabel;
class QProgressBar;
class QPushButton;

namespace tern {

class WindowQueue;

// Thread: window thread only; the worker it starts touches only the link, the store (under
// its lock), the clock and the images, and reports back through the window queue.
class TUpdateForm : public QDialog {
  Q_OBJECT
 public:
  TUpdateForm(TTERN& link, const FirmwareImages& images, MessageStore& store, Clock& clock,
              MessageSink& messages, QWidget* parent = nullptr);
  ~TUpdateForm() override;  // waits for the worker

  // Starts the read-out; the rest follows on its own. Returns at once.
  void StartButtonClick();
  // True from the start until the outcome is known (or the user declined to go on).
  bool Busy() const { return busy_; }
  // The NAVTEX records the read-out before the update appended, for the news.
  std::vector<NavtexAppended> TakeNavtexAppended() { return std::exchange(navtexAppended_, {}); }

  QLabel* StatusLabel = nullptr;
  QProgressBar* ProgressBar1 = nullptr;
  QPushButton* StartButton = nullptr;
  QPushButton* CancelUpdateButton = nullptr;

 public:
  // Esc and the window's close are refused while the work runs.
  void reject() override;

 signals:
  // The program is to end once control is back in its message loop (a failed verification,
  // or a receiver that does not answer after a lost acknowledgement).
  void quitRequested();
  // Programming started; the note about it is due before the dialog closes.
  void programmingStarted();
  // A progress step was shown (on the window thread); tests and screenshots look in here.
  void progressShown(tern::UpdatePhase phase, int position);

 private:
  void setBusy(bool busy);
  void showProgress(UpdatePhase phase, int position, int maximum);
  void readoutFinished(const UpdateReadout& readout);
  void startTransfer();
  void transferFinished(const UpdateResult& result);
  // Ends the dialog after a failure that leaves the receiver in doubt: the program ends.
  void endWithQuit();

  TTERN& link_;
  const FirmwareImages& images_;
  MessageStore& store_;
  Clock& clock_;
  MessageSink& messages_;
  bool busy_ = false;
  std::vector<NavtexAppended> navtexAppended_;
  WindowQueue* toWindow_ = nullptr;  // a child: the worker's reports
  std::jthread worker_;              // last member: joined before the others go
};

}  // namespace tern
