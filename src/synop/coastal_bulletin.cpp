// Coastal station bulletins: every station word of the heading's table, followed by a
// German compass word and a Beaufort force, becomes a report at the station's fixed place.
// The report carries the whole bulletin as its lines, so the message window can show the
// station's line in its context.
#include "common/latin1.h"
#include "synop/synop_decoder.h"
#include "synop/synop_text.h"

namespace tern {

namespace {

const CoastalStation* findStation(std::span<const CoastalStation> stations, std::string_view word) {
  for (const auto& s : stations)
    if (s.word == word) return &s;
  return nullptr;
}

// "Tag: 5" from "05.03.2026" and the like: the first two characters.
std::string firstTwoAsNumber(std::string_view word) { return NumberText(word.substr(0, 2)); }

}  // namespace

void TSynopDecoder::ParseCoastalBulletin(const BulletinSource& source, std::string_view heading) {
  const BulletinRow row = source.bulletins(DwdStore::German, heading);
  if (!row[0].empty()) ParseCoastalText(row[0].text, heading);  // the newest copy only
}

void TSynopDecoder::ParseCoastalText(std::string_view latin1Text, std::string_view heading) {
  const auto stations = StationsOfHeading(heading);
  const std::vector<std::string> lines = CutLines(latin1ToUtf8(latin1Text));
  std::vector<std::string> words;
  for (const auto& line : lines) SplitWords(line, words);

  // The last word is never a station: a station needs the two words after it.
  for (std::size_t i = 0; i + 1 < words.size(); ++i) {
    const std::string& word = words[i];
    if (word.empty()) continue;
    if (word == "NNNN") break;
    if (synop::contains(word, "UTC")) {
      // "05.03.2026 12 UTC": the date and the hour are the two words before; a "UTC" without
      // them names no time.
      if (i >= 2) {
        coastalDayText_ = "Tag: " + firstTwoAsNumber(words[i - 2]);
        coastalTimeText_ = "Zeit: " + firstTwoAsNumber(words[i - 1]) + "h";
      }
      continue;
    }
    const CoastalStation* station = findStation(stations, word);
    if (station == nullptr || i + 2 >= words.size()) continue;

    TSynopType report;
    report.latitude = station->latitude;
    report.longitude = station->longitude;
    report.direction = DirectionWordToDegrees(words[i + 1]);
    const std::string& forceWord = words[i + 2];
    bool digitsOnly =
        !forceWord.empty() && forceWord.find_first_not_of("0123456789") == std::string::npos;
    if (digitsOnly) {
      // A force above 12 (or too long to be one) lists the station without a speed.
      auto force = synop::toInt(forceWord);
      if (force) {
        if (auto speed = BeaufortToSpeed(*force)) report.speed = *speed;
      }
    } else {
      report.speed = 0.0;
      report.latitude = TSynopType::kUnknown;  // dropped by the filter
    }
    report.lines = lines;
    report.ReportKind = kReportCoastal;
    report.name = std::string(station->name);
    report.timeText = coastalTimeText_;
    report.dayText = coastalDayText_;
    reports_.push_back(std::move(report));
  }
}

}  // namespace tern
