// Times in the form the web page's scripts read.
#pragma once

#include <string>

#include "common/clock.h"

namespace tern {

// "2026-03-05T14:20:00Z" for a UTC time, without the "Z" for a local one; empty for a time
// whose fields do not form a valid date and time.
std::string isoTime(const CivilTime& t, bool utc);

}  // namespace tern
