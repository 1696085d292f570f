// What the program entry hands to the main window: the folders it decided on, the clock,
// and the command-line choices. Tests build one by hand.
#pragma once

#include <functional>
#include <optional>
#include <string>

#include "alerts/boat_network.h"
#include "common/clock.h"
#include "common/message_sink.h"

namespace tern {

class ExportDialogs;

struct AppContext {
  // The user's application data folder (without "TERN/"); nothing when none exists. The
  // main window derives the data folder from it.
  std::optional<std::string> userDataFolder;
  // --data-folder: use this folder as the data folder as it is.
  std::optional<std::string> dataFolderOverride;
  // Folder of the program file with its assets, ending with '/'.
  std::string programFolder;
  // Receiver access: --simulate or --port PATH; the FTDI device otherwise.
  bool simulate = false;
  std::optional<std::string> portPath;
  // --nmea-udp and --signalk HOST:PORT: the boat network's targets.
  BoatNetworkOptions network;
  // The command-line pair "FORCE" "UPDATE".
  bool forceUpdate = false;
  Clock* clock = nullptr;  // not owned; must outlive the main window
  // Where messages go; message boxes when null (tests record them instead).
  MessageSink* messages = nullptr;
  // The file and print dialogs of saving, loading and printing; the desktop's when null.
  ExportDialogs* dialogs = nullptr;
  // Start the polling thread when the window is first shown (tests drive it themselves).
  bool startPolling = true;
  // Ends the program; a queued quit of the application when empty (tests record it).
  std::function<void()> requestQuit;
};

}  // namespace tern
