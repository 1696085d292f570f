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

std::optional<std::int64_t> numberOf(const std::optional<std::string>& version) {
  return version ? FirmwareVersionNumber(*version) : std::nullopt;
}

}  // namespace

bool IsUpdateForced(const std::vector<std::string>& parameters) {
  return parameters.size() == 2 && equalsIgnoringCase(parameters[0], "FORCE") &&
         equalsIgnoringCase(parameters[1], "UPDATE");
}

bool UpdateWanted(const std::optional<std::string>& receiverVersion,
                  const std::optional<std::string>& offeredVersion, bool forced) {
  if (forced) return true;
  std::optional<std::int64_t> receiver = numberOf(receiverVersion);
  std::optional<std::int64_t> offered = numberOf(offeredVersion);
  return receiver && offered && *offered > *receiver;
}

FirmwareOffer OfferFor(const FirmwareFiles& files,
                       const std::optional<std::string>& receiverVersion, bool askedFor) {
  switch (files.state) {
    case FirmwareFiles::State::Installed:
      if (!UpdateWanted(receiverVersion, files.images->Version(), askedFor)) return {};
      return {FirmwareOffer::Kind::Ask, kUpdateQuestion};
    case FirmwareFiles::State::Unusable:
      // A manifest without a readable version might stand for a newer firmware: told too.
      if (!askedFor &&
          (!numberOf(receiverVersion) ||
           (numberOf(files.version) && !UpdateWanted(receiverVersion, files.version, false))))
        return {};
      return {FirmwareOffer::Kind::Refuse, files.problem};
    case FirmwareFiles::State::Missing:
      break;
  }
  if (askedFor) return {FirmwareOffer::Kind::Refuse, NoFirmwareFilesText(files.lookedIn)};
  return {};
}

FirmwareOffer CheckFirmware(TTERN& link, const FirmwareFiles& files, bool forced) {
  std::string text;
  std::optional<std::string> version;
  if (link.ReadFirmwareVersion(text, true)) version = text;
  return OfferFor(files, version, forced);
}

}  // namespace tern
