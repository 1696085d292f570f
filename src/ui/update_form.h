// TUpdateForm: the firmware update dialog. It runs the transfer of the core (update/) on the
// window thread and shows its phases and pages; after a verified transfer it tells the
// receiver to reprogram itself. The caller hands it a link nobody else uses meanwhile.
#pragma once

#include <QDialog>
#include <functional>

#include "common/message_sink.h"
#include "link/ttern.h"
#include "update/firmware_images.h"
#include "update/firmware_transfer.h"

class QLabel;
class QProgressBar;
class QPushButton;

namespace tern {

// Thread: window thread only.
class TUpdateForm : public QDialog {
  Q_OBJECT
 public:
  struct Hooks {
    // Ends the program once control is back in its message loop (a failed verification).
    std::function<void()> requestQuit;
    // The note shown after programming started.
    std::function<void()> showUpdateInfo;
    // Told after each repaint of the progress; tests and screenshots look in here.
    std::function<void(UpdatePhase phase, int position)> progressShown;
  };

  TUpdateForm(TTERN& link, const FirmwareImages& images, MessageSink& messages, Hooks hooks,
              QWidget* parent = nullptr);

  void StartButtonClick();

  QLabel* StatusLabel = nullptr;
  QProgressBar* ProgressBar1 = nullptr;
  QPushButton* StartButton = nullptr;
  QPushButton* CancelUpdateButton = nullptr;

 private:
  void showProgress(UpdatePhase phase, int position, int maximum);

  TTERN& link_;
  const FirmwareImages& images_;
  MessageSink& messages_;
  Hooks hooks_;
};

}  // namespace tern
