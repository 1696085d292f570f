// What one area's entry says: the words of "SUEDWEST BIS WEST 6 BIS 7, SPAETER 5, BOEEN 8,
// SEE 2,5 METER, DIESIG." (or of the English report) turned into directions, Beaufort
// forces, gusts, sea and swell heights and visibility, and a short German rendering. Every
// word must be one the reports use: a word it does not know (an RTTY error, a new phrase)
// is listed, so the entry is marked instead of read wrongly.
#pragma once

#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "seaweather/sea_text.h"

namespace tern::seaweather {

// The steps of the strong wind and gale warnings, weakest first.
enum class WarningLevel { None, StrongWind, Gale, Storm, ViolentStorm, Hurricane };

struct AreaWind {
  std::vector<int> points;   // compass points 0 (N) .. 15 (NNW), in the order named, each once
  bool variable = false;     // "UMLAUFEND", "WECHSELNDE RICHTUNGEN", "VARIABLE"
  bool light = false;        // "SCHWACHWINDIG"
  int bftMin = -1;           // over the whole period, partial and later winds included;
  int bftMax = -1;           // -1 when no force is named
  int gustsBft = -1;         // the strongest gusts named, -1 when none
  bool showerGusts = false;  // "SCHAUERBOEEN"
  double seaM = -1;          // the highest sea named, -1 when none
  double swellM = -1;        // the highest swell named, -1 when none
  std::vector<std::string> visibility;      // German: "diesig", "mäßige Sicht"
  WarningLevel level = WarningLevel::None;  // a warning's step, when the text names one
  std::string summary;                      // short German: "SW bis W 6-7, später 5, See 2,5 m"
  std::vector<std::string> unread;          // the words it could not read (folded)

  bool readable() const { return unread.empty(); }
  // The largest of sea and swell; -1 when neither is named.
  double waveM() const { return seaM > swellM ? seaM : swellM; }
};

AreaWind readAreaText(std::span<const Token> tokens);

// "N", "NNE", ... "NNW" for the points 0 .. 15.
std::string_view compassAbbreviation(int point);

// "Starkwind", "Sturm", "schwerer Sturm", "orkanartiger Sturm", "Orkan"; "" for None.
std::string_view levelName(WarningLevel level);

// The step a Beaufort force calls for: 6-7 strong wind, 8-9 gale, 10 storm, 11 violent
// storm, 12 hurricane; None below 6.
WarningLevel levelOfForce(int bft);

}  // namespace tern::seaweather
