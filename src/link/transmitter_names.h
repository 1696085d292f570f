// Byte 0 of every record header names the transmitter and frequency a message came from;
// the trees show it as text.
#pragma once

#include <string>

namespace tern {

// "DDH47 (147.3 kHz)" for code 3, ...; the empty text for codes outside 0..24.
std::string TransmitterName(int code);

}  // namespace tern
