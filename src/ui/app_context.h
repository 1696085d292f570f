// What the program entry hands to the main window beyond the session's own choices (which
// it shares, so a test fills one struct): the clock, the command-line choices the window
// acts on, and the seams tests fill in.
#pragma once

#include <functional>
#include <optional>
#include <string>

#include "assembly/application_session.h"
#include "common/clock.h"
#include "common/message_sink.h"
#include "web/web_access.h"

namespace tern {

class ExportDialogs;

struct AppContext : SessionOptions {
  // The command-line pair "FORCE" "UPDATE".
  bool forceUpdate = false;
  // --http [ADDRESS:]PORT: serve the read-only web page there while the window is open.
  std::optional<ListenAddress> webPage;
  Clock* clock = nullptr;  // not owned; must outlive the main window
  // Where messages go; message boxes when null (tests record them instead).
  MessageSink* messages = nullptr;
  // The file and print dialogs of saving, loading and printing; the desktop's when null.
  ExportDialogs* dialogs = nullptr;
  // Start the polling thread when the window is first shown (tests drive it themselves).
  bool startPolling = true;
  // Ends the program; a queued quit of the application when empty (tests record it).
  std::function<void()> requestQuit;
  // Shows the note after the receiver started programming itself; the window's own note
  // when empty (tests record it).
  std::function<void()> showUpdateInfo;
};

}  // namespace tern
