// tern-cli info: asks the receiver who it is and how it is, one "key: value" line each, so
// a script (or a user at a headless machine) can check the link without the window.
#include <cstdio>
#include <iostream>
#include <memory>
#include <optional>
#include <string>

#include "assembly/port_factory.h"
#include "cli/cli_args.h"
#include "cli/commands.h"
#include "common/clock.h"
#include "link/firmware_version.h"
#include "link/ttern.h"

namespace tern::cli {

namespace {

void line(const std::string& key, const std::string& value) {
  std::cout << key << ": " << value << '\n';
}

std::string fixed(double v, int decimals) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%.*f", decimals, v);
  return buf;
}

const char* const kNoAnswer = "(keine Antwort)";

}  // namespace

int cmdInfo(const Words& words) {
  Args args(words, {"--port"});
  if (int status = refuseOptions(args, {"--simulate"}, "info")) return status;
  if (int status = refuseArguments(args)) return status;
  const std::optional<ReceiverAccess> access = receiverAccessOption(args);
  if (!access) return 2;

  SystemClock clock;
  const std::unique_ptr<TTERN> linkObject = makeLink(*access, clock);
  TTERN& link = *linkObject;

  if (!link.IsReceiverPresent()) {
    line("vorhanden", "nein");
    return fail("Kein Empfänger gefunden", 1);
  }
  line("vorhanden", "ja");
  // Like the polling loop: a receiver counts as attached when one of two pings is answered.
  if (!link.Ping(true) && !link.Ping(true)) {
    line("antwortet", "nein");
    if (std::string problem = link.AccessProblemText(); !problem.empty()) return fail(problem, 1);
    return fail(std::string("Der Empfänger antwortet nicht (") +
                    std::string(toString(link.LastLinkStatus())) + ")",
                1);
  }
  line("antwortet", "ja");

  std::string serial, firmware;
  line("seriennummer", link.ReadSerialNumber(serial, true) ? serial : kNoAnswer);
  if (link.ReadFirmwareVersion(firmware, true)) {
    line("firmware", firmware);
    auto number = FirmwareVersionNumber(firmware);
    line("firmware-nummer", number ? std::to_string(*number) : "(keine Versionsangabe)");
  } else {
    line("firmware", kNoAnswer);
    line("firmware-nummer", kNoAnswer);
  }

  CivilTime time;
  bool clockValid = false;
  if (link.ReadClock(time, clockValid, true)) {
    line("uhr", formatIsoLike(time) + " UTC");
    line("uhr-gueltig", clockValid ? "ja" : "nein");
  } else {
    line("uhr", kNoAnswer);
    line("uhr-gueltig", kNoAnswer);
  }

  std::uint16_t word = 0;
  if (link.ReadStatus(word, true)) {
    char hex[8];
    std::snprintf(hex, sizeof hex, "0x%04X", word);
    line("statuswort", hex);
  } else {
    line("statuswort", kNoAnswer);
  }

  if (link.ReadBaroNow(true)) {
    line("luftdruck", fixed((100000.0 + link.Pressure) / 100.0, 2) + " hPa");
    line("temperatur", fixed(link.Temperature / 10.0, 1) + " \u00B0C");
  } else {
    line("luftdruck", kNoAnswer);
    line("temperatur", kNoAnswer);
  }
  return 0;
}

}  // namespace tern::cli
