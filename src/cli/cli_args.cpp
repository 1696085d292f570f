#include "cli/cli_args.h"

#include <algorithm>
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

std::optional<SessionOptions> writerSessionOptions(const Args& args, const std::string& command,
                                                   int& status) {
  SessionOptions options;
  options.dataFolderOverride = args.value("--data-folder");
  options.portPath = args.value("--port");
  options.simulate = args.flag("--simulate");
  options.programFolder = programFolderOption(args);
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

int requireOwnDataFolder(const ApplicationSession& session) {
  const std::string& data = session.DataFolder();
  if (!session.FolderMade()) return fail("Der Datenordner " + data + " kann nicht angelegt werden");
  // The window, a readout or the service writing the same folder would lose the other's
  // messages.
  if (session.FolderInUse()) return fail(folderInUseMessage(data), 1);
  return 0;
}

std::string unusableSettingsText(const std::string& settingsPath) {
  return "Die Einstellungsdatei " + settingsPath +
         " ist unbrauchbar (beschädigt, abgeschnitten oder von einer anderen Version). Der "
         "Sendeplan wird nicht an den Empfänger übertragen, bis die Einstellungen im Programm "
         "gespeichert werden.";
}

int requireDataFolder(const std::string& folder) {
  return isDirectory(folder) ? 0 : fail("Den Datenordner " + folder + " gibt es nicht", 1);
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

int fail(const std::string& message, int status) {
  std::cerr << "tern-cli: " << message << '\n';
  return status;
}

}  // namespace tern::cli
