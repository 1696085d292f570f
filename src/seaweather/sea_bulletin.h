// The reader of the DWD sea weather report for the North Sea and the Baltic (FQEN50, in
// English FQEN70) and of the strong wind and gale warnings (WODL45, German and English):
// header, synopsis, the areas where strong wind or gale is expected, one forecast per area,
// outlook; or one warning per area. What it cannot read stays as text and is marked: an
// unknown area name is kept with its text, an entry with a word the reader does not know
// keeps its text and lists the word, and text that fits no part is kept as such.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/clock.h"
#include "seaweather/area_text.h"

namespace tern::seaweather {

enum class BulletinKind { Report, Warnings };
enum class Language { German, English };

// One area's entry of a report or of a warnings bulletin.
struct AreaEntry {
  std::string id;       // "westliche-ostsee"; empty when the name is none of the areas
  std::string name;     // the German name; for an unknown area the name as received
  std::string written;  // the name as received (UTF-8)
  std::string text;     // the entry's own text as received (UTF-8, lines joined)
  AreaWind wind;

  bool known() const { return !id.empty(); }
  bool readable() const { return known() && wind.readable(); }
  // A warning's step: the one it names, else the one its strongest force calls for.
  WarningLevel level() const;
};

struct SeaBulletin {
  std::string heading;  // "FQEN50"
  BulletinKind kind = BulletinKind::Report;
  Language language = Language::German;
  std::optional<CivilTime> issued;           // UTC
  std::string validUntil;                    // folded, as written: "11.12. 12 UTC"
  std::string synopsis;                      // as received
  std::string outlook;                       // as received
  std::vector<std::string> expected;         // ids of the areas with strong wind or gale
  std::vector<std::string> expectedUnknown;  // names in that list that are no area
  std::vector<AreaEntry> areas;              // a report's forecasts
  std::vector<AreaEntry> warnings;           // a warnings bulletin's warnings
  bool noWarnings = false;                   // "KEINE WARNUNGEN", "NO WARNINGS"
  std::vector<std::string> unreadParts;      // text that fits no part, as received

  // True when every area is known and read, and no part was left over.
  bool fullyRead() const;
};

// Reads one bulletin (Latin-1 or UTF-8, either case). `heading` names it when the text does
// not ("FQEN50" for a stored record's key text); `received` dates an issue time given only
// as the heading line's day, hour and minute.
SeaBulletin readSeaBulletin(std::string_view text, std::string_view heading = {},
                            std::optional<CivilTime> received = std::nullopt);

}  // namespace tern::seaweather
