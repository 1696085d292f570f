// What the command line chose for a session, and the one rule that turns it into the data
// folder: the window, the service and every tern-cli command that works a data folder decide
// it here, so they always agree on where the user's messages are.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "alerts/boat_network.h"
#include "assembly/port_factory.h"
#include "common/clock.h"
#include "link/port.h"

namespace tern {

struct SessionOptions {
  // The user's application data folder (without "TERN/"); nothing when none exists.
  std::optional<std::string> userDataFolder;
  // --data-folder: this folder as it is.
  std::optional<std::string> dataFolderOverride;
  // The folder of the program file with its assets.
  std::string programFolder;
  // Receiver access: --simulate or --port PATH; the FTDI device otherwise.
  bool simulate = false;
  std::optional<std::string> portPath;
  // --nmea-udp and --signalk HOST:PORT: where the boat network sends the news.
  BoatNetworkOptions network;

  ReceiverAccess access() const { return ReceiverAccess{simulate, portPath}; }
  // A port of the caller's own making in place of that access, made once by
  // ApplicationSession::Open(): tests script or watch the receiver's traffic through it.
  std::function<std::unique_ptr<Port>(Clock&)> ownPort;
};

// The data folder (common/folders.h, chosenDataFolder): --data-folder as it is; else the
// user's data folder + "TERN/", or + "TERN-Simulation/" with --simulate, so the simulated
// receiver's messages never mix with the real ones; else the program folder. Ends with '/'.
std::string dataFolderOf(const SessionOptions& options);

// The program folder of the options, ending with '/'.
std::string programFolderOf(const SessionOptions& options);

}  // namespace tern
