// The session of a tern-cli command that only reads a data folder (`dump`, `synop`,
// `export`, `payload`, `schedules`, and the data folder of `doctor`). It decides the folders
// by the same rule as the application session (dataFolderOf), but it never makes the folder,
// takes no lock and writes nothing, so a folder that the window or the service is writing
// can be read meanwhile: those replace their files whole (common/file_io.h), and a reader
// sees the old or the new file.
//
// What the commands read is opened on first use, in the order they ask for it, so a command
// that walks the data files on its own opens nothing: the message store (read-only: no
// damaged copies kept, no temporaries removed), the schedule files of the program folder,
// the settings file of the data folder, and what an export takes beside the store.
#pragma once

#include <memory>
#include <optional>
#include <string>

#include "assembly/session_options.h"
#include "common/message_sink.h"
#include "config/tree_control.h"
#include "export/export.h"
#include "messages/message_store.h"

namespace tern {

// Thread: made, used and destroyed on the command's thread.
class ReadOnlySession {
 public:
  // `messages` gets what the schedule files and the settings file have to say, as the window
  // would show it; with nullptr nothing is said. It must outlive the session.
  ReadOnlySession(const SessionOptions& options, MessageSink* messages);
  ~ReadOnlySession();
  ReadOnlySession(const ReadOnlySession&) = delete;
  ReadOnlySession& operator=(const ReadOnlySession&) = delete;

  const std::string& DataFolder() const { return dataFolder_; }
  const std::string& ProgramFolder() const { return programFolder_; }
  // Why the data folder cannot be read: German, empty when it is there as a folder. A
  // command reads nothing then.
  std::string MissingFolderProblem() const;

  // The data folder's message store, loaded from its data files with the program folder's
  // schedule files; what could not be loaded is in its loadProblems(). Every write is
  // refused.
  const MessageStore& Store();
  // The seven schedules of the program folder's schedule files, the settings file not read:
  // the choices the program starts with.
  TTreeControl& Schedules();
  // The same with the data folder's settings file read in (once); how that went in
  // SettingsState(). The session never saves them.
  TTreeControl& Settings();
  SettingsLoad SettingsState();
  // What an export takes from the data folder beside the store: the fax stations' slant of
  // the settings and the folder's fax calibrations. It reads the settings of this session,
  // which must outlive its use.
  ExportInput ExportSettings();

 private:
  std::string programFolder_;
  std::string dataFolder_;
  MessageSink* messages_;
  std::unique_ptr<MessageSink> silent_;  // in place of a missing `messages` for the settings
  std::unique_ptr<MessageStore> store_;
  std::unique_ptr<TTreeControl> settings_;
  std::optional<SettingsLoad> settingsState_;
};

}  // namespace tern
