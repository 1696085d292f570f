#include "cli/cli_args.h"

#include <algorithm>
#include <cstdlib>
#include <iostream>

#include "common/file_io.h"
#include "common/folders.h"
#include "config/schedule_file.h"
#include "config/schedule_table.h"
#include "messages/message_store.h"

namespace tern::cli {

Args::Args(std::vector<std::string> words, std::vector<std::string> valueOptions) {
  for (std::size_t i = 0; i < words.size(); ++i) {
    const std::string& w = words[i];
    if (w.rfind("--", 0) != 0) {
      positional_.push_back(w);
      continue;
    }
    auto eq = w.find('=');
    std::string name = w.substr(0, eq);
    bool takesValue =
        std::find(valueOptions.begin(), valueOptions.end(), name) != valueOptions.end();
    if (!takesValue) {
      flags_.push_back(w);
    } else if (eq != std::string::npos) {
      values_.emplace_back(name, w.substr(eq + 1));
    } else if (i + 1 < words.size()) {
      values_.emplace_back(name, words[++i]);
    } else {
      missingValue_ = name;
    }
  }
}

std::optional<std::string> Args::value(const std::string& name) const {
  for (const auto& [n, v] : values_)
    if (n == name) return v;
  return std::nullopt;
}

std::vector<std::string> Args::values(const std::string& name) const {
  std::vector<std::string> all;
  for (const auto& [n, v] : values_)
    if (n == name) all.push_back(v);
  return all;
}

bool Args::flag(const std::string& name) const {
  return std::find(flags_.begin(), flags_.end(), name) != flags_.end();
}

std::optional<std::string> Args::firstUnknown(const std::vector<std::string>& flags) const {
  for (const auto& f : flags_)
    if (std::find(flags.begin(), flags.end(), f) == flags.end()) return f;
  return std::nullopt;
}

std::string programFolderOption(const Args& args) {
  return withTrailingSlash(args.value("--program-folder").value_or(executableFolder()));
}

int requireScheduleFiles(const std::string& programFolder) {
  for (const ScheduleInfo& info : kSchedules) {
    ScheduleFile file = readScheduleFile(programFolder + info.fileName);
    if (!file.readable) return fail("Sendeplan-Datei nicht lesbar: " + file.readError, 1);
  }
  return 0;
}

int reportLoadProblems(std::span<const MessageStore::LoadProblem> problems) {
  for (const MessageStore::LoadProblem& p : problems) {
    std::cerr << "tern-cli: "
              << (p.result == LoadResult::Unreadable ? "nicht lesbar" : "beschädigt") << ": "
              << p.reason << '\n';
  }
  return problems.empty() ? 0 : 1;
}

SessionOptions sessionOptionsOf(const Args& args) {
  SessionOptions options;
  options.userDataFolder = userDataFolder(std::getenv("XDG_DATA_HOME"), std::getenv("HOME"));
  options.dataFolderOverride = args.value("--data-folder");
  options.portPath = args.value("--port");
  options.simulate = args.flag("--simulate");
  options.programFolder = programFolderOption(args);
  return options;
}

std::optional<SessionOptions> writerSessionOptions(const Args& args, const std::string& command,
                                                   int& status) {
  SessionOptions options = sessionOptionsOf(args);
  if (!options.dataFolderOverride) {
    status = fail(command + " braucht --data-folder ORDNER");
    return std::nullopt;
  }
  if (options.simulate && options.portPath) {
    status = refuseSimulateWithPort();
    return std::nullopt;
  }
  return options;
}

int requireOwnDataFolder(const FolderClaim& folder, int notMadeStatus) {
  const std::string& data = folder.DataFolder();
  if (!folder.FolderMade())
    return fail("Der Datenordner " + data + " kann nicht angelegt werden", notMadeStatus);
  // The window, a readout or the service writing the same folder would lose the other's
  // messages.
  if (folder.FolderInUse()) return fail(folderInUseMessage(data), 1);
  return 0;
}

int requireOwnDataFolder(const ApplicationSession& session) {
  return requireOwnDataFolder(session.Folder());
}

std::string unusableSettingsText(const std::string& settingsPath) {
  return "Die Einstellungsdatei " + settingsPath +
         " ist unbrauchbar (beschädigt, abgeschnitten oder von einer anderen Version). Der "
         "Sendeplan wird nicht an den Empfänger übertragen, bis die Einstellungen im Programm "
         "gespeichert werden.";
}

int requireDataFolder(const ReadOnlySession& session, int status) {
  const std::string problem = session.MissingFolderProblem();
  return problem.empty() ? 0 : fail(problem, status);
}

TTreeControl& settingsOrDefaultsSaid(ReadOnlySession& session) {
  TTreeControl& settings = session.Settings();
  if (session.SettingsState() == SettingsLoad::Invalid)
    std::cerr << "tern-cli: Die Einstellungsdatei " << settings.SettingsPath()
              << " passt nicht zu den Sendeplan-Dateien: es gelten die Voreinstellungen\n";
  return settings;
}

int refuseOptions(const Args& args, const std::vector<std::string>& flags,
                  const std::string& command) {
  if (args.missingValue())
    return fail("Die Option " + *args.missingValue() + " braucht einen Wert");
  if (auto unknown = args.firstUnknown(flags))
    return fail("Unbekannte Option " + *unknown + " (siehe tern-cli " + command + " --help)");
  return 0;
}

int refuseArguments(const Args& args) {
  if (args.positional().empty()) return 0;
  return fail("Unerwartetes Argument " + args.positional().front());
}

int refuseSimulateWithPort() { return fail("--simulate und --port schließen einander aus"); }

std::optional<ReceiverAccess> receiverAccessOption(const Args& args) {
  ReceiverAccess access{args.flag("--simulate"), args.value("--port")};
  if (access.simulate && access.portPath) {
    refuseSimulateWithPort();
    return std::nullopt;
  }
  return access;
}

int fail(const std::string& message, int status) {
  std::cerr << "tern-cli: " << message << '\n';
  return status;
}

}  // namespace tern::cli
