// tern-cli export: the automatic export for headless machines. Rebuilds the mirror of a data
// folder's newest messages in FOLDER, exactly as the program does (the fax charts with the
// slant values of the data folder's settings, the SYNOP reports as "SYNOP/synop.gpx", the
// calibrated fax rows as maps in "FAX_GEO"). The
// barograph picture is left out: without the window there is no chart to draw, so the BARO
// subfolder stays empty.
#include <iostream>

#include "cli/cli_args.h"
#include "cli/commands.h"
#include "cli/stderr_sink.h"
#include "common/clock.h"
#include "common/file_io.h"
#include "common/folders.h"
#include "config/tree_control.h"
#include "export/export_run.h"
#include "messages/message_store.h"

namespace tern::cli {

int cmdExport(const Words& words) {
  Args args(words, {"--data-folder", "--program-folder"});
  if (args.missingValue()) return fail(*args.missingValue() + " needs a value");
  if (auto unknown = args.firstUnknown({})) return fail("unknown option " + *unknown);
  const auto dataFolder = args.value("--data-folder");
  if (!dataFolder || args.positional().size() != 1)
    return fail("export needs --data-folder DIR and the export FOLDER");
  const std::string data = withTrailingSlash(*dataFolder);
  if (!isDirectory(data)) return fail("no data folder " + data);
  const std::string folder = args.positional().front();
  if (!isDirectory(folder)) return fail("the export folder " + folder + " is not a folder");
  const std::string program = programFolderOption(args);

  StderrSink sink;
  // The export reads the data folder only; a window or service may be writing it meanwhile.
  MessageStore store(data, program, &sink, MessageStore::Access::ReadOnly);
  TTreeControl settings(sink, data);
  settings.AddSchedules(program);
  settings.LoadSettings();
  ExportInput input;
  input.faxTurn = [&settings](int station) { return settings.FaxTurn(kFirstFaxTable + station); };
  input.calibrations.emplace(data);
  ExportOutcome result;
  const std::string failure = RunExport(folder, store, input, SystemClock().utcNow(), &result);
  std::cout << "written: " << result.written << " files\n";
  if (!failure.empty())
    return fail("not everything could be written (" + std::to_string(result.failed) +
                    " failures), first: " + failure,
                1);
  return 0;
}

}  // namespace tern::cli
