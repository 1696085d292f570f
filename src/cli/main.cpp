// tern-cli: the program's core without a window, for headless machines, scripts and tests.
#include <cstring>
#include <iostream>
#include <string>
#include <vector>

#include "cli/cli_args.h"
#include "cli/commands.h"

namespace {

struct Command {
  const char* name;
  const char* usage;
  int (*run)(const tern::cli::Words&);
};

const Command kCommands[] = {
    {"version", "version                       print the version", tern::cli::cmdVersion},
    {"info", "info [--simulate|--port PATH] receiver identity, clock, status, barometer",
     tern::cli::cmdInfo},
    {"payload", "payload --data-folder DIR [--program-folder DIR]  schedule block as hex",
     tern::cli::cmdPayload},
    {"schedules", "schedules [--data-folder DIR] [--program-folder DIR]  schedule entries",
     tern::cli::cmdSchedules},
    {"synop",
     "synop --data-folder DIR [--program-folder DIR] [--gpx FILE] | --bulletin FILE "
     "--store german|english --heading H [--no-filter] [--map]  decoded reports (or the drawn "
     "wind map) as JSON",
     tern::cli::cmdSynop},
    {"readout",
     "readout --data-folder DIR [--simulate|--port PATH] [--set-clock] [--send-settings]",
     tern::cli::cmdReadout},
    {"dump", "dump --data-folder DIR       the records of a data folder as JSON",
     tern::cli::cmdDump},
    {"fax",
     "fax DATA OUT.bmp [--quality] [--turn S] [--half] [--rotate N] [--buffer FILE]  chart; "
     "fax DATA OUT --geo CALIBRATION [--turn S]  the chart as OUT.tif and OUT.mbtiles",
     tern::cli::cmdFax},
    {"export",
     "export --data-folder DIR [--program-folder DIR] FOLDER  the automatic export's mirror "
     "(no barograph picture)",
     tern::cli::cmdExport},
    {"update", "update [--simulate|--port PATH] [--force]  firmware update (progress on stderr)",
     tern::cli::cmdUpdate},
    {"receive-test",
     "receive-test [--simulate|--port PATH] --transmitter DDH47|DDH9|DDH8|DDK2|DDH7|DDK9  "
     "reception test",
     tern::cli::cmdReceiveTest},
    {"watch",
     "watch --data-folder DIR [--simulate|--port PATH] [--program-folder DIR] "
     "[--on-alert COMMAND] [--nmea-udp HOST:PORT]  polling service, one log line per event",
     tern::cli::cmdWatch},
    {"doctor",
     "doctor [--simulate|--port PATH] [--data-folder DIR] [--program-folder DIR]  what stands "
     "between this user and the receiver, in German; the last line says what to fix first",
     tern::cli::cmdDoctor},
};

void printUsage(std::ostream& out) {
  out << "usage: tern-cli COMMAND [options]\n\ncommands:\n";
  for (const auto& c : kCommands) out << "  " << c.usage << '\n';
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2 || std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0) {
    printUsage(argc < 2 ? std::cerr : std::cout);
    return argc < 2 ? 2 : 0;
  }
  std::vector<std::string> words(argv + 2, argv + argc);
  for (const auto& c : kCommands) {
    if (std::strcmp(argv[1], c.name) == 0) return c.run(words);
  }
  return tern::cli::fail(std::string("unknown command '") + argv[1] + "' (see tern-cli --help)");
}
