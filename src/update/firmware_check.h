// Whether to offer the firmware update: at start-up against the receiver's version, on the
// command-line pair "FORCE" "UPDATE", and from the reception test for firmware 1.0.0. Only
// installed images of the right size are ever offered for writing.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "link/ttern.h"
#include "update/firmware_images.h"

namespace tern {

inline constexpr std::string_view kUpdateQuestion =
    "Es ist eine neue Firmware für den angeschlossenen Empfänger verfügbar. Soll das Update "
    "jetzt durchgeführt werden?";

// True for exactly the two parameters "FORCE" "UPDATE", in any letter case.
bool IsUpdateForced(const std::vector<std::string>& parameters);

// The version rule. `receiverVersion` is the receiver's version text, nothing when it could
// not be read. A text that does not parse counts as no reading at all, so a receiver that
// cannot be read is offered the update only when it is forced.
bool UpdateWanted(const std::optional<std::string>& receiverVersion, bool forced);

struct FirmwareOffer {
  enum class Kind {
    None,    // nothing to do
    Ask,     // ask kUpdateQuestion, then show the update
    Refuse,  // tell the user `text`: the update was wanted but cannot be done
  };
  Kind kind = Kind::None;
  std::string text;
};

// What to do once an update is wanted, given what the program folder holds: without any
// image files only an update the user asked for (forced, or chosen from the reception test)
// is answered, with kNoFirmwareFilesText; unusable files
// are always told.
FirmwareOffer OfferFor(const FirmwareFiles& files, bool askedFor);

// The start-up check: reads the receiver's version (opening and closing the link itself),
// applies the version rule and OfferFor. Call it while no other thread uses the link.
FirmwareOffer CheckFirmware(TTERN& link, const FirmwareFiles& files, bool forced);

}  // namespace tern
