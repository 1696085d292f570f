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
#include "export/export_run.h"

namespace tern::cli {

int cmdExport(const Words& words) {
  Args args(words, {"--data-folder", "--program-folder"});
  if (int status = refuseOptions(args, {}, "export")) return status;
  const auto dataFolder = args.value("--data-folder");
  if (!dataFolder || args.positional().size() != 1)
    return fail("export braucht --data-folder ORDNER und den ZIELORDNER");
  StderrSink sink;
  // The export reads the data folder only; a window or service may be writing it meanwhile.
  ReadOnlySession session(sessionOptionsOf(args), &sink);
  if (int status = requireDataFolder(session, 2)) return status;
  const std::string folder = args.positional().front();
  if (fileExists(folder) && !isDirectory(folder))
    return fail("Der Zielordner " + folder + " ist kein Ordner", 1);
  // A first export on a fresh card or share: the folder is made, as the program would.
  if (!isDirectory(folder)) {
    if (!makeFolders(folder))
      return fail("Der Zielordner " + folder + " kann nicht angelegt werden", 1);
    std::cout << "Zielordner " << folder << " angelegt\n";
  }
  // The store before the settings, as the window opens them: their words about the schedule
  // files come in that order.
  const MessageStore& store = session.Store();
  const ExportInput input = session.ExportSettings();
  ExportOutcome result;
  const std::string failure = RunExport(folder, store, input, SystemClock().utcNow(), &result);
  std::cout << "Geschrieben: " << result.written << " Dateien\n";
  // Data files that could not be read whole are named as dump names them; their subfolders
  // keep the files of earlier exports.
  const int loadStatus = reportLoadProblems(store.loadProblems());
  if (result.keptIncomplete > 0)
    std::cerr << "tern-cli: " << result.keptIncomplete
              << " Unterordner behalten ihre älteren Dateien: ihre Daten waren nicht ganz lesbar\n";
  if (!failure.empty())
    return fail("Nicht alles wurde geschrieben (" + std::to_string(result.failed) +
                    " Fehler), zuerst: " + failure,
                1);
  return loadStatus;
}

}  // namespace tern::cli
