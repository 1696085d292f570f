// Coastal station bulletins: every station word of the heading's table, followed by a
// German compass word and a Beaufort force, becomes a report at the station's fixed place.
// The report carries the whole bulletin as its lines, so the message window can show the
// station's line in its context.
#include "synop/synop_decoder.h"
#include "synop/synop_text.h"

namespace tern {

namespace {

const CoastalStation* findStation(std::span<const CoastalStation> stations, std::string_view word) {
  for (const auto& s : stations)
    if (s.word == word) return &s;
  return nullptr;
}

}  // namespace

void TSynopDecoder::ParseCoastalBulletin(const BulletinSource& source, std::string_view heading) {
  source.copyTexts(DwdStore::German, heading, std::span(&coastalCopy_, 1));  // the newest copy
  if (!coastalCopy_.empty()) ParseCoastalText(coastalCopy_, heading);
}

void TSynopDecoder::ParseCoastalText(std::string_view latin1Text, std::string_view heading) {
  const auto stations = StationsOfHeading(heading);
  const std::string_view text = Utf8View(latin1Text, coastalText_);
  coastalLines_.clear();
  LineViews(text, coastalLines_);
  coastalWords_.clear();
  for (std::string_view line : coastalLines_) SplitWordViews(line, coastalWords_);
  const std::vector<std::string_view>& words = coastalWords_;

  // The last word is never a station: a station needs the two words after it.
  for (std::size_t i = 0; i + 1 < words.size(); ++i) {
    const std::string_view word = words[i];
    if (word.empty()) continue;
    if (word == "NNNN") break;
    if (synop::contains(word, "UTC")) {
      // "05.03.2026 12 UTC": the date and the hour are the first two characters of the two
      // words before; a "UTC" without them names no time.
      if (i >= 2) {
        synop::assignParts(coastalDayText_, "Tag: ", synop::Number{words[i - 2].substr(0, 2)});
        synop::assignParts(coastalTimeText_, "Zeit: ", synop::Number{words[i - 1].substr(0, 2)},
                           "h");
      }
      continue;
    }
    const CoastalStation* station = findStation(stations, word);
    if (station == nullptr || i + 2 >= words.size()) continue;

    TSynopType& report = changeReports().emplace_back();
    report.latitude = station->latitude;
    report.longitude = station->longitude;
    report.direction = DirectionWordToDegrees(words[i + 1]);
    const std::string_view forceWord = words[i + 2];
    bool digitsOnly =
        !forceWord.empty() && forceWord.find_first_not_of("0123456789") == std::string_view::npos;
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
    report.lines = lines_.TakeList();
    for (std::string_view line : coastalLines_) lines_.AddLine(report.lines).assign(line);
    report.ReportKind = kReportCoastal;
    report.name.assign(station->name);
    report.timeText = coastalTimeText_;
    report.dayText = coastalDayText_;
  }
}

}  // namespace tern
