#include "link/transmitter_names.h"

#include <array>
#include <string_view>

#include "link/protocol.h"

namespace tern {

namespace {

constexpr std::array<std::string_view, protocol::kTransmitterCount> kNames = {
    "DDH3 (3855.0 kHz)",  "DDK3 (7880.0 kHz)",  "DDK6 (13882.5 kHz)", "DDH47 (147.3 kHz)",
    "DDH9 (11039.0 kHz)", "DDH8 (14467.3 kHz)", "DDK2 (4583.0 kHz)",  "DDH7 (7646.0 kHz)",
    "DDK9 (10100.8 kHz)", "NAVTEX (490.0 kHz)", "NAVTEX (518.0 kHz)", "GYA (4610.0 kHz)",
    "GYA (8040.0 kHz)",   "GYA (11086.5 kHz)",  "CFH (4271.0 kHz)",   "CFH (6496.4 kHz)",
    "CFH (10536.0 kHz)",  "CFH (13510.0 kHz)",  "NMG (4317.9 kHz)",   "NMG (8503.9 kHz)",
    "NMG (12789.9 kHz)",  "NMF (4235.0 kHz)",   "NMF (6340.5 kHz)",   "NMF (9110.0 kHz)",
    "NMF (12750.0 kHz)",
};

}  // namespace

std::string TransmitterName(int code) {
  if (code < 0 || code >= protocol::kTransmitterCount) return {};
  return std::string(kNames[static_cast<std::size_t>(code)]);
}

}  // namespace tern
