// Whether to offer the firmware update: at start-up against the receiver's version, on the
// command-line pair "FORCE" "UPDATE", and from the reception test for firmware 1.0.0. Only
// installed images whose manifest vouches for them are ever offered for writing, and the
// version they are compared with is the manifest's.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "link/ttern.h"
#include "update/firmware_images.h"

namespace tern {

// The update formats the receiver's message memory; every question that leads to it says
// that nothing is lost.
inline constexpr std::string_view kReadoutFirstSentence =
    "Vorher werden alle Meldungen aus dem Empfänger gelesen und gespeichert.";
inline const std::string kUpdateQuestion =
    "Es ist eine neue Firmware für den angeschlossenen Empfänger verfügbar. Soll das Update "
    "jetzt durchgeführt werden? " +
    std::string(kReadoutFirstSentence);

// True for exactly the two parameters "FORCE" "UPDATE", in any letter case.
bool IsUpdateForced(const std::vector<std::string>& parameters);

// The version rule. `receiverVersion` is the receiver's version text, nothing when it could
// not be read; `offeredVersion` the version of the installed images. A text that does not
// parse counts as no reading at all, so a receiver that cannot be read is offered the update
// only when it is forced.
bool UpdateWanted(const std::optional<std::string>& receiverVersion,
                  const std::optional<std::string>& offeredVersion, bool forced);

struct FirmwareOffer {
  enum class Kind {
    None,    // nothing to do
    Ask,     // ask kUpdateQuestion, then show the update
    Refuse,  // tell the user `text`: the update was wanted but cannot be done
  };
  Kind kind = Kind::None;
  std::string text;
};

// What to do about the files found, given the receiver's version. An update the user asked
// for (forced, or chosen from the reception test) is always answered: asked, or refused with
// the reason. Otherwise installed images are offered when they are newer than the receiver's
// firmware, and unusable files are told when they might be newer (their manifest gives no
// readable version, or a newer one); without files nothing is said.
FirmwareOffer OfferFor(const FirmwareFiles& files,
                       const std::optional<std::string>& receiverVersion, bool askedFor);

// The start-up check: reads the receiver's version (opening and closing the link itself)
// and applies OfferFor. Call it while no other thread uses the link.
FirmwareOffer CheckFirmware(TTERN& link, const FirmwareFiles& files, bool forced);

}  // namespace tern
