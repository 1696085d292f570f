// tern-cli info: asks the receiver who it is and how it is, one "key: value" line each, so
// a script (or a user at a headless machine) can check the link without the window.
#include <cstdio>
#include <iostream>
#include <memory>
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

const char* const kNoAnswer = "(no answer)";

}  // namespace

int cmdInfo(const Words& words) {
  Args args(words, {"--port"});
  if (args.missingValue()) return fail(*args.missingValue() + " needs a value");
  if (auto unknown = args.firstUnknown({"--simulate"})) return fail("unknown option " + *unknown);
  if (!args.positional().empty()) return fail("info takes no arguments");
  auto portPath = args.value("--port");
  bool simulate = args.flag("--simulate");
  if (simulate && portPath) return fail("--simulate and --port exclude each other");

  SystemClock clock;
  const std::unique_ptr<TTERN> linkObject = makeLink(ReceiverAccess{simulate, portPath}, clock);
  TTERN& link = *linkObject;

  if (!link.IsReceiverPresent()) {
    line("present", "no");
    return fail("no receiver found", 1);
  }
  line("present", "yes");
  // Like the polling loop: a receiver counts as attached when one of two pings is answered.
  if (!link.Ping(true) && !link.Ping(true)) {
    line("answers", "no");
    if (std::string problem = link.AccessProblemText(); !problem.empty()) return fail(problem, 1);
    return fail(std::string("the receiver does not answer (") +
                    std::string(toString(link.LastLinkStatus())) + ")",
                1);
  }
  line("answers", "yes");

  std::string serial, firmware;
  line("serial-number", link.ReadSerialNumber(serial, true) ? serial : kNoAnswer);
  if (link.ReadFirmwareVersion(firmware, true)) {
    line("firmware", firmware);
    auto number = FirmwareVersionNumber(firmware);
    line("firmware-number", number ? std::to_string(*number) : "(not a version)");
  } else {
    line("firmware", kNoAnswer);
    line("firmware-number", kNoAnswer);
  }

  CivilTime time;
  bool clockValid = false;
  if (link.ReadClock(time, clockValid, true)) {
    line("clock", formatIsoLike(time) + " UTC");
    line("clock-valid", clockValid ? "yes" : "no");
  } else {
    line("clock", kNoAnswer);
    line("clock-valid", kNoAnswer);
  }

  std::uint16_t word = 0;
  if (link.ReadStatus(word, true)) {
    char hex[8];
    std::snprintf(hex, sizeof hex, "0x%04X", word);
    line("status-word", hex);
  } else {
    line("status-word", kNoAnswer);
  }

  if (link.ReadBaroNow(true)) {
    line("pressure", fixed((100000.0 + link.Pressure) / 100.0, 2) + " hPa");
    line("temperature", fixed(link.Temperature / 10.0, 1) + " \u00B0C");
  } else {
    line("pressure", kNoAnswer);
    line("temperature", kNoAnswer);
  }
  return 0;
}

}  // namespace tern::cli
