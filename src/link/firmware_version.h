// The receiver reports its firmware as text ("1.2.4"); the update offer and the reception
// test compare it as one number.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace tern {

// major x 10000 + minor x 100 + patch for a text of three decimal numbers separated by
// points (1.2.4 -> 10204, 1.10.0 -> 11000). At most 12 characters after each point are
// looked at. Nothing when the text does not parse; callers treat that as version 0.
// Each number must be 1..9 plain digits: no signs, blanks or hex, so a garbled reply can
// never turn into a large version that would suppress an update.
std::optional<std::int64_t> FirmwareVersionNumber(std::string_view text);

}  // namespace tern
