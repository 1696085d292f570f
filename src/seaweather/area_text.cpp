#include "seaweather/area_text.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <optional>

namespace tern::seaweather {

namespace {

enum class Cls {
  Point,     // a direction; value the compass point
  Variable,  // wind from changing directions
  Light,     // hardly any wind
  Range,     // "BIS", "TO"
  Gust,      // value 1: shower or thunderstorm gusts
  Sea,       // value 0 sea, 1 swell
  Unit,      // metres
  Vis,       // a visibility word on its own
  Quality,   // an adjective of "SICHT"
  Sight,     // "SICHT", "VISIBILITY"
  Level,     // a warning step
  LevelAdj,  // a word that raises the step of the next one
  Word,      // understood, no value of its own
};

struct Vocable {
  std::string_view word;
  Cls cls;
  int value;
  std::string_view german;  // the short German rendering; "" leaves it out
};

constexpr std::string_view kAbbrev[16] = {"N", "NNE", "NE", "ENE", "E", "ESE", "SE", "SSE",
                                          "S", "SSW", "SW", "WSW", "W", "WNW", "NW", "NNW"};

constexpr std::string_view kGermanPoints[16] = {"NORD", "NORDNORDOST",  "NORDOST",  "OSTNORDOST",
                                                "OST",  "OSTSUEDOST",   "SUEDOST",  "SUEDSUEDOST",
                                                "SUED", "SUEDSUEDWEST", "SUEDWEST", "WESTSUEDWEST",
                                                "WEST", "WESTNORDWEST", "NORDWEST", "NORDNORDWEST"};

constexpr Vocable kVocabulary[] = {
    // Directions in English; the German ones come from kGermanPoints.
    {"NORTH", Cls::Point, 0, ""},
    {"NORTH-NORTHEAST", Cls::Point, 1, ""},
    {"NORTHEAST", Cls::Point, 2, ""},
    {"NORTH-EAST", Cls::Point, 2, ""},
    {"EAST-NORTHEAST", Cls::Point, 3, ""},
    {"EAST", Cls::Point, 4, ""},
    {"EAST-SOUTHEAST", Cls::Point, 5, ""},
    {"SOUTHEAST", Cls::Point, 6, ""},
    {"SOUTH-EAST", Cls::Point, 6, ""},
    {"SOUTH-SOUTHEAST", Cls::Point, 7, ""},
    {"SOUTH", Cls::Point, 8, ""},
    {"SOUTH-SOUTHWEST", Cls::Point, 9, ""},
    {"SOUTHWEST", Cls::Point, 10, ""},
    {"SOUTH-WEST", Cls::Point, 10, ""},
    {"WEST-SOUTHWEST", Cls::Point, 11, ""},
    {"WEST", Cls::Point, 12, ""},
    {"WEST-NORTHWEST", Cls::Point, 13, ""},
    {"NORTHWEST", Cls::Point, 14, ""},
    {"NORTH-WEST", Cls::Point, 14, ""},
    {"NORTH-NORTHWEST", Cls::Point, 15, ""},
    {"NOERDLICHE", Cls::Point, 0, ""},
    {"NORDOESTLICHE", Cls::Point, 2, ""},
    {"OESTLICHE", Cls::Point, 4, ""},
    {"SUEDOESTLICHE", Cls::Point, 6, ""},
    {"SUEDLICHE", Cls::Point, 8, ""},
    {"SUEDWESTLICHE", Cls::Point, 10, ""},
    {"WESTLICHE", Cls::Point, 12, ""},
    {"NORDWESTLICHE", Cls::Point, 14, ""},
    {"NORTHERLY", Cls::Point, 0, ""},
    {"NORTHEASTERLY", Cls::Point, 2, ""},
    {"EASTERLY", Cls::Point, 4, ""},
    {"SOUTHEASTERLY", Cls::Point, 6, ""},
    {"SOUTHERLY", Cls::Point, 8, ""},
    {"SOUTHWESTERLY", Cls::Point, 10, ""},
    {"WESTERLY", Cls::Point, 12, ""},
    {"NORTHWESTERLY", Cls::Point, 14, ""},
    {"UMLAUFEND", Cls::Variable, 0, "umlaufend"},
    {"WECHSELNDE", Cls::Variable, 0, "wechselnde"},
    {"WECHSELND", Cls::Variable, 0, "wechselnd"},
    {"VARIABLE", Cls::Variable, 0, "umlaufend"},
    {"SCHWACHWINDIG", Cls::Light, 0, "schwachwindig"},
    {"BIS", Cls::Range, 0, "bis"},
    {"TO", Cls::Range, 0, "bis"},
    {"BOEEN", Cls::Gust, 0, "Böen"},
    {"STURMBOEEN", Cls::Gust, 0, "Sturmböen"},
    {"ORKANBOEEN", Cls::Gust, 0, "Orkanböen"},
    {"GUSTS", Cls::Gust, 0, "Böen"},
    {"SCHAUERBOEEN", Cls::Gust, 1, "Schauerböen"},
    {"GEWITTERBOEEN", Cls::Gust, 1, "Gewitterböen"},
    {"SQUALLS", Cls::Gust, 1, "Schauerböen"},
    {"SQUALLY", Cls::Gust, 1, "böig"},
    {"SEE", Cls::Sea, 0, "See"},
    {"SEEGANG", Cls::Sea, 0, "Seegang"},
    {"WINDSEE", Cls::Sea, 0, "Windsee"},
    {"SEA", Cls::Sea, 0, "See"},
    {"WAVES", Cls::Sea, 0, "Wellen"},
    {"DUENUNG", Cls::Sea, 1, "Dünung"},
    {"SWELL", Cls::Sea, 1, "Dünung"},
    {"METER", Cls::Unit, 0, "m"},
    {"METERN", Cls::Unit, 0, "m"},
    {"METRES", Cls::Unit, 0, "m"},
    {"METRE", Cls::Unit, 0, "m"},
    {"METERS", Cls::Unit, 0, "m"},
    {"M", Cls::Unit, 0, "m"},
    {"DIESIG", Cls::Vis, 0, "diesig"},
    {"DUNSTIG", Cls::Vis, 0, "dunstig"},
    {"DUNST", Cls::Vis, 0, "Dunst"},
    {"NEBEL", Cls::Vis, 0, "Nebel"},
    {"NEBELFELDER", Cls::Vis, 0, "Nebelfelder"},
    {"NEBELBAENKE", Cls::Vis, 0, "Nebelbänke"},
    {"HAZY", Cls::Vis, 0, "diesig"},
    {"HAZE", Cls::Vis, 0, "Dunst"},
    {"MIST", Cls::Vis, 0, "diesig"},
    {"MISTY", Cls::Vis, 0, "diesig"},
    {"FOG", Cls::Vis, 0, "Nebel"},
    {"FOGBANKS", Cls::Vis, 0, "Nebelbänke"},
    {"GUTE", Cls::Quality, 0, "gute"},
    {"GOOD", Cls::Quality, 0, "gute"},
    {"MAESSIGE", Cls::Quality, 0, "mäßige"},
    {"MODERATE", Cls::Quality, 0, "mäßige"},
    {"SCHLECHTE", Cls::Quality, 0, "schlechte"},
    {"POOR", Cls::Quality, 0, "schlechte"},
    {"SEHR", Cls::Quality, 0, "sehr"},
    {"VERY", Cls::Quality, 0, "sehr"},
    {"SICHT", Cls::Sight, 0, "Sicht"},
    {"SICHTWEITE", Cls::Sight, 0, "Sicht"},
    {"VISIBILITY", Cls::Sight, 0, "Sicht"},
    {"STARKWIND", Cls::Level, 1, "Starkwind"},
    {"STARKWINDWARNUNG", Cls::Level, 1, "Starkwindwarnung"},
    {"STURM", Cls::Level, 2, "Sturm"},
    {"STURMWARNUNG", Cls::Level, 2, "Sturmwarnung"},
    {"ORKAN", Cls::Level, 5, "Orkan"},
    {"ORKANWARNUNG", Cls::Level, 5, "Orkanwarnung"},
    {"STRONG", Cls::Level, 1, "Starkwind"},
    {"GALE", Cls::Level, 2, "Sturm"},
    {"GALES", Cls::Level, 2, "Sturm"},
    {"STORM", Cls::Level, 3, "schwerer Sturm"},
    {"HURRICANE", Cls::Level, 5, "Orkan"},
    {"SCHWERE", Cls::LevelAdj, 3, "schwerer"},
    {"ORKANARTIGE", Cls::LevelAdj, 4, "orkanartiger"},
    {"SEVERE", Cls::LevelAdj, 2, "schwerer"},
    {"VIOLENT", Cls::LevelAdj, 4, "orkanartiger"},
    {"WIND", Cls::Word, 0, "Wind"},
    {"WINDE", Cls::Word, 0, "Winde"},
    {"WINDS", Cls::Word, 0, "Winde"},
    {"RICHTUNG", Cls::Word, 0, "Richtung"},
    {"RICHTUNGEN", Cls::Word, 0, "Richtungen"},
    {"DIRECTIONS", Cls::Word, 0, "Richtungen"},
    {"WARNUNG", Cls::Word, 0, "Warnung"},
    {"WARNING", Cls::Word, 0, "Warnung"},
    {"WARNINGS", Cls::Word, 0, "Warnungen"},
    {"FORCE", Cls::Word, 0, "Stärke"},
    {"STAERKE", Cls::Word, 0, "Stärke"},
    {"BFT", Cls::Word, 0, "Bft"},
    {"BEAUFORT", Cls::Word, 0, "Bft"},
    {"SPAETER", Cls::Word, 0, "später"},
    {"LATER", Cls::Word, 0, "später"},
    {"ZUNAECHST", Cls::Word, 0, "zunächst"},
    {"ANFANGS", Cls::Word, 0, "anfangs"},
    {"FIRST", Cls::Word, 0, "zunächst"},
    {"ABNEHMEND", Cls::Word, 0, "abnehmend"},
    {"DECREASING", Cls::Word, 0, "abnehmend"},
    {"ZUNEHMEND", Cls::Word, 0, "zunehmend"},
    {"INCREASING", Cls::Word, 0, "zunehmend"},
    {"ABFLAUEND", Cls::Word, 0, "abflauend"},
    {"AUFFRISCHEND", Cls::Word, 0, "auffrischend"},
    {"MODERATING", Cls::Word, 0, "abnehmend"},
    {"ALLMAEHLICH", Cls::Word, 0, "allmählich"},
    {"GRADUALLY", Cls::Word, 0, "allmählich"},
    {"BECOMING", Cls::Word, 0, "werdend"},
    {"DREHEND", Cls::Word, 0, "drehend"},
    {"RECHTSDREHEND", Cls::Word, 0, "rechtsdrehend"},
    {"RUECKDREHEND", Cls::Word, 0, "rückdrehend"},
    {"VEERING", Cls::Word, 0, "rechtsdrehend"},
    {"BACKING", Cls::Word, 0, "rückdrehend"},
    {"NORDTEIL", Cls::Word, 0, "Nordteil"},
    {"SUEDTEIL", Cls::Word, 0, "Südteil"},
    {"OSTTEIL", Cls::Word, 0, "Ostteil"},
    {"WESTTEIL", Cls::Word, 0, "Westteil"},
    {"NORDOSTTEIL", Cls::Word, 0, "Nordostteil"},
    {"NORDWESTTEIL", Cls::Word, 0, "Nordwestteil"},
    {"SUEDOSTTEIL", Cls::Word, 0, "Südostteil"},
    {"SUEDWESTTEIL", Cls::Word, 0, "Südwestteil"},
    {"NORDEN", Cls::Word, 0, "Norden"},
    {"SUEDEN", Cls::Word, 0, "Süden"},
    {"OSTEN", Cls::Word, 0, "Osten"},
    {"WESTEN", Cls::Word, 0, "Westen"},
    {"NORTHERN", Cls::Word, 0, "Nordteil"},
    {"SOUTHERN", Cls::Word, 0, "Südteil"},
    {"EASTERN", Cls::Word, 0, "Ostteil"},
    {"WESTERN", Cls::Word, 0, "Westteil"},
    {"PART", Cls::Word, 0, ""},
    {"PARTS", Cls::Word, 0, ""},
    {"THE", Cls::Word, 0, ""},
    {"AT", Cls::Word, 0, ""},
    {"IM", Cls::Word, 0, "im"},
    {"STRICHWEISE", Cls::Word, 0, "strichweise"},
    {"LOCALLY", Cls::Word, 0, "strichweise"},
    {"ZEITWEISE", Cls::Word, 0, "zeitweise"},
    {"ZEITWEILIG", Cls::Word, 0, "zeitweise"},
    {"OCCASIONALLY", Cls::Word, 0, "zeitweise"},
    {"VORUEBERGEHEND", Cls::Word, 0, "vorübergehend"},
    {"TEMPORARILY", Cls::Word, 0, "vorübergehend"},
    {"VEREINZELT", Cls::Word, 0, "vereinzelt"},
    {"ISOLATED", Cls::Word, 0, "vereinzelt"},
    {"EINZELNE", Cls::Word, 0, "einzelne"},
    {"ANHALTEND", Cls::Word, 0, "anhaltend"},
    {"NACHTS", Cls::Word, 0, "nachts"},
    {"TAGSUEBER", Cls::Word, 0, "tagsüber"},
    {"MORGENS", Cls::Word, 0, "morgens"},
    {"ABENDS", Cls::Word, 0, "abends"},
    {"VORMITTAGS", Cls::Word, 0, "vormittags"},
    {"NACHMITTAGS", Cls::Word, 0, "nachmittags"},
    {"MORGEN", Cls::Word, 0, "morgen"},
    {"HEUTE", Cls::Word, 0, "heute"},
    {"NIGHT", Cls::Word, 0, "nachts"},
    {"AUS", Cls::Word, 0, "aus"},
    {"AUF", Cls::Word, 0, "auf"},
    {"UM", Cls::Word, 0, "um"},
    {"ABOUT", Cls::Word, 0, "um"},
    {"AROUND", Cls::Word, 0, "um"},
    {"IN", Cls::Word, 0, "in"},
    {"MIT", Cls::Word, 0, "mit"},
    {"WITH", Cls::Word, 0, "mit"},
    {"BEI", Cls::Word, 0, "bei"},
    {"VON", Cls::Word, 0, "von"},
    {"FROM", Cls::Word, 0, "aus"},
    {"UND", Cls::Word, 0, "und"},
    {"AND", Cls::Word, 0, "und"},
    {"ODER", Cls::Word, 0, "oder"},
    {"OR", Cls::Word, 0, "oder"},
    {"DANN", Cls::Word, 0, "dann"},
    {"THEN", Cls::Word, 0, "dann"},
    {"ETWAS", Cls::Word, 0, "etwas"},
    {"SLIGHTLY", Cls::Word, 0, "etwas"},
    {"HOHE", Cls::Word, 0, "hohe"},
    {"HIGH", Cls::Word, 0, "hohe"},
    {"RAU", Cls::Word, 0, "rau"},
    {"ROUGH", Cls::Word, 0, "rau"},
    {"SCHWACH", Cls::Word, 0, "schwach"},
    {"MAESSIG", Cls::Word, 0, "mäßig"},
    {"FRISCH", Cls::Word, 0, "frisch"},
    {"BOEIG", Cls::Word, 0, "böig"},
    {"REGEN", Cls::Word, 0, "Regen"},
    {"SCHAUER", Cls::Word, 0, "Schauer"},
    {"SCHAUERN", Cls::Word, 0, "Schauern"},
    {"GEWITTERN", Cls::Word, 0, "Gewittern"},
    {"GEWITTER", Cls::Word, 0, "Gewitter"},
    {"SCHNEE", Cls::Word, 0, "Schnee"},
    {"SCHNEEFALL", Cls::Word, 0, "Schneefall"},
    {"SCHNEESCHAUER", Cls::Word, 0, "Schneeschauer"},
    {"SCHNEEREGEN", Cls::Word, 0, "Schneeregen"},
    {"GRAUPEL", Cls::Word, 0, "Graupel"},
    {"HAGEL", Cls::Word, 0, "Hagel"},
    {"NIESELREGEN", Cls::Word, 0, "Nieselregen"},
    {"SPRUEHREGEN", Cls::Word, 0, "Sprühregen"},
    {"RAIN", Cls::Word, 0, "Regen"},
    {"SHOWERS", Cls::Word, 0, "Schauern"},
    {"SHOWER", Cls::Word, 0, "Schauer"},
    {"THUNDERSTORMS", Cls::Word, 0, "Gewitter"},
    {"THUNDERY", Cls::Word, 0, "Gewitter"},
    {"SNOW", Cls::Word, 0, "Schnee"},
    {"SLEET", Cls::Word, 0, "Schneeregen"},
    {"DRIZZLE", Cls::Word, 0, "Nieselregen"},
    {"HAIL", Cls::Word, 0, "Hagel"},
};

// The German names of the points, with their German abbreviations' English letters.
std::string pointGerman(int p) { return std::string(kAbbrev[static_cast<std::size_t>(p)]); }

const Vocable* lookUp(std::string_view word) {
  for (const Vocable& v : kVocabulary)
    if (v.word == word) return &v;
  return nullptr;
}

int germanPoint(std::string_view word) {
  for (int p = 0; p < 16; ++p)
    if (kGermanPoints[p] == word) return p;
  return -1;
}

struct Understood {
  Cls cls;
  int value;
  std::string german;
};

// A word as the reader understands it; nothing when it is none of the report's words.
// German adjectives and plurals come with endings ("WESTLICHEN", "SCHAUERN", "GUTER").
std::optional<Understood> understand(std::string_view word) {
  if (int p = germanPoint(word); p >= 0) return Understood{Cls::Point, p, pointGerman(p)};
  if (const Vocable* v = lookUp(word)) {
    std::string german(v->german);
    if (v->cls == Cls::Point) german = pointGerman(v->value);
    return Understood{v->cls, v->value, german};
  }
  // "SUEDWESTDREHEND": the direction the wind turns to.
  constexpr std::string_view kTurning = "DREHEND";
  if (word.size() > kTurning.size() && word.ends_with(kTurning)) {
    if (int p = germanPoint(word.substr(0, word.size() - kTurning.size())); p >= 0)
      return Understood{Cls::Point, p, pointGerman(p) + "-drehend"};
  }
  // "WEST-NORDWEST" as written by other hands.
  if (word.find('-') != std::string_view::npos) {
    std::string joined;
    for (char c : word)
      if (c != '-') joined += c;
    if (int p = germanPoint(joined); p >= 0) return Understood{Cls::Point, p, pointGerman(p)};
  }
  for (std::string_view ending : {"N", "R", "S", "M", "EN"}) {
    if (word.size() <= ending.size() + 2 || !word.ends_with(ending)) continue;
    const Vocable* v = lookUp(word.substr(0, word.size() - ending.size()));
    if (v == nullptr || v->word.size() < 4) continue;
    std::string german(v->german);
    if (v->cls == Cls::Point) german = pointGerman(v->value);
    return Understood{v->cls, v->value, german};
  }
  return std::nullopt;
}

std::string number(double v) {
  char buf[32];
  if (std::fabs(v - std::round(v)) < 1e-9)
    std::snprintf(buf, sizeof buf, "%.0f", v);
  else
    std::snprintf(buf, sizeof buf, "%.1f", v);
  std::string s = buf;
  std::replace(s.begin(), s.end(), '.', ',');
  return s;
}

bool isForce(double v) { return v >= 0 && v <= 12 && std::fabs(v - std::round(v)) < 1e-9; }

}  // namespace

std::string_view compassAbbreviation(int point) {
  return point >= 0 && point < 16 ? kAbbrev[static_cast<std::size_t>(point)] : "";
}

std::string_view levelName(WarningLevel level) {
  static constexpr std::string_view kNames[] = {
      "", "Starkwind", "Sturm", "schwerer Sturm", "orkanartiger Sturm", "Orkan"};
  return kNames[static_cast<std::size_t>(level)];
}

WarningLevel levelOfForce(int bft) {
  if (bft >= 12) return WarningLevel::Hurricane;
  if (bft == 11) return WarningLevel::ViolentStorm;
  if (bft == 10) return WarningLevel::Storm;
  if (bft >= 8) return WarningLevel::Gale;
  if (bft >= 6) return WarningLevel::StrongWind;
  return WarningLevel::None;
}

AreaWind readAreaText(std::span<const Token> tokens) {
  AreaWind w;
  enum class Mode { Wind, Gust, Sea } mode = Mode::Wind;
  int seaKind = 0;
  int pendingLevel = 0;
  std::string quality;
  std::vector<std::string> parts;  // the German rendering, piece by piece
  bool glue = false;               // the next piece sticks to the one before

  auto emit = [&](std::string piece, bool stick = false) {
    if (piece.empty()) return;
    if ((stick || glue) && !parts.empty())
      parts.back() += piece;
    else
      parts.push_back(std::move(piece));
    glue = false;
  };
  auto force = [&](int bft) {
    w.bftMin = w.bftMin < 0 ? bft : std::min(w.bftMin, bft);
    w.bftMax = std::max(w.bftMax, bft);
  };
  auto height = [&](double m) {
    double& slot = seaKind == 1 ? w.swellM : w.seaM;
    slot = std::max(slot, m);
  };
  auto unread = [&](const Token& t) {
    w.unread.push_back(t.text);
    emit("[" + t.text + "?]");
  };

  for (std::size_t i = 0; i < tokens.size(); ++i) {
    const Token& t = tokens[i];
    if (t.kind == Token::Kind::Mark) {
      if (t.text == "," || t.text == "." || t.text == ";") {
        mode = Mode::Wind;
        quality.clear();
        pendingLevel = 0;
        if (t.text != "." || i + 1 < tokens.size()) emit(t.text, true);
      } else if (t.text == "(" || t.text == "/") {
        emit(t.text);
        glue = true;
      } else if (t.text == ")" || t.text == "-") {
        emit(t.text, true);
        glue = t.text == "-";
      } else {
        unread(t);
      }
      continue;
    }
    if (t.kind == Token::Kind::Number) {
      // A chain "6 BIS 7" or "2 TO 3"; metres after it make it heights.
      std::vector<double> values{t.value};
      std::size_t j = i;
      while (j + 2 < tokens.size() && tokens[j + 2].kind == Token::Kind::Number) {
        auto range = understand(tokens[j + 1].text);
        if (tokens[j + 1].kind != Token::Kind::Word || !range || range->cls != Cls::Range) break;
        values.push_back(tokens[j + 2].value);
        j += 2;
      }
      bool metres = false;
      if (j + 1 < tokens.size() && tokens[j + 1].kind == Token::Kind::Word) {
        auto unit = understand(tokens[j + 1].text);
        metres = unit && unit->cls == Cls::Unit;
      }
      std::string shown;
      for (double v : values) shown += (shown.empty() ? "" : "-") + number(v);
      bool good = true;
      for (double v : values) {
        if (metres || mode == Mode::Sea) {
          if (v < 0 || v > 30) good = false;
        } else if (!isForce(v)) {
          good = false;
        }
      }
      if (!good) {
        for (std::size_t k = i; k <= j; k += 2) unread(tokens[k]);
      } else {
        for (double v : values) {
          if (metres || mode == Mode::Sea)
            height(v);
          else if (mode == Mode::Gust)
            w.gustsBft = std::max(w.gustsBft, static_cast<int>(v));
          else
            force(static_cast<int>(v));
        }
        emit(shown);
      }
      i = j;
      continue;
    }
    auto u = understand(t.text);
    if (!u) {
      unread(t);
      continue;
    }
    if (u->cls != Cls::Level && u->cls != Cls::LevelAdj) pendingLevel = 0;
    if (u->cls != Cls::Quality && u->cls != Cls::Sight) quality.clear();
    switch (u->cls) {
      case Cls::Point:
        if (std::find(w.points.begin(), w.points.end(), u->value) == w.points.end())
          w.points.push_back(u->value);
        mode = Mode::Wind;
        break;
      case Cls::Variable:
        w.variable = true;
        mode = Mode::Wind;
        break;
      case Cls::Light:
        w.light = true;
        mode = Mode::Wind;
        break;
      case Cls::Gust:
        mode = Mode::Gust;
        w.showerGusts = w.showerGusts || u->value == 1;
        break;
      case Cls::Sea:
        mode = Mode::Sea;
        seaKind = u->value;
        break;
      case Cls::Vis:
        w.visibility.push_back(u->german);
        break;
      case Cls::Quality:
        // "VISIBILITY GOOD" as well as "GOOD VISIBILITY".
        if (i > 0 && quality.empty() && !w.visibility.empty() && w.visibility.back() == "Sicht" &&
            tokens[i - 1].kind == Token::Kind::Word) {
          if (auto before = understand(tokens[i - 1].text); before && before->cls == Cls::Sight) {
            w.visibility.back() = u->german + " Sicht";
            // The German line says it in German order too: "schlechte Sicht".
            if (!parts.empty() && parts.back() == "Sicht") {
              parts.back() = w.visibility.back();
              continue;
            }
            break;
          }
        }
        quality += (quality.empty() ? "" : " ") + u->german;
        break;
      case Cls::Sight:
        w.visibility.push_back(quality.empty() ? "Sicht" : quality + " Sicht");
        quality.clear();
        break;
      case Cls::Level:
        w.level = std::max(w.level, static_cast<WarningLevel>(std::max(pendingLevel, u->value)));
        pendingLevel = 0;
        break;
      case Cls::LevelAdj:
        pendingLevel = u->value;
        break;
      case Cls::Range:
      case Cls::Unit:
      case Cls::Word:
        break;
    }
    emit(u->german);
  }
  for (std::size_t i = 0; i < parts.size(); ++i) w.summary += (i ? " " : "") + parts[i];
  return w;
}

}  // namespace tern::seaweather
