// SHA-256 of a byte string, as lowercase hex. Used by tern-cli to fingerprint message data
// in its dumps, so two data folders can be compared without printing megabytes of charts.
#pragma once

#include <string>

#include "common/bytes.h"

namespace tern {

std::string sha256Hex(ByteView data);

}  // namespace tern
