// tern-cli payload: the schedule block that a data folder's settings file yields with the
// program folder's schedule files, exactly as the receiver would be sent it.
#include <iostream>

#include "cli/cli_args.h"
#include "cli/commands.h"
#include "cli/stderr_sink.h"
#include "common/latin1.h"

namespace tern::cli {

int cmdPayload(const Words& words) {
  Args args(words, {"--data-folder", "--program-folder"});
  if (int status = refuseOptions(args, {}, "payload")) return status;
  if (int status = refuseArguments(args)) return status;
  const auto dataFolder = args.value("--data-folder");
  if (!dataFolder) return fail("payload braucht --data-folder ORDNER");
  StderrSink sink;
  ReadOnlySession session(sessionOptionsOf(args), &sink);
  if (int status = requireDataFolder(session)) return status;
  // Rather than print the block of the stand-in schedules.
  if (int status = requireScheduleFiles(session.ProgramFolder())) return status;

  const TTreeControl& control = settingsOrDefaultsSaid(session);
  if (session.SettingsState() == SettingsLoad::Missing)
    std::cerr << "tern-cli: keine Einstellungsdatei in " << *dataFolder
              << ": es gelten die Voreinstellungen\n";
  const SchedulePayload& payload = control.Payload();
  for (int k = 0; k < kPayloadSlots; ++k)
    std::cout << toHex(ByteView(payload.data() + k * 10, 10)) << '\n';
  std::cout << toHex(ByteView(payload.data() + kPayloadSize - 1, 1)) << '\n';
  return 0;
}

}  // namespace tern::cli
