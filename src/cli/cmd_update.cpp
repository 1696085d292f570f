// tern-cli update: the firmware update for headless machines. The same version rule and
// transfer as the window; progress goes to standard error. Exit status 0 only when the
// receiver started programming itself.
#include <iostream>
#include <memory>
#include <string>

#include "assembly/firmware_source.h"
#include "assembly/port_factory.h"
#include "cli/cli_args.h"
#include "cli/commands.h"
#include "common/clock.h"
#include "link/ttern.h"
#include "update/firmware_check.h"
#include "update/firmware_transfer.h"

namespace tern::cli {

int cmdUpdate(const Words& words) {
  Args args(words, {"--port", "--program-folder"});
  if (args.missingValue()) return fail(*args.missingValue() + " needs a value");
  if (auto unknown = args.firstUnknown({"--simulate", "--force"}))
    return fail("unknown option " + *unknown);
  if (!args.positional().empty()) return fail("update takes no arguments");
  const ReceiverAccess access{args.flag("--simulate"), args.value("--port")};
  if (access.simulate && access.portPath) return fail("--simulate and --port exclude each other");
  const bool forced = args.flag("--force");

  SystemClock clock;
  const std::unique_ptr<TTERN> link = makeLink(access, clock);
  std::string text;
  std::optional<std::string> version;
  if (link->ReadFirmwareVersion(text, true)) version = text;
  std::cerr << "receiver firmware: " << version.value_or("(no answer)") << '\n';
  if (!UpdateWanted(version, forced))
    return fail(version ? "the receiver's firmware is up to date; nothing done (--force updates)"
                        : "the receiver's firmware cannot be read; nothing done (--force updates)",
                1);
  // Running this command is the user's explicit request.
  FirmwareFiles files = firmwareFilesFor(access, programFolderOption(args));
  FirmwareOffer offer = OfferFor(files, true);
  if (offer.kind != FirmwareOffer::Kind::Ask) return fail(offer.text, 1);

  std::optional<UpdatePhase> shown;
  TransferResult result = TransferFirmware(*link, *files.images,
                                           [&shown](UpdatePhase phase, int position, int maximum) {
                                             if (shown != phase)
                                               std::cerr << UpdatePhaseText(phase) << '\n';
                                             shown = phase;
                                             if (position == maximum)
                                               std::cerr << "  " << maximum + 1 << " pages\n";
                                           });
  if (result != TransferResult::Verified)
    return fail(std::string(TransferFailure(result).message), 1);
  if (!link->StartProgramming(false)) {
    link->CloseLink();
    return fail("the receiver refused to start programming; try again", 1);
  }
  link->CloseLink();
  std::cerr << kProgrammingStartedText << '\n'
            << "The receiver formats its memory now (all messages are lost); wait about 10 "
               "seconds before using it again.\n";
  return 0;
}

}  // namespace tern::cli
