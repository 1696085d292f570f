// Serves the simulated receiver over a file descriptor, such as the master side of a
// pseudo-terminal: the serial-tty backend can then be run and tested end to end without
// hardware (`tern-cli info --port /dev/pts/N` against a served pty, or the tests).
#pragma once

#include <stop_token>

#include "sim/sim_receiver.h"

namespace tern::sim {

// Moves request bytes from `fd` into the receiver and its due replies back, until `stop`
// is requested. Waits in poll() with a short timeout, so it notices the stop quickly.
// Thread: runs on the calling thread (typically a std::jthread of its own); the receiver
// locks itself, so others may inspect it meanwhile.
void serveSimReceiver(SimReceiver& receiver, int fd, std::stop_token stop);

}  // namespace tern::sim
