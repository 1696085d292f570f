// tern-cli schedules: every entry of the seven broadcast schedules with its state, times and
// frequency, as the configuration dialog would show it after reading the settings.
#include <iostream>

#include "cli/cli_args.h"
#include "cli/commands.h"
#include "cli/stderr_sink.h"
#include "common/latin1.h"

namespace tern::cli {

namespace {

const char* stateName(NodeKind kind) {
  switch (kind) {
    case NodeKind::Selected:
      return "gewählt ";
    case NodeKind::Blocked:
      return "gesperrt";
    default:
      return "frei    ";
  }
}

}  // namespace

int cmdSchedules(const Words& words) {
  Args args(words, {"--data-folder", "--program-folder"});
  if (int status = refuseOptions(args, {}, "schedules")) return status;
  if (int status = refuseArguments(args)) return status;
  StderrSink sink;
  ReadOnlySession session(sessionOptionsOf(args), &sink);
  if (int status = requireScheduleFiles(session.ProgramFolder())) return status;

  // Without a data folder, the choices the program starts with.
  const bool withSettings = args.value("--data-folder").has_value();
  if (withSettings) {
    if (int status = requireDataFolder(session)) return status;
  }
  TTreeControl& control = withSettings ? settingsOrDefaultsSaid(session) : session.Schedules();

  for (int s = 0; s < control.ScheduleCount(); ++s) {
    control.SelectSchedule(s);  // states as the dialog's page shows them
    const TTreeData& d = control.Schedule(s);
    std::cout << d.Caption << " (" << kSchedules[static_cast<std::size_t>(s)].fileName
              << ", Versatz " << d.StartOffset << " min, Codes " << d.FirstCode << ".."
              << d.LastCode << ")\n";
    for (int i = 0; i < d.EntryCount(); ++i) {
      const TTreeNodeData& e = d.Entries[static_cast<std::size_t>(i)];
      if (e.Kind == NodeKind::Group) std::cout << "  " << latin1ToUtf8(e.Text) << '\n';
      if (e.isTime())
        std::cout << "    " << stateName(e.Kind) << "  " << control.NodeText(s, i) << '\n';
    }
  }
  return 0;
}

}  // namespace tern::cli
