// The sea weather as it stands: the newest report and the newest warnings, from the
// bulletins a data folder holds or from bulletins read otherwise. A report and warnings that
// disagree are both kept; whoever shows them puts the warning first.
#pragma once

#include <optional>
#include <span>

#include "messages/message_store.h"
#include "seaweather/sea_bulletin.h"

namespace tern::seaweather {

// The headings read: the report in each language and the warnings in both stores.
inline constexpr std::string_view kGermanReportHeading = "FQEN50";
inline constexpr std::string_view kEnglishReportHeading = "FQEN70";
inline constexpr std::string_view kWarningsHeading = "WODL45";

struct SeaWeather {
  std::optional<SeaBulletin> report;
  std::optional<SeaBulletin> warnings;
};

// The newest report and the newest warnings of `bulletins`, by issue time; a bulletin
// without one counts as older than any with one, and of two equally new the first wins.
SeaWeather newestSeaWeather(std::span<const SeaBulletin> bulletins);

// Reads the newest stored copy of each heading above (German store first). The records are
// copied under the store's lock and read after it is released.
std::vector<SeaBulletin> storedSeaBulletins(const MessageStore& store);

}  // namespace tern::seaweather
