// tern-cli update: the firmware update for headless machines. The same version rule, read-out
// before programming, transfer and outcomes as the window; progress goes to standard error.
// Exit status 0 only when the receiver reprograms itself or runs the new firmware.
#include <cstdlib>
#include <iostream>
#include <memory>
#include <string>

#include "assembly/firmware_source.h"
#include "assembly/port_factory.h"
#include "cli/cli_args.h"
#include "cli/commands.h"
#include "cli/stderr_sink.h"
#include "common/clock.h"
#include "common/folder_lock.h"
#include "common/folders.h"
#include "link/ttern.h"
#include "messages/message_store.h"
#include "update/firmware_check.h"
#include "update/firmware_update.h"
#include "update/readout_before_update.h"

namespace tern::cli {

namespace {

// The question's answer from standard input; anything but yes, and the end of the input,
// is No.
bool answeredYes(const std::string& question) {
  std::cerr << question << " [j/N] " << std::flush;
  std::string answer;
  if (!std::getline(std::cin, answer)) return false;
  return answer == "j" || answer == "J" || answer == "ja" || answer == "Ja" || answer == "y" ||
         answer == "yes";
}

void printProgress(std::optional<UpdatePhase>& shown, UpdatePhase phase, int position,
                   int maximum) {
  if (shown != phase) std::cerr << UpdatePhaseText(phase) << '\n';
  shown = phase;
  if (phase != UpdatePhase::AwaitingReceiver && position == maximum)
    std::cerr << "  " << maximum + 1 << " pages\n";
}

}  // namespace

int cmdUpdate(const Words& words) {
  Args args(words, {"--port", "--program-folder", "--data-folder"});
  if (args.missingValue()) return fail(*args.missingValue() + " needs a value");
  if (auto unknown = args.firstUnknown({"--simulate", "--force"}))
    return fail("unknown option " + *unknown);
  if (!args.positional().empty()) return fail("update takes no arguments");
  const ReceiverAccess access{args.flag("--simulate"), args.value("--port")};
  if (access.simulate && access.portPath) return fail("--simulate and --port exclude each other");
  const bool forced = args.flag("--force");
  const std::string program = programFolderOption(args);
  const std::optional<std::string> userData =
      userDataFolder(std::getenv("XDG_DATA_HOME"), std::getenv("HOME"));

  SystemClock clock;
  const std::unique_ptr<TTERN> link = makeLink(access, clock);
  std::string text;
  std::optional<std::string> version;
  if (link->ReadFirmwareVersion(text, true)) version = text;
  std::cerr << "receiver firmware: " << version.value_or("(no answer)") << '\n';
  FirmwareFiles files = firmwareFilesFor(access, firmwareFolders(userData, program));
  // Running this command is the user's explicit request: unusable files are always told.
  if (files.state != FirmwareFiles::State::Installed)
    return fail(OfferFor(files, version, true).text, 1);
  std::cerr << "offered firmware: " << files.images->Version() << '\n';
  if (!UpdateWanted(version, files.images->Version(), forced))
    return fail(version ? "the receiver's firmware is up to date; nothing done (--force updates)"
                        : "the receiver's firmware cannot be read; nothing done (--force updates)",
                1);

  // Reprogramming erases the receiver's messages: they go into the data folder first, the
  // window's unless another is given.
  const std::string data =
      chosenDataFolder(args.value("--data-folder"), access.simulate, userData, program);
  if (!makeFolders(data)) return fail("cannot create the data folder " + data, 1);
  FolderLock lock(data);
  if (lock.state() == FolderLock::State::InUse) return fail(folderInUseMessage(data), 1);
  StderrSink sink;
  MessageStore store(data, program, &sink);
  std::cerr << kReadoutBeforeUpdateText << " (" << data << ")\n";
  UpdateReadout readout = ReadOutBeforeUpdate(*link, store, clock);
  if (!readout.complete() && !answeredYes(ReadoutFailedQuestion(readout)))
    return fail("update not started; the messages stay in the receiver", 1);

  std::optional<UpdatePhase> shown;
  UpdateResult result = WriteAndProgram(*link, *files.images, clock,
                                        [&shown](UpdatePhase phase, int position, int maximum) {
                                          printProgress(shown, phase, position, maximum);
                                        });
  if (!UpdateSucceeded(result.outcome)) {
    std::string why = LostAcknowledgementText(result);
    return fail(why.empty() ? std::string(TransferFailure(result.outcome).message) : why, 1);
  }
  std::cerr << kProgrammingStartedText << '\n';
  if (result.outcome == UpdateOutcome::NewFirmwareRunning)
    std::cerr << "The receiver did not acknowledge the start, but now runs firmware "
              << result.firmware << ".\n";
  std::cerr << "The receiver formats its memory now (its messages were saved in " << data
            << "); wait about 10 seconds before using it again.\n";
  return 0;
}

}  // namespace tern::cli
