// The update once the messages are safe: the transfer, the start of programming, and when
// its acknowledgement is missing or wrong, finding out what the receiver does. A lost answer
// is not a refusal: the receiver may be reprogramming itself already, and starting again or
// unplugging it then could leave it unusable. So the user is told not to unplug it, the
// program waits as long as a receiver needs to reprogram itself, asks for its identity and
// firmware version and tells which of three outcomes holds.
#pragma once

#include <chrono>
#include <stop_token>
#include <string>

#include "common/clock.h"
#include "link/ttern.h"
#include "update/firmware_images.h"
#include "update/firmware_transfer.h"

namespace tern {

// As long as the note after an update asks the user to wait.
inline constexpr std::chrono::seconds kReprogrammingWait{10};

enum class UpdateOutcome {
  ProgrammingStarted,  // acknowledged: the receiver reprograms itself
  NewFirmwareRunning,  // not acknowledged, but afterwards the receiver runs the new version
  OldFirmwareRunning,  // not acknowledged, and the receiver still runs another version: the
                       // update did not start and may be tried again
  NoAnswer,            // not acknowledged, and the receiver does not answer after the wait
  BootLoaderDiffers,   // the read-back differs: programming was never asked for
  FirmwareDiffers,
};

struct UpdateResult {
  UpdateOutcome outcome = UpdateOutcome::NoAnswer;
  std::string firmware;  // what the receiver reported after the wait
  std::string serial;
};

// True when the receiver reprograms itself or already runs the new firmware.
bool UpdateSucceeded(UpdateOutcome outcome);

// Transfers and verifies both images (firmware_transfer.h), then sends StartProgramming with
// the images' unlock sequence. Without a valid acknowledgement it reports AwaitingReceiver
// each second for kReprogrammingWait, then reads the receiver's firmware version and serial
// number. The link is closed afterwards in every case. A stop request before the start of
// programming leaves the receiver unprogrammed (OldFirmwareRunning with no version read); one
// during the wait cuts it short.
UpdateResult WriteAndProgram(TTERN& link, const FirmwareImages& images, Clock& clock,
                             const UpdateProgress& progress, std::stop_token stop = {});

// The texts of a failed verification (BootLoaderDiffers, FirmwareDiffers); empty otherwise.
TransferFailureTexts TransferFailure(UpdateOutcome outcome);

// What to tell the user about a lost acknowledgement: OldFirmwareRunning and NoAnswer give
// a German message (what holds and what to do), every other outcome the empty text.
std::string LostAcknowledgementText(const UpdateResult& result);
// The dialog's short status for OldFirmwareRunning and NoAnswer.
std::string_view LostAcknowledgementStatus(UpdateOutcome outcome);

}  // namespace tern
