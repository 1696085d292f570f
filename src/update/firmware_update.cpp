#include "update/firmware_update.h"

#include "link/firmware_version.h"

namespace tern {

bool UpdateSucceeded(UpdateOutcome outcome) {
  return outcome == UpdateOutcome::ProgrammingStarted ||
         outcome == UpdateOutcome::NewFirmwareRunning;
}

namespace {

// After a lost acknowledgement: wait, then ask.
UpdateResult askAfterTheWait(TTERN& link, const FirmwareImages& images, Clock& clock,
                             const UpdateProgress& progress, std::stop_token stop) {
  const int seconds = static_cast<int>(kReprogrammingWait.count());
  if (progress) progress(UpdatePhase::AwaitingReceiver, 0, seconds);
  for (int s = 1; s <= seconds; ++s) {
    if (!clock.sleepFor(std::chrono::seconds(1), stop)) break;
    if (progress) progress(UpdatePhase::AwaitingReceiver, s, seconds);
  }
  UpdateResult result;
  // A receiver that restarted is a new device on the bus: each question opens afresh.
  if (!link.ReadFirmwareVersion(result.firmware, true)) return result;  // NoAnswer
  link.ReadSerialNumber(result.serial, true);
  // Only the version the images stand for counts as new; a garbled text is not it.
  const bool isNew =
      FirmwareVersionNumber(result.firmware) == FirmwareVersionNumber(images.Version());
  result.outcome = isNew ? UpdateOutcome::NewFirmwareRunning : UpdateOutcome::OldFirmwareRunning;
  return result;
}

}  // namespace

UpdateResult WriteAndProgram(TTERN& link, const FirmwareImages& images, Clock& clock,
                             const UpdateProgress& progress, std::stop_token stop) {
  switch (TransferFirmware(link, images, progress)) {
    case TransferResult::BootLoaderDiffers:
      return {UpdateOutcome::BootLoaderDiffers, {}, {}};
    case TransferResult::FirmwareDiffers:
      return {UpdateOutcome::FirmwareDiffers, {}, {}};
    case TransferResult::Verified:
      break;
  }
  if (stop.stop_requested()) {
    link.CloseLink();
    return {UpdateOutcome::OldFirmwareRunning, {}, {}};
  }
  const bool acknowledged = link.StartProgramming(images.Unlock(), false);
  link.CloseLink();
  if (acknowledged) return {UpdateOutcome::ProgrammingStarted, {}, {}};
  return askAfterTheWait(link, images, clock, progress, stop);
}

TransferFailureTexts TransferFailure(UpdateOutcome outcome) {
  if (outcome == UpdateOutcome::BootLoaderDiffers)
    return TransferFailure(TransferResult::BootLoaderDiffers);
  if (outcome == UpdateOutcome::FirmwareDiffers)
    return TransferFailure(TransferResult::FirmwareDiffers);
  return {};
}

std::string LostAcknowledgementText(const UpdateResult& result) {
  const std::string head = "Der Empfänger hat den Start der Programmierung nicht bestätigt";
  switch (result.outcome) {
    case UpdateOutcome::OldFirmwareRunning:
      return head +
             (result.firmware.empty()
                  ? std::string(".")
                  : " und arbeitet weiter mit der Firmware " + result.firmware + ".") +
             " Das Update wurde nicht gestartet; Sie können es noch einmal versuchen.";
    case UpdateOutcome::NoAnswer:
      return head +
             " und antwortet nicht. Möglicherweise programmiert er sich noch.\n\n"
             "Bitte warten Sie eine Minute. Trennen Sie dann den Empfänger vom Computer, "
             "schließen Sie ihn wieder an und starten Sie die TERN Anwendung noch einmal.";
    default:
      return {};
  }
}

std::string_view LostAcknowledgementStatus(UpdateOutcome outcome) {
  switch (outcome) {
    case UpdateOutcome::OldFirmwareRunning:
      return "Update nicht gestartet.";
    case UpdateOutcome::NoAnswer:
      return "Der Empfänger antwortet nicht.";
    default:
      return {};
  }
}

}  // namespace tern
