#include "update/firmware_check.h"

#include <algorithm>
#include <cctype>

#include "link/firmware_version.h"

namespace tern {

namespace {

bool equalsIgnoringCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::toupper(static_cast<unsigned char>(x)) ==
                  std::toupper(static_cast<unsigned char>(y));
         });
}

}  // namespace

bool IsUpdateForced(const std::vector<std::string>& parameters) {
  return parameters.size() == 2 && equalsIgnoringCase(parameters[0], "FORCE") &&
         equalsIgnoringCase(parameters[1], "UPDATE");
}

bool UpdateWanted(const std::optional<std::string>& receiverVersion, bool forced) {
  if (forced) return true;
  if (!receiverVersion) return false;
  std::optional<std::int64_t> receiver = FirmwareVersionNumber(*receiverVersion);
  // An unparsable text leaves both numbers at 0: no offer.
  if (!receiver) return false;
  return kCarriedFirmwareVersion > *receiver;
}

FirmwareOffer OfferFor(const FirmwareFiles& files, bool askedFor) {
  switch (files.state) {
    case FirmwareFiles::State::Installed:
      return {FirmwareOffer::Kind::Ask, std::string(kUpdateQuestion)};
    case FirmwareFiles::State::Unusable:
      return {FirmwareOffer::Kind::Refuse, files.problem};
    case FirmwareFiles::State::Missing:
      break;
  }
  if (askedFor) return {FirmwareOffer::Kind::Refuse, std::string(kNoFirmwareFilesText)};
  return {};
}

FirmwareOffer CheckFirmware(TTERN& link, const FirmwareFiles& files, bool forced) {
  std::string text;
  std::optional<std::string> version;
  if (link.ReadFirmwareVersion(text, true)) version = text;
  if (!UpdateWanted(version, forced)) return {};
  return OfferFor(files, forced);
}

}  // namespace tern
