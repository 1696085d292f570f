// Whether an X display answers, asked before the toolkit starts: the toolkit's platform
// plugin aborts the process with a core dump and an English text when DISPLAY names a
// server that is gone (a closed SSH session's forwarding, an X server that ended).
#pragma once

#include <chrono>
#include <string>
#include <string_view>

namespace tern {

enum class DisplayAnswer {
  Reachable,    // a server accepted the connection
  Unreachable,  // certainly none: no socket, the connection refused, an unknown host
  Unknown,      // another form of name, or a network that did not answer in time
};

// Probes the display `display` ("[host]:number[.screen]", as DISPLAY holds it). A local
// display (no host, or "unix") is the socket "X<number>" in `socketFolder`, on the file
// system or in the abstract namespace; another host is asked on TCP port 6000 + number,
// waiting at most `wait`. Only connecting, nothing is sent: a server that would refuse the
// user's authorisation counts as reachable, and the toolkit then says why.
DisplayAnswer probeX11Display(std::string_view display,
                              const std::string& socketFolder = "/tmp/.X11-unix/",
                              std::chrono::milliseconds wait = std::chrono::milliseconds(1500));

}  // namespace tern
