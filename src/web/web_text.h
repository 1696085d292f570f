// Texts the web page and its JSON answers share: message texts made safe for HTML, and
// times in the form scripts read.
#pragma once

#include <string>
#include <string_view>

#include "common/clock.h"

namespace tern {

// UTF-8 text for an HTML element or a quoted attribute: & < > " ' written as entities.
std::string htmlEscape(std::string_view utf8);

// "2026-03-05T14:20:00Z" for a UTC time, without the "Z" for a local one; empty for a time
// whose fields do not form a valid date and time.
std::string isoTime(const CivilTime& t, bool utc);

}  // namespace tern
