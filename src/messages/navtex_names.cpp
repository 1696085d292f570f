#include "messages/navtex_names.h"

#include <array>
#include <cctype>
#include <vector>

#include "common/latin1.h"
#include "messages/channels.h"

namespace tern {

namespace {

struct StationLetter {
  int which;
  char letter;
  const char* name;
};

// UTF-8, as every text of the program.
constexpr std::array<StationLetter, 22> kStations{{
    {kNavtex518, 'A', "Svalbard"},
    {kNavtex518, 'B', "Bodø"},
    {kNavtex518, 'D', "Tórshavn"},
    {kNavtex518, 'E', "Niton"},
    {kNavtex518, 'G', "Cullercoats"},
    {kNavtex518, 'H', "Bjuröklubb"},
    {kNavtex518, 'I', "Grimeton"},
    {kNavtex518, 'J', "Gislövshammar"},
    {kNavtex518, 'K', "Niton"},
    {kNavtex518, 'L', "Rogaland"},
    {kNavtex518, 'N', "Ørlandet"},
    {kNavtex518, 'O', "Portpatrick"},
    {kNavtex518, 'P', "Netherlands Coastguard"},
    {kNavtex518, 'Q', "Malin Head"},
    {kNavtex518, 'R', "Reykjavík"},
    {kNavtex518, 'S', "Pinneberg"},
    {kNavtex518, 'T', "Oostende"},
    {kNavtex518, 'V', "Vardø"},
    {kNavtex518, 'W', "Valentia"},
    {kNavtex490, 'C', "Portpatrick"},
    {kNavtex490, 'I', "Niton"},
    {kNavtex490, 'L', "Pinneberg"},
}};

bool endsWith(const std::string& text, const std::string& end) {
  return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

// "NETHERLANDS COASTGUARD" as "Netherlands Coastguard".
std::string capitalised(const std::string& upper) {
  std::string out = upper;
  bool first = true;
  for (char& c : out) {
    const auto u = static_cast<unsigned char>(c);
    if (std::isalpha(u) != 0) {
      c = static_cast<char>(first ? std::toupper(u) : std::tolower(u));
      first = false;
    } else {
      first = true;
    }
  }
  return out;
}

// "101200 UTC JUN 26": six digits and "UTC".
bool isDateTimeGroup(const std::string& line) {
  if (line.size() < 10 || line.compare(6, 4, " UTC") != 0) return false;
  for (int k = 0; k < 6; ++k)
    if (std::isdigit(static_cast<unsigned char>(line[static_cast<std::size_t>(k)])) == 0)
      return false;
  return true;
}

bool isStationLine(const std::string& line) { return line.size() > 7 && endsWith(line, " NAVTEX"); }

// The lines before "NNNN" that are not the header, without blank ones.
std::vector<std::string> contentLines(const MessageRecord& record) {
  std::vector<std::string> content;
  bool header = true;
  for (const std::string& line : record.textLines()) {
    if (line.rfind("NNNN", 0) == 0) break;
    if (line.find_first_not_of(' ') == std::string::npos || line.rfind("ZCZC", 0) == 0) continue;
    if (header && (isStationLine(line) || isDateTimeGroup(line))) continue;
    header = false;
    content.push_back(line);
  }
  return content;
}

}  // namespace

const char* NavtexSubjectWord(char indicator) {
  switch (indicator) {
    case 'A':
    case 'L':
      return "Navigationswarnung";
    case 'B':
      return "Wetterwarnung";
    case 'C':
      return "Eisbericht";
    case 'D':
      return "Seenot";
    case 'E':
      return "Wettervorhersage";
    case 'F':
      return "Lotsendienst";
    case 'G':
    case 'H':
    case 'J':
      return "Funknavigation";
    case 'Z':
      return "Keine Meldung";
    default:
      return "Meldung";
  }
}

std::string NavtexStationName(int which, const MessageRecord& record) {
  for (const std::string& line : record.textLines()) {
    if (line.rfind("ZCZC", 0) == 0 || line.empty()) continue;
    if (isStationLine(line)) {
      // From the air: a control character is shown escaped, never passed to a log or screen.
      return printableLatin1(capitalised(line.substr(0, line.size() - 7)));
    }
    break;
  }
  const std::string key = record.keyText();
  const char letter = key.empty() ? ' ' : key[0];
  for (const StationLetter& s : kStations) {
    if (s.which == which && s.letter == letter) return s.name;
  }
  return "Station " + printableLatin1(std::string(1, letter));
}

std::string NavtexHeadline(const MessageRecord& record) {
  const std::vector<std::string> content = contentLines(record);
  if (content.empty()) return {};
  if (content[0].size() < kShortLine && content.size() > 1) return content[0] + ": " + content[1];
  return content[0];
}

}  // namespace tern
