// tern-cli update: the firmware update for headless machines. The same version rule, read-out
// before programming, transfer and outcomes as the window; progress goes to standard error,
// page by page. Exit status 0 when the receiver reprograms itself, runs the new firmware or
// already has it (a periodic script sees no failure then).
#include <unistd.h>

#include <functional>
#include <iostream>
#include <memory>
#include <string>

#include "assembly/firmware_source.h"
#include "assembly/port_factory.h"
#include "cli/cli_args.h"
#include "cli/commands.h"
#include "cli/stderr_sink.h"
#include "common/clock.h"
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

// One line per page; on a terminal the line is rewritten in place, and closed before
// anything else is said.
struct ProgressPrinter {
  std::optional<UpdatePhase> shown;
  bool lineOpen = false;
  const bool terminal = ::isatty(STDERR_FILENO) == 1;

  void close() {
    if (lineOpen) std::cerr << '\n';
    lineOpen = false;
  }
  void operator()(UpdatePhase phase, int position, int maximum) {
    // A phase opens with a call before its first page.
    if (shown != phase) {
      close();
      std::cerr << UpdatePhaseText(phase) << '\n';
      shown = phase;
      return;
    }
    if (phase == UpdatePhase::AwaitingReceiver) return;
    std::cerr << (terminal ? "\r" : "") << "  Seite " << position + 1 << " von " << maximum + 1;
    lineOpen = terminal && position < maximum;
    if (!lineOpen) std::cerr << '\n';
    std::cerr << std::flush;
  }
};

}  // namespace

int cmdUpdate(const Words& words) {
  Args args(words, {"--port", "--program-folder", "--data-folder"});
  if (int status = refuseOptions(args, {"--simulate", "--force"}, "update")) return status;
  if (int status = refuseArguments(args)) return status;
  const SessionOptions options = sessionOptionsOf(args);
  if (options.simulate && options.portPath) return refuseSimulateWithPort();
  const bool forced = args.flag("--force");

  SystemClock clock;
  const std::unique_ptr<TTERN> link = makeLink(options.access(), clock);
  std::string text;
  std::optional<std::string> version;
  if (link->ReadFirmwareVersion(text, true)) version = text;
  std::cerr << "Firmware des Empfängers: " << version.value_or("(keine Antwort)") << '\n';
  FirmwareFiles files = firmwareFilesFor(
      options.access(), firmwareFolders(options.userDataFolder, programFolderOf(options)));
  // Running this command is the user's explicit request: unusable files are always told.
  if (files.state != FirmwareFiles::State::Installed)
    return fail(OfferFor(files, version, true).text, 1);
  std::cerr << "Angebotene Firmware: " << files.images->Version() << '\n';
  if (!UpdateWanted(version, files.images->Version(), forced)) {
    if (!version)
      return fail(
          "Die Firmware des Empfängers lässt sich nicht lesen; nichts getan (--force "
          "aktualisiert trotzdem)",
          1);
    std::cout << "Die Firmware des Empfängers ist aktuell (" << *version
              << "); nichts zu tun (--force spielt sie trotzdem auf)\n";
    return 0;
  }

  // Reprogramming erases the receiver's messages: they go into the data folder first, the
  // window's unless another is given, written as its one writer.
  const FolderClaim folder(options);
  if (int refused = requireOwnDataFolder(folder, 1)) return refused;
  const std::string& data = folder.DataFolder();
  StderrSink sink;
  const std::unique_ptr<MessageStore> store = folder.OpenStore(sink);
  std::cerr << kReadoutBeforeUpdateText << " (" << data << ")\n";
  UpdateReadout readout = ReadOutBeforeUpdate(*link, *store, clock);
  if (!readout.complete() && !answeredYes(ReadoutFailedQuestion(readout)))
    return fail("Update nicht begonnen; die Meldungen bleiben im Empfänger", 1);

  ProgressPrinter progress;
  UpdateResult result = WriteAndProgram(*link, *files.images, clock, std::ref(progress));
  progress.close();
  if (!UpdateSucceeded(result.outcome)) {
    std::string why = LostAcknowledgementText(result);
    return fail(why.empty() ? std::string(TransferFailure(result.outcome).message) : why, 1);
  }
  std::cerr << kProgrammingStartedText << '\n';
  if (result.outcome == UpdateOutcome::NewFirmwareRunning)
    std::cerr << "Der Empfänger hat den Start nicht bestätigt, arbeitet aber jetzt mit der "
                 "Firmware "
              << result.firmware << ".\n";
  std::cerr << "Der Empfänger formatiert jetzt seinen Speicher (seine Meldungen wurden in " << data
            << " gesichert); bitte etwa 10 Sekunden warten, bevor er wieder benutzt wird.\n";
  return 0;
}

}  // namespace tern::cli
