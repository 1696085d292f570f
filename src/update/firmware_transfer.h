// The firmware transfer: both images written page by page into the receiver's memory, read
// back and compared. The comparison is the only test of the transfer; single page commands
// are not looked at, so a receiver that vanishes midway shows up as a difference. The
// window's update dialog and `tern-cli update` both run it and only show its progress.
#pragma once

#include <functional>
#include <string_view>

#include "link/ttern.h"
#include "update/firmware_images.h"

namespace tern {

enum class UpdatePhase {
  WritingBootLoader,
  WritingFirmware,
  VerifyingBootLoader,
  VerifyingFirmware,
  // The start of programming was not acknowledged: waiting for the receiver (firmware_update.h).
  AwaitingReceiver
};

// The status text of a phase, as the update dialog shows it.
std::string_view UpdatePhaseText(UpdatePhase phase);

// Called at the start of each phase with position 0 and after each page with the page's
// index within the phase; `maximum` is the phase's last index (15 or 126). While awaiting
// the receiver, position counts the seconds waited up to `maximum`.
using UpdateProgress = std::function<void(UpdatePhase phase, int position, int maximum)>;

enum class TransferResult { Verified, BootLoaderDiffers, FirmwareDiffers };

// Message box and status texts after a failed verification (the status text of the boot
// loader writes "schreiben" in small letters, as the receiver's users know it).
struct TransferFailureTexts {
  std::string_view message;
  std::string_view status;
};
TransferFailureTexts TransferFailure(TransferResult result);

inline constexpr std::string_view kProgrammingStartedText = "Programmierung gestartet ...";

// Closes and reopens the link, writes both images (pages beyond an image's end get 0xFF),
// reads them back and compares. Leaves the link open when verified, so the caller can send
// StartProgramming; closes it on a difference. The caller must have the link to itself.
TransferResult TransferFirmware(TTERN& link, const FirmwareImages& images,
                                const UpdateProgress& progress);

}  // namespace tern
