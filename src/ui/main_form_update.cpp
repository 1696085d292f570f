// The main window's way into the firmware update and the reception test: the start-up check,
// the reception test's questions, and the exclusive use of the link both need.
#include <QApplication>
#include <QMetaObject>

#include "assembly/application_session.h"
#include "link/receive_test_text.h"
#include "ui/main_form.h"
#include "ui/receive_test_form.h"
#include "ui/update_form.h"
#include "ui/update_info_form.h"
#include "update/firmware_check.h"

namespace tern {

void TMainForm::requestQuit() {
  if (context_.requestQuit) {
    context_.requestQuit();
    return;
  }
  // Queued: a quit asked for inside the show step, before the message loop runs, would
  // otherwise be lost; this one waits in the queue for the loop.
  QMetaObject::invokeMethod(qApp, &QCoreApplication::quit, Qt::QueuedConnection);
}

bool TMainForm::showUpdateForm(const PollingOwner::ExclusiveLink& exclusive) {
  if (!firmwareFiles_.images) return true;
  bool quit = false;
  TUpdateForm form(exclusive.Link(), *firmwareFiles_.images, session_->Store(),
                   session_->WallClock(), *messages_, this);
  connect(&form, &TUpdateForm::quitRequested, this, [this, &quit] {
    quit = true;
    requestQuit();
  });
  connect(&form, &TUpdateForm::programmingStarted, this, [this] {
    if (context_.showUpdateInfo) {
      context_.showUpdateInfo();
    } else {
      updateInfo_->exec();
    }
  });
  form.exec();
  exclusive.KeepNavtexNews(form.TakeNavtexAppended());
  return !quit;
}

bool TMainForm::CheckFirmware() {
  // The window reaches the receiver only through the polling owner: a polling thread that
  // runs already is stopped for the question and the update, and started afresh after.
  std::optional<PollingOwner::ExclusiveLink> exclusive = session_->Polling().TakeLink();
  if (!exclusive) return true;  // refused (shut down, or a dialog has it): nothing to check
  FirmwareOffer offer =
      tern::CheckFirmware(exclusive->Link(), firmwareFiles_, context_.forceUpdate);
  switch (offer.kind) {
    case FirmwareOffer::Kind::None:
      return true;
    case FirmwareOffer::Kind::Refuse:
      messages_->showMessage(MessageKind::Warning, offer.text);
      return true;
    case FirmwareOffer::Kind::Ask:
      break;
  }
  if (!messages_->askYesNo(offer.text, false)) return true;
  return showUpdateForm(*exclusive);
}

void TMainForm::ReceiveTestToolButtonClick() {
  const TGetDataThread* thread = session_->Thread();
  const std::string firmware = thread != nullptr ? thread->FirmwareText() : "";
  if (FirmwareTooOldForReceiveTest(firmware)) {
    if (!messages_->askYesNo(
            std::string(kReceiveTestNeedsUpdateQuestion) + " " + std::string(kReadoutFirstSentence),
            false))
      return;
    FirmwareOffer offer = OfferFor(firmwareFiles_, firmware, true);
    if (offer.kind == FirmwareOffer::Kind::Refuse) {
      messages_->showMessage(MessageKind::Warning, offer.text);
      return;
    }
    // The polling thread stays off the link for the whole update, or their exchanges
    // would interleave and leave a half-written receiver.
    std::optional<PollingOwner::ExclusiveLink> exclusive = session_->Polling().TakeLink();
    if (exclusive) showUpdateForm(*exclusive);
    return;
  }
  if (!messages_->askYesNo(std::string(kReceiveTestQuestion), false)) return;
  TReceiveTest dialog(session_->Polling(), session_->DataFolder(), this);
  dialog.exec();
}

}  // namespace tern
