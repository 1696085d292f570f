// SHA-256 of a byte string, as lowercase hex. Used by tern-cli to fingerprint message data
// in its dumps, so two data folders can be compared without printing megabytes of charts,
// and to check the carried firmware images.
#pragma once

#include <string>

#include "common/bytes.h"

namespace tern {

// Which compression runs: `Best` takes the processor's SHA instructions where it has them
// and the portable code elsewhere; `Portable` always takes the portable code (tests compare
// the two).
enum class Sha256Engine { Best, Portable };

std::string sha256Hex(ByteView data, Sha256Engine engine = Sha256Engine::Best);

// True when `Best` runs on the processor's SHA instructions.
bool sha256HasHardwarePath();

}  // namespace tern
