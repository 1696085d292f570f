// One place that turns the program's choice of receiver access into a port, for the
// window program and tern-cli alike: the FTDI default, `--port PATH` or `--simulate`.
#pragma once

#include <memory>
#include <string>

#include "common/clock.h"
#include "link/port.h"

namespace tern {

enum class PortKind { Ftdi, Tty, Sim };

// `path` is the tty path for PortKind::Tty and ignored otherwise. The simulated receiver
// starts with the demo content and runs on `clock`, which must outlive the port.
std::unique_ptr<Port> makePort(PortKind kind, const std::string& path, Clock& clock);

}  // namespace tern
