// One place that turns the program's choice of receiver access into a port and a link
// object, for the window program and tern-cli alike: the FTDI default, `--port PATH` or
// `--simulate`.
#pragma once

#include <memory>
#include <optional>
#include <string>

#include "common/clock.h"
#include "link/port.h"
#include "link/ttern.h"

namespace tern {

enum class PortKind { Ftdi, Tty, Sim };

// How the receiver is reached: `--simulate`, `--port PATH`, or the FTDI device.
struct ReceiverAccess {
  bool simulate = false;
  std::optional<std::string> portPath;

  PortKind kind() const {
    return simulate ? PortKind::Sim : portPath ? PortKind::Tty : PortKind::Ftdi;
  }
};

// `path` is the tty path for PortKind::Tty and ignored otherwise. The simulated receiver
// starts with the demo content and runs on `clock`, which must outlive the port.
std::unique_ptr<Port> makePort(PortKind kind, const std::string& path, Clock& clock);

// The link object on that port, for the session and for commands that keep no data
// (`tern-cli info`, `update`, `receive-test`). `clock` must outlive it.
std::unique_ptr<TTERN> makeLink(const ReceiverAccess& access, Clock& clock);

}  // namespace tern
