#include "seaweather/sea_bulletin.h"

#include <algorithm>

#include "seaweather/sea_areas.h"

namespace tern::seaweather {

namespace {

using Tokens = std::vector<Token>;
constexpr std::size_t kNone = static_cast<std::size_t>(-1);

bool isMark(const Token& t, std::string_view m) {
  return t.kind == Token::Kind::Mark && t.text == m;
}

bool oneOf(const Token& t, std::initializer_list<std::string_view> words) {
  if (t.kind != Token::Kind::Word) return false;
  return std::find(words.begin(), words.end(), t.text) != words.end();
}

// A sentence or line begins at token i: the text's start, a new line, or a full stop
// followed by a blank ("ENGL.KANAL-OST" is one name, "METER. FISCHER" two sentences).
bool beginsSentence(const Tokens& t, std::size_t i) {
  return i == 0 || t[i].lineStart || (isMark(t[i - 1], ".") && t[i].spaceBefore) ||
         isMark(t[i - 1], ":");
}

std::size_t sentenceStartBefore(const Tokens& t, std::size_t i, std::size_t floor) {
  while (i > floor && !beginsSentence(t, i)) --i;
  return i;
}

// The key of tokens [a, b) as an area name: words split at hyphens, dots and hyphens
// between them dropped; empty when another mark or a number stands among them.
std::string nameKey(const Tokens& t, std::size_t a, std::size_t b) {
  std::string key;
  for (std::size_t i = a; i < b; ++i) {
    if (isMark(t[i], ".") || isMark(t[i], "-")) continue;
    if (t[i].kind != Token::Kind::Word) return {};
    for (char c : t[i].text) key += c == '-' ? ' ' : c;
    key += ' ';
  }
  if (!key.empty()) key.pop_back();
  return key;
}

// The longest run of tokens ending at `end` (exclusive) that names an area, not reaching
// below `floor`; kNone when none does.
std::size_t knownNameStart(const Tokens& t, std::size_t end, std::size_t floor,
                           const SeaArea*& area) {
  const std::size_t span = 2 * kMaxAreaWords;
  for (std::size_t a = end > floor + span ? end - span : floor; a < end; ++a) {
    if (a > floor && (isMark(t[a], ".") || isMark(t[a], "-"))) continue;
    if (const SeaArea* found = areaByKey(nameKey(t, a, end))) {
      area = found;
      return a;
    }
  }
  return kNone;
}

struct EntryStart {
  std::size_t name;   // first token of the name
  std::size_t colon;  // the colon after it
  const SeaArea* area;
};

// The entries of tokens [from, to): an area name and a colon. Before the first known area
// only known names count; after it an unknown name of a few words starts an entry too, so
// a garbled name keeps its own text instead of joining the entry before.
std::vector<EntryStart> findEntries(const Tokens& t, std::size_t from, std::size_t to) {
  std::vector<EntryStart> out;
  for (std::size_t c = from; c < to; ++c) {
    if (!isMark(t[c], ":")) continue;
    // A time of day ("12:00") is no entry.
    if (c > 0 && c + 1 < t.size() && t[c - 1].kind == Token::Kind::Number &&
        t[c + 1].kind == Token::Kind::Number && !t[c + 1].spaceBefore)
      continue;
    const std::size_t floor = out.empty() ? from : out.back().colon + 1;
    const SeaArea* area = nullptr;
    std::size_t a = knownNameStart(t, c, floor, area);
    if (a == kNone) {
      if (out.empty()) continue;
      a = sentenceStartBefore(t, c, floor);
      if (a == c || c - a > static_cast<std::size_t>(kMaxAreaWords) + 2 || !beginsSentence(t, a) ||
          nameKey(t, a, c).empty())
        continue;
    }
    out.push_back({a, c, area});
  }
  return out;
}

// Reads the digits at `at` into `value`: at least `least`, at most `most` of them, and no
// digit after them. Moves `at` past them.
bool readNumber(std::string_view s, std::size_t& at, int least, int most, int& value) {
  int count = 0;
  value = 0;
  for (; at < s.size() && s[at] >= '0' && s[at] <= '9'; ++at, ++count) {
    if (count == most) return false;
    value = value * 10 + (s[at] - '0');
  }
  return count >= least;
}

bool readChar(std::string_view s, std::size_t& at, std::string_view oneOf) {
  if (at >= s.size() || oneOf.find(s[at]) == std::string_view::npos) return false;
  ++at;
  return true;
}

// Moves `at` past `c` if it stands there; always true, to sit in a chain of readers.
bool skipOptional(std::string_view s, std::size_t& at, char c) {
  if (at < s.size() && s[at] == c) ++at;
  return true;
}

// Moves `at` past the blanks there; false when there were fewer than `least`.
bool skipBlanks(std::string_view s, std::size_t& at, std::size_t least) {
  const std::size_t from = at;
  while (at < s.size() && s[at] == ' ') ++at;
  return at - from >= least;
}

// "AM 10.12.2026, 00:05 UTC", "ON 10.12.2026 00.05 UTC" and the like, after a keyword
// that begins a word. Read by hand: a regular expression here was the reader's largest cost,
// and its matcher recurses once per character of a line.
std::optional<CivilTime> issueTime(std::string_view line) {
  const auto isWordChar = [](char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_';
  };
  for (std::size_t k = 0; k < line.size(); ++k) {
    if (k > 0 && isWordChar(line[k - 1])) continue;
    std::size_t at = k;
    bool keyword = false;
    for (std::string_view word : {"AM", "AT", "ON", "VOM"})
      if (line.substr(k).starts_with(word)) {
        at = k + word.size();
        keyword = true;
        break;
      }
    CivilTime c;
    if (keyword && skipBlanks(line, at, 1) && readNumber(line, at, 1, 2, c.day) &&
        readChar(line, at, ".") && readNumber(line, at, 1, 2, c.month) && readChar(line, at, ".") &&
        readNumber(line, at, 4, 4, c.year) && skipOptional(line, at, ',') &&
        skipBlanks(line, at, 1) && readNumber(line, at, 1, 2, c.hour) && readChar(line, at, ".:") &&
        readNumber(line, at, 2, 2, c.minute) && skipBlanks(line, at, 0) &&
        line.substr(at).starts_with("UTC"))
      return isValidCivilTime(c) ? std::optional<CivilTime>(c) : std::nullopt;
  }
  return std::nullopt;
}

// The issue time from the heading line's "DDHHMM" and the reception time: the latest such
// time not after the reception.
std::optional<CivilTime> timeFromHeadingLine(std::string_view ddhhmm, const CivilTime& received) {
  if (ddhhmm.size() != 6) return std::nullopt;
  for (char ch : ddhhmm)
    if (ch < '0' || ch > '9') return std::nullopt;
  CivilTime c = received;
  c.day = (ddhhmm[0] - '0') * 10 + (ddhhmm[1] - '0');
  c.hour = (ddhhmm[2] - '0') * 10 + (ddhhmm[3] - '0');
  c.minute = (ddhhmm[4] - '0') * 10 + (ddhhmm[5] - '0');
  c.second = c.millisecond = 0;
  if (c.day > received.day) {
    c.month = received.month == 1 ? 12 : received.month - 1;
    if (received.month == 1) --c.year;
  }
  if (!isValidCivilTime(c)) return std::nullopt;
  return c;
}

bool isHeadingWord(const Token& t) {
  if (t.kind != Token::Kind::Word || t.text.size() != 6) return false;
  for (std::size_t i = 0; i < 6; ++i) {
    const char c = t.text[i];
    if (i < 4 ? (c < 'A' || c > 'Z') : (c < '0' || c > '9')) return false;
  }
  return true;
}

Language languageOf(const Tokens& t) {
  static constexpr std::string_view kGerman[] = {
      "SEE",       "METER",     "BIS",   "WETTERLAGE", "VORHERSAGE", "VORHERSAGEN", "AUSSICHTEN",
      "SPAETER",   "STURM",     "UND",   "SICHT",      "GUELTIG",    "WARNUNGEN",   "STARKWIND",
      "ABNEHMEND", "ZUNEHMEND", "BOEEN", "DIESIG",     "AM",         "KEINE",       "FUER"};
  static constexpr std::string_view kEnglish[] = {
      "SEA",        "METRES",     "TO",    "SYNOPSIS",   "FORECAST", "FORECASTS", "OUTLOOK",
      "LATER",      "GALE",       "AND",   "VISIBILITY", "VALID",    "WARNINGS",  "WARNING",
      "DECREASING", "INCREASING", "GUSTS", "GOOD",       "AT",       "NO",        "FOR"};
  int german = 0, english = 0;
  for (const Token& k : t) {
    if (k.kind != Token::Kind::Word) continue;
    german += std::find(std::begin(kGerman), std::end(kGerman), k.text) != std::end(kGerman);
    english += std::find(std::begin(kEnglish), std::end(kEnglish), k.text) != std::end(kEnglish);
  }
  return english > german ? Language::English : Language::German;
}

// The end of the line that token i stands on (the first token of the next line).
std::size_t lineEnd(const Tokens& t, std::size_t i) {
  ++i;
  while (i < t.size() && !t[i].lineStart) ++i;
  return i;
}

bool containsWordPart(const Tokens& t, std::size_t a, std::size_t b,
                      std::initializer_list<std::string_view> parts) {
  for (std::size_t i = a; i < b; ++i)
    for (std::string_view p : parts)
      if (t[i].kind == Token::Kind::Word && t[i].text.find(p) != std::string::npos) return true;
  return false;
}

}  // namespace

WarningLevel AreaEntry::level() const {
  return wind.level != WarningLevel::None ? wind.level : levelOfForce(wind.bftMax);
}

bool SeaBulletin::fullyRead() const {
  auto read = [](const AreaEntry& e) { return e.readable(); };
  return unreadParts.empty() && expectedUnknown.empty() &&
         std::all_of(areas.begin(), areas.end(), read) &&
         std::all_of(warnings.begin(), warnings.end(), read);
}

SeaBulletin readSeaBulletin(std::string_view received, std::string_view heading,
                            std::optional<CivilTime> receivedAt) {
  const FoldedText text(received);
  const Tokens& t = text.tokens();
  SeaBulletin b;
  b.language = languageOf(t);

  // The end: "=" or "NNNN", as the teleprinter closes a bulletin.
  std::size_t end = t.size();
  for (std::size_t i = 0; i < t.size(); ++i)
    if (isMark(t[i], "=") || t[i].is("NNNN")) {
      end = i;
      break;
    }

  // Header: the heading line ("FQEN50 EDZW 100005"), title, issuer, issue time.
  std::size_t headerEnd = 0;
  std::string ddhhmm;
  for (std::size_t i = 0; i + 1 < end && i < 40; ++i) {
    if (isHeadingWord(t[i]) && t[i + 1].kind == Token::Kind::Word && t[i + 1].text.size() == 4 &&
        (i == 0 || t[i].lineStart)) {
      b.heading = t[i].text;
      if (i + 2 < end && t[i + 2].kind == Token::Kind::Number) ddhhmm = t[i + 2].text;
      headerEnd = lineEnd(t, i);
      break;
    }
  }
  for (std::size_t i = 0; i < end && i < 80; i = lineEnd(t, i)) {
    const std::size_t next = lineEnd(t, i);
    if (auto when = issueTime(text.folded(i, next))) {
      b.issued = when;
      headerEnd = std::max(headerEnd, next);
      break;
    }
    if (i < 60 && !oneOf(t[i], {"KEINE", "NO"}) &&
        containsWordPart(
            t, i, next,
            {"SEEWETTERBERICHT", "WEATHER", "WARNUNGEN", "WARNINGS", "WETTERDIENST", "ZCZC"}))
      headerEnd = std::max(headerEnd, next);
  }
  headerEnd = std::min(headerEnd, end);
  if (b.heading.empty()) b.heading = std::string(heading);
  if (!b.issued && receivedAt) b.issued = timeFromHeadingLine(ddhhmm, *receivedAt);
  bool warnings =
      b.heading.starts_with("WO") || containsWordPart(t, 0, headerEnd, {"WARNUNG", "WARNING"});

  // The parts of a report, each found by its opening words.
  std::size_t synopsis = kNone, expected = kNone, listFrom = kNone, listEnd = kNone;
  std::size_t head = kNone, bodyFrom = kNone, outlook = kNone;
  for (std::size_t i = headerEnd; i < end; ++i) {
    if (!beginsSentence(t, i) && !(i == headerEnd)) continue;
    if (synopsis == kNone && expected == kNone && head == kNone &&
        (oneOf(t[i], {"WETTERLAGE", "SYNOPSIS"}) ||
         (t[i].is("GENERAL") && i + 1 < end && oneOf(t[i + 1], {"SYNOPSIS", "SITUATION"}))))
      synopsis = i;
    if (head == kNone && oneOf(t[i], {"VORHERSAGE", "VORHERSAGEN", "FORECAST", "FORECASTS"})) {
      for (std::size_t k = i + 1; k < end && k < i + 4; ++k)
        if (oneOf(t[k], {"GUELTIG", "VALID"})) head = i;
      if (head != kNone) {
        std::size_t colon = head;
        while (colon < end && colon < head + 20 && !isMark(t[colon], ":")) ++colon;
        if (colon < end && isMark(t[colon], ":")) {
          std::size_t from = head;
          while (from < colon && !oneOf(t[from], {"BIS", "UNTIL"})) ++from;
          b.validUntil = text.folded(from < colon ? from + 1 : head, colon);
          bodyFrom = colon + 1;
        } else {
          bodyFrom = lineEnd(t, head);
        }
      }
    }
    if (head != kNone && i >= bodyFrom && outlook == kNone &&
        oneOf(t[i], {"AUSSICHTEN", "OUTLOOK"}))
      outlook = i;
  }
  // "... MIT STARKWIND, STURM ODER ORKAN ZU RECHNEN: DEUTSCHE BUCHT FISCHER ..."
  for (std::size_t c = headerEnd; c < (head == kNone ? end : head); ++c) {
    if (!isMark(t[c], ":")) continue;
    // The sentence may run over several lines: only a full stop or a colon ends it.
    std::size_t s = c;
    while (s > headerEnd && !(isMark(t[s - 1], ".") && t[s].spaceBefore) && !isMark(t[s - 1], ":"))
      --s;
    bool found = false;
    for (std::size_t k = s; k < c; ++k) found = found || oneOf(t[k], {"RECHNEN", "EXPECTED"});
    if (!found) continue;
    expected = s;
    listFrom = c + 1;
    listEnd = listFrom;
    while (listEnd < end &&
           !(isMark(t[listEnd], ".") && (listEnd + 1 == t.size() || t[listEnd + 1].spaceBefore)) &&
           !(t[listEnd].lineStart &&
             oneOf(t[listEnd], {"VORHERSAGE", "VORHERSAGEN", "FORECAST", "FORECASTS"})))
      ++listEnd;
    break;
  }

  if (expected != kNone) {
    for (std::size_t i = listFrom; i < listEnd;) {
      if (isMark(t[i], ",") || isMark(t[i], ";") || oneOf(t[i], {"UND", "AND"})) {
        ++i;
        continue;
      }
      std::size_t matched = 0;
      const SeaArea* area = nullptr;
      for (std::size_t n = std::min<std::size_t>(2 * kMaxAreaWords, listEnd - i); n > 0; --n) {
        if ((area = areaByKey(nameKey(t, i, i + n)))) {
          matched = n;
          break;
        }
      }
      if (area) {
        if (std::find(b.expected.begin(), b.expected.end(), area->id) == b.expected.end())
          b.expected.emplace_back(area->id);
        i += matched;
        continue;
      }
      // Words that name no area: kept together until the next known name.
      const std::size_t from = i;
      while (i < listEnd && !isMark(t[i], ",")) {
        ++i;
        const SeaArea* next = nullptr;
        bool nextKnown = false;
        for (std::size_t n = 1; n <= 2 * kMaxAreaWords && i + n <= listEnd && !nextKnown; ++n)
          nextKnown = (next = areaByKey(nameKey(t, i, i + n))) != nullptr;
        if (nextKnown) break;
      }
      b.expectedUnknown.push_back(text.verbatim(from, i));
    }
  }

  // The entries: after the forecasts' opening line, or, without one, the first known area
  // followed by a colon after the parts above.
  std::size_t searchFrom = headerEnd;
  if (listEnd != kNone) searchFrom = std::max(searchFrom, listEnd);
  if (bodyFrom != kNone) searchFrom = bodyFrom;
  const std::size_t bodyEnd = outlook != kNone ? outlook : end;
  std::vector<EntryStart> entries = findEntries(t, searchFrom, bodyEnd);
  if (bodyFrom == kNone) bodyFrom = entries.empty() ? bodyEnd : entries.front().name;
  if (!warnings && head == kNone && !entries.empty()) {
    // No forecasts' line: a bulletin whose every entry names a step is a warnings bulletin.
    bool allLevels = true;
    for (std::size_t e = 0; e < entries.size(); ++e) {
      const std::size_t stop = e + 1 < entries.size() ? entries[e + 1].name : bodyEnd;
      allLevels = allLevels && readAreaText(std::span(t).subspan(entries[e].colon + 1,
                                                                 stop - entries[e].colon - 1))
                                       .level != WarningLevel::None;
    }
    warnings = allLevels;
  }
  b.kind = warnings ? BulletinKind::Warnings : BulletinKind::Report;
  if (b.heading.empty())
    b.heading = warnings ? "WODL45" : b.language == Language::German ? "FQEN50" : "FQEN70";

  for (std::size_t e = 0; e < entries.size(); ++e) {
    const EntryStart& s = entries[e];
    std::size_t stop = e + 1 < entries.size() ? entries[e + 1].name : bodyEnd;
    AreaEntry entry;
    entry.written = text.verbatim(s.name, s.colon);
    if (s.area) {
      entry.id = std::string(s.area->id);
      entry.name = std::string(s.area->name);
    } else {
      entry.name = entry.written;
    }
    std::size_t last = stop;
    if (last > s.colon + 1 && isMark(t[last - 1], ".")) --last;
    entry.text = text.verbatim(s.colon + 1, last);
    entry.wind = readAreaText(std::span(t).subspan(s.colon + 1, stop - s.colon - 1));
    (warnings ? b.warnings : b.areas).push_back(std::move(entry));
  }

  // Text between the parts that none of them explains.
  auto leftOver = [&](std::size_t from, std::size_t to) {
    if (from >= to) return;
    const std::string folded = text.folded(from, to);
    if (folded == "KEINE WARNUNGEN." || folded == "NO WARNINGS." || folded == "KEINE WARNUNGEN" ||
        folded == "NO WARNINGS") {
      b.noWarnings = true;
      return;
    }
    b.unreadParts.push_back(text.verbatim(from, to));
  };
  // Every token from the header's end to the bulletin's end belongs to one part; the runs
  // that belong to none are kept as they were received.
  const std::size_t entriesFrom = entries.empty() ? kNone : entries.front().name;
  std::vector<bool> covered(end, false);
  auto cover = [&](std::size_t from, std::size_t to) {
    for (std::size_t i = from; i < to && i < end; ++i) covered[i] = true;
  };
  if (synopsis != kNone) {
    std::size_t stop = end;
    for (std::size_t s : {expected, head, entriesFrom, outlook})
      if (s != kNone && s > synopsis) stop = std::min(stop, s);
    cover(synopsis, stop);
    std::size_t from = synopsis + 1;
    if (from < stop && t[synopsis].is("GENERAL")) ++from;
    if (from < stop && isMark(t[from], ":")) ++from;
    b.synopsis = text.verbatim(from, stop);
  }
  if (expected != kNone) cover(expected, listEnd + 1);
  if (head != kNone) cover(head, bodyFrom);
  if (entriesFrom != kNone) cover(entriesFrom, bodyEnd);
  if (outlook != kNone) cover(outlook, end);
  for (std::size_t i = headerEnd; i < end;) {
    if (covered[i]) {
      ++i;
      continue;
    }
    const std::size_t from = i;
    while (i < end && !covered[i]) ++i;
    leftOver(from, i);
  }
  if (outlook != kNone) b.outlook = text.verbatim(outlook, end);
  return b;
}

}  // namespace tern::seaweather
