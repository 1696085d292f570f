// Command-line arguments of tern-cli after the command word: options with values
// ("--data-folder DIR"), switches ("--simulate") and positional words, in order.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <vector>

#include "assembly/application_session.h"
#include "assembly/folder_claim.h"
#include "assembly/read_only_session.h"
#include "assembly/session_options.h"

namespace tern::cli {

class Args {
 public:
  Args(std::vector<std::string> words, std::vector<std::string> valueOptions);

  // The value of "--name VALUE" (or "--name=VALUE"); nothing when absent.
  std::optional<std::string> value(const std::string& name) const;
  // Every value of an option that may be given more than once, in order.
  std::vector<std::string> values(const std::string& name) const;
  bool flag(const std::string& name) const;
  const std::vector<std::string>& positional() const { return positional_; }
  // An option word that is neither a known value option nor a used flag: reported by the
  // command so typing errors do not pass silently.
  std::optional<std::string> firstUnknown(const std::vector<std::string>& flags) const;
  // Set when a value option was the last word, without its value.
  const std::optional<std::string>& missingValue() const { return missingValue_; }

 private:
  std::vector<std::pair<std::string, std::string>> values_;
  std::vector<std::string> flags_;
  std::vector<std::string> positional_;
  std::optional<std::string> missingValue_;
};

// Prints "tern-cli: <message>" on stderr and returns the exit status `status`.
int fail(const std::string& message, int status = 2);

// The words every command refuses alike: a value option without its value and an option
// the command does not know (`flags` are its switches). 0, or the failure reported (2).
int refuseOptions(const Args& args, const std::vector<std::string>& flags,
                  const std::string& command);
// 0 when no positional word was given; otherwise the first is refused (2).
int refuseArguments(const Args& args);
// What --simulate beside --port says.
int refuseSimulateWithPort();
// The receiver access of --simulate or --port PATH (the FTDI device without either); nothing
// when both are given, which is then reported.
std::optional<ReceiverAccess> receiverAccessOption(const Args& args);

// The program folder: --program-folder, else the folder of tern-cli itself (where the
// build and the install put the schedule files). Ends with '/'.
std::string programFolderOption(const Args& args);

// Says on stderr which data files could not be opened (with the system's reason) or are
// damaged; 1 when there was any, else 0.
int reportLoadProblems(std::span<const MessageStore::LoadProblem> problems);

// The session options of the command line: --data-folder, --program-folder, --simulate,
// --port and the user's data folder of the environment, unchecked.
SessionOptions sessionOptionsOf(const Args& args);

// The session of a command that writes a data folder: --data-folder DIR (required),
// --program-folder, and --simulate or --port PATH (not both). Nothing when they do not fit;
// the failure is then reported and `status` holds its exit status.
std::optional<SessionOptions> writerSessionOptions(const Args& args, const std::string& command,
                                                   int& status);
// The claimed data folder was made and no other program writes it: 0, or the failure
// reported and its exit status (`notMadeStatus` when the folder could not be made, 1 when
// another program writes it).
int requireOwnDataFolder(const FolderClaim& folder, int notMadeStatus = 2);
int requireOwnDataFolder(const ApplicationSession& session);
// What readout and watch say when the settings file cannot be used: the schedule block is
// then not sent, so the receiver keeps its own schedule. German, naming the file.
std::string unusableSettingsText(const std::string& settingsPath);

// The data folder of a command that only reads it must exist as a folder: 0, or the
// failure reported with the exit status `status`.
int requireDataFolder(const ReadOnlySession& session, int status = 1);

// Reads the data folder's settings and says on stderr, naming the file, when they cannot be
// used (damaged, or written with other schedule files): the defaults apply then, and a
// command that takes something from the settings would otherwise work on them without a
// word.
TTreeControl& settingsOrDefaultsSaid(ReadOnlySession& session);

// 0 when all seven schedule files of the program folder can be read; otherwise the failure
// is reported and its exit status returned. Settings cannot be read without them.
int requireScheduleFiles(const std::string& programFolder);

}  // namespace tern::cli
