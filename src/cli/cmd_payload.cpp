// tern-cli payload: the schedule block that a data folder's settings file yields with the
// program folder's schedule files, exactly as the receiver would be sent it.
#include <iostream>

#include "cli/cli_args.h"
#include "cli/commands.h"
#include "cli/stderr_sink.h"
#include "common/folders.h"
#include "common/latin1.h"
#include "config/tree_control.h"

namespace tern::cli {

int cmdPayload(const Words& words) {
  Args args(words, {"--data-folder", "--program-folder"});
  if (args.missingValue()) return fail(*args.missingValue() + " needs a value");
  if (auto unknown = args.firstUnknown({})) return fail("unknown option " + *unknown);
  if (!args.positional().empty()) return fail("unexpected argument " + args.positional().front());
  const auto dataFolder = args.value("--data-folder");
  if (!dataFolder) return fail("payload needs --data-folder DIR");
  if (int status = requireDataFolder(withTrailingSlash(*dataFolder))) return status;
  const std::string programFolder = programFolderOption(args);
  // Rather than print the block of the stand-in schedules.
  if (int status = requireScheduleFiles(programFolder)) return status;

  StderrSink sink;
  TTreeControl control(sink, withTrailingSlash(*dataFolder));
  control.AddSchedules(programFolder);
  switch (control.LoadSettings()) {
    case SettingsLoad::Valid:
      break;
    case SettingsLoad::Missing:
      std::cerr << "tern-cli: no settings file in " << *dataFolder << ": defaults\n";
      break;
    case SettingsLoad::Invalid:
      std::cerr << "tern-cli: settings file " << control.SettingsPath()
                << " does not fit the schedule files: defaults\n";
      break;
  }
  const SchedulePayload& payload = control.Payload();
  for (int k = 0; k < kPayloadSlots; ++k)
    std::cout << toHex(ByteView(payload.data() + k * 10, 10)) << '\n';
  std::cout << toHex(ByteView(payload.data() + kPayloadSize - 1, 1)) << '\n';
  return 0;
}

}  // namespace tern::cli
