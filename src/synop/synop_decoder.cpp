// The report loop of the ship bulletins and the group dispatcher: the state machine that
// decides, from the section markers and the first figures of each group, which decoder a
// group goes to.
#include "synop/synop_decoder.h"

#include <array>

#include "common/latin1.h"
#include "synop/group_decoders.h"
#include "synop/report_filter.h"
#include "synop/synop_text.h"

namespace tern {

using synop::startsWith;

namespace {

constexpr std::array<std::string_view, 8> kShipHeadingsSM = {
    "SMVX41", "SMVX42", "SMVX43", "SMVX44", "SMVX45", "SMVX46", "SMVX47", "SMVX48"};
constexpr std::array<std::string_view, 8> kShipHeadingsSI = {
    "SIVX41", "SIVX42", "SIVX43", "SIVX44", "SIVX45", "SIVX46", "SIVX47", "SIVX48"};

bool endsReport(std::string_view word, DwdStore store) {
  if (store == DwdStore::German) return word.find('=') != std::string_view::npos;
  return !word.empty() && word.back() == '=';
}

// Received text as UTF-8: most bulletins are plain ASCII and need no copy.
std::string_view asUtf8(std::string_view latin1, std::string& storage) {
  for (char c : latin1) {
    if (static_cast<unsigned char>(c) >= 0x80) {
      storage = latin1ToUtf8(latin1);
      return storage;
    }
  }
  return latin1;
}

}  // namespace

void TSynopDecoder::RebuildReports(const BulletinSource& source) {
  collectLines_ = false;
  ReadBulletins(source);
  FilterReports();
  writePendingLines();
}

void TSynopDecoder::ReadBulletins(const BulletinSource& source) {
  reports_.clear();
  current_.reset();
  reportState_ = ReportState::None;
  // A rebuild depends on the stored bulletins only, never on what an earlier rebuild read.
  windUnitText_.clear();
  windFactor_ = 1.0;
  coastalDayText_.clear();
  coastalTimeText_.clear();

  texts_.clear();
  pending_.clear();
  ParseCoastalBulletin(source, kNorthSeaHeading);
  ParseCoastalBulletin(source, kMediterraneanHeading);
  for (auto heading : kShipHeadingsSM) DecodeShipBulletin(source, DwdStore::German, heading);
  for (auto heading : kShipHeadingsSM) DecodeShipBulletin(source, DwdStore::English, heading);
  for (auto heading : kShipHeadingsSI) DecodeShipBulletin(source, DwdStore::English, heading);
}

void TSynopDecoder::FilterReports() { FilterReportList(reports_); }

void TSynopDecoder::DecodeShipBulletin(const BulletinSource& source, DwdStore store,
                                       std::string_view heading) {
  BulletinRow row = source.bulletins(store, heading);
  // Slots 0 and 1 only: the third copy is too old to add anything the window keeps.
  for (std::size_t slot = 0; slot < 2; ++slot) {
    if (row[slot].empty()) continue;
    if (collectLines_) {
      DecodeShipText(row[slot].text, store);
    } else {
      decodeOwnedText(std::move(row[slot].text), store);
    }
  }
}

void TSynopDecoder::DecodeShipText(std::string_view latin1Text, DwdStore store) {
  std::string storage;
  std::string_view text = asUtf8(latin1Text, storage);
  if (!collectLines_) {
    texts_.emplace_back(text);
    text = texts_.back();
  }
  decodeWords(text, store);
}

void TSynopDecoder::decodeOwnedText(std::string&& latin1Text, DwdStore store) {
  std::string storage;
  std::string_view utf8 = asUtf8(latin1Text, storage);
  texts_.push_back(utf8.data() == latin1Text.data() ? std::move(latin1Text) : std::move(storage));
  decodeWords(texts_.back(), store);
}

void TSynopDecoder::decodeWords(std::string_view text, DwdStore store) {
  const std::vector<std::string_view> words = WordsOfText(text);
  startBulletinCopy();
  for (std::string_view word : words) {
    if (word.empty()) continue;
    wordOffset_ = static_cast<std::size_t>(word.data() - text.data());
    DecodeGroup(word);
    if (endsReport(word, store)) endReport(wordOffset_ + word.size());
  }
  dropReport();  // a report without its closing "=" is incomplete
}

void TSynopDecoder::writePendingLines() {
  collectLines_ = true;
  for (auto& report : reports_) {
    if (report.linesPending < 0) continue;
    const PendingLines& p = pending_[static_cast<std::size_t>(report.linesPending)];
    std::string_view text = std::string_view(texts_[p.text]).substr(p.begin, p.end - p.begin);
    // The same words from the same state give the same report, now with its lines.
    windUnitText_ = p.windUnitText;
    windFactor_ = p.windFactor;
    startBulletinCopy();
    groupState_ = 2;
    for (std::string_view word : WordsOfText(text)) {
      if (!word.empty()) DecodeGroup(word);
    }
    if (current_) {
      report.lines = std::move(current_->lines);
      report.lines.emplace_back();
    }
    report.linesPending = -1;
    dropReport();
  }
  texts_.clear();
  pending_.clear();
}

void TSynopDecoder::startBulletinCopy() {
  groupState_ = 0;
  dropReport();
}

void TSynopDecoder::beginReport() {
  current_.emplace();
  if (collectLines_) current_->lines.reserve(64);  // a full report has about that many
  reportState_ = ReportState::Good;
  reportStart_.text = texts_.empty() ? 0 : texts_.size() - 1;
  reportStart_.begin = wordOffset_;
  reportStart_.windUnitText = windUnitText_;
  reportStart_.windFactor = windFactor_;
}

void TSynopDecoder::endReport(std::size_t endOffset) {
  groupState_ = 2;  // the next word is a call sign
  if (reportState_ == ReportState::Good && current_) {
    current_->ReportKind = kReportShip;
    if (collectLines_) {
      current_->lines.emplace_back();
    } else {
      reportStart_.end = endOffset;
      current_->linesPending = static_cast<std::int32_t>(pending_.size());
      pending_.push_back(reportStart_);
    }
    reports_.push_back(std::move(*current_));
  }
  dropReport();
}

void TSynopDecoder::dropReport() {
  current_.reset();
  reportState_ = ReportState::None;
}

void TSynopDecoder::BeginReportForTest(std::string_view callSign, std::uint8_t state) {
  startBulletinCopy();
  groupState_ = 2;
  DecodeGroup(callSign);
  groupState_ = state;
}

void TSynopDecoder::DecodeGroup(std::string_view word) {
  // The end mark belongs to the report, not to its last group: a group read with it would
  // see "=" where a figure belongs and could throw the whole report away.
  while (!word.empty() && word.back() == '=') word.remove_suffix(1);
  if (word.empty()) return;
  // Markers count only once the fixed groups of the identification and of Nddff are read:
  // an iRixhVV group 44461 or an Nddff group 33315 is the group its state expects.
  if (groupState_ >= 9 && testMarkers(word)) return;
  dispatch(word);
}

bool TSynopDecoder::testMarkers(std::string_view word) {
  struct Marker {
    std::string_view text;
    std::uint8_t state;
  };
  static constexpr std::array<Marker, 6> kMarkers = {
      {{"333", 30}, {"444", 48}, {"555", 50}, {"666", 80}, {"PIC", 66}, {"BOT", 68}}};
  switch (synop::charAt(word, 1)) {
    case '3':
    case '4':
    case '5':
    case '6':
    case 'P':
    case 'B':
      break;
    default:
      return false;
  }
  for (const auto& m : kMarkers) {
    if (startsWith(word, m.text)) {
      groupState_ = m.state;
      return true;
    }
  }
  return false;
}

template <class Decode>
void TSynopDecoder::run(Decode&& decode) {
  if (!current_) return;  // group decoders run only inside a report
  synop::GroupTarget t{*current_, reportState_, windUnitText_, windFactor_, collectLines_};
  decode(t);
}

void TSynopDecoder::dispatch(std::string_view w) {
  const std::uint8_t s = groupState_;
  if (s == 0) {
    if (synop::contains(w, "ZCZC")) groupState_ = 1;
  } else if (s == 1) {
    if (w == "BBXX") groupState_ = 2;
  } else if (s == 2) {
    // Bulletins that repeat "BBXX" before each report would otherwise lose every report
    // to a call sign "BBXX".
    if (w == "BBXX") return;
    beginReport();
    groupState_ = 3;
    run([&](synop::GroupTarget& t) { synop::decodeCallSign(w, t); });
  } else if (s == 3) {
    groupState_ = 4;
    run([&](synop::GroupTarget& t) { synop::decodeDateTime(w, t); });
  } else if (s == 4) {
    if (!startsWith(w, "99")) return;  // other words are skipped while waiting
    groupState_ = 5;
    run([&](synop::GroupTarget& t) { synop::decodeLatitude(w, t); });
  } else if (s == 5) {
    groupState_ = 6;
    run([&](synop::GroupTarget& t) { synop::decodeLongitude(w, t); });
  } else if (s == 6 || s == 7) {
    groupState_ = 8;
    run([&](synop::GroupTarget& t) { synop::decodeIndicators(w, t); });
  } else if (s == 8) {
    groupState_ = 9;
    run([&](synop::GroupTarget& t) { synop::decodeCloudAndWind(w, t); });
  } else if (s <= 19) {
    dispatchSection1(w);
  } else if (s <= 29) {
    dispatchSection2(w);
  } else if (s <= 35) {
    dispatchSection3(w);
  } else if (s <= 39) {
    // The daily radiation block; a 553 group after it opens the hourly block, as it does
    // after the main groups of section 3.
    if (startsWith(w, "553")) {
      groupState_ = 40;
      return;
    }
    char c = synop::charAt(w, 1);
    if (c < '2' || c > '4') return;
    groupState_ = static_cast<std::uint8_t>(37 + (c - '2'));
    run([&](synop::GroupTarget& t) { synop::decodeDailyRadiation(w, t); });
  } else if (s <= 47) {
    dispatchHourlyRadiation(w);
  } else if (s <= 49) {
    // Every group of section 4 describes one cloud layer.
    groupState_ = 49;
    run([&](synop::GroupTarget& t) { synop::decodeSection4Cloud(w, t); });
  } else if (s <= 65) {
    dispatchSection5(w);
  } else if (s <= 69) {
    if (startsWith(w, "80000")) {
      groupState_ = 70;
      return;
    }
    if (s <= 67) {
      groupState_ = 67;
      run([&](synop::GroupTarget& t) { synop::decodeMountainCloud(w, t); });
    } else {
      groupState_ = 69;
      run([&](synop::GroupTarget& t) { synop::decodeSoilTemperature(w, t); });
    }
  } else if (s <= 79) {
    dispatchPreviousDay(w);
  } else if (s <= 85) {
    dispatchHourlyBlock(w);
  } else if (s <= 92) {
    char c = synop::charAt(w, 1);
    if (c < '0' || c > '5') return;
    groupState_ = static_cast<std::uint8_t>(87 + (c - '0'));
    run([&](synop::GroupTarget& t) { synop::decodeTenMinutePrecipitation(w, t); });
  }
}

void TSynopDecoder::dispatchSection1(std::string_view w) {
  if (startsWith(w, "222")) {
    groupState_ = 20;
    run([&](synop::GroupTarget& t) { synop::decodeShipMovement(w, t); });
    return;
  }
  if (startsWith(w, "00")) {
    groupState_ = 10;
    run([&](synop::GroupTarget& t) { synop::decodeHighWind(w, t); });
    return;
  }
  using Decoder = void (*)(std::string_view, synop::GroupTarget&);
  static constexpr std::array<Decoder, 9> kDecoders = {
      synop::decodeAirTemperature,   synop::decodeDewPoint, synop::decodeStationPressure,
      synop::decodeSeaLevelPressure, synop::decodeTendency, synop::decodePrecipitation,
      synop::decodeWeather,          synop::decodeClouds,   synop::decodeObservationTime};
  char c = synop::charAt(w, 1);
  if (c < '1' || c > '9') return;
  groupState_ = static_cast<std::uint8_t>(10 + (c - '0'));
  run([&](synop::GroupTarget& t) { kDecoders[static_cast<std::size_t>(c - '1')](w, t); });
}

void TSynopDecoder::dispatchSection2(std::string_view w) {
  char c = synop::charAt(w, 1);
  switch (c) {
    case '0':
      groupState_ = 21;
      run([&](synop::GroupTarget& t) { synop::decodeSeaTemperature(w, t); });
      return;
    case '1':
      groupState_ = 22;
      run([&](synop::GroupTarget& t) { synop::decodeWindWaves(w, t); });
      return;
    case '2':
      groupState_ = 23;
      run([&](synop::GroupTarget& t) { synop::decodeWindWaves(w, t); });
      return;
    case '3':
      groupState_ = 24;
      run([&](synop::GroupTarget& t) { synop::decodeSwellDirections(w, t); });
      return;
    case '4':
      groupState_ = 25;
      run([&](synop::GroupTarget& t) { synop::decodeSwell(w, t, 1); });
      return;
    case '5':
      groupState_ = 26;
      run([&](synop::GroupTarget& t) { synop::decodeSwell(w, t, 2); });
      return;
    case '6':
      groupState_ = 27;
      run([&](synop::GroupTarget& t) { synop::decodeIceAccretion(w, t); });
      return;
    case '7':
      if (!startsWith(w, "70")) return;
      groupState_ = 28;
      run([&](synop::GroupTarget& t) { synop::decodeWaveHeightTenths(w, t); });
      return;
    case '8':
      groupState_ = 29;
      run([&](synop::GroupTarget& t) { synop::decodeWetBulb(w, t); });
      return;
    default:
      return;
  }
}

void TSynopDecoder::dispatchSection3(std::string_view w) {
  if (startsWith(w, "553")) {
    groupState_ = 40;  // the hourly radiation block begins
    return;
  }
  if (startsWith(w, "55")) {
    groupState_ = 36;  // the daily radiation block begins
    return;
  }
  switch (synop::charAt(w, 1)) {
    case '0':
      groupState_ = 31;
      run([&](synop::GroupTarget& t) { synop::decodeSection3Zero(w, t); });
      return;
    case '1':
      groupState_ = 32;
      run([&](synop::GroupTarget& t) { synop::decodeMaxTemperature12h(w, t); });
      return;
    case '2':
      groupState_ = 33;
      run([&](synop::GroupTarget& t) { synop::decodeMinTemperature12h(w, t); });
      return;
    case '3':
      groupState_ = 34;
      run([&](synop::GroupTarget& t) { synop::decodeGroundMinimum(w, t); });
      return;
    case '4':
      groupState_ = 35;
      run([&](synop::GroupTarget& t) { synop::decodeSnowState(w, t); });
      return;
    default:
      return;
  }
}

void TSynopDecoder::dispatchHourlyRadiation(std::string_view w) {
  if (startsWith(w, "553")) {
    groupState_ = 40;
    run([&](synop::GroupTarget& t) { synop::decodeHourlySunshine(w, t); });
    return;
  }
  switch (synop::charAt(w, 1)) {
    case '2':
      groupState_ = 41;
      run([&](synop::GroupTarget& t) { synop::decodeHourlyRadiation(w, t); });
      return;
    case '3':
      groupState_ = 42;
      run([&](synop::GroupTarget& t) { synop::decodeHourlyRadiation(w, t); });
      return;
    case '4':
      groupState_ = 43;
      run([&](synop::GroupTarget& t) { synop::decodeHourlyRadiation(w, t); });
      return;
    case '6':
      groupState_ = 44;
      run([&](synop::GroupTarget& t) { synop::decodeHourlyPrecipitation(w, t); });
      return;
    case '7':
      groupState_ = 45;
      run([&](synop::GroupTarget& t) { synop::decodePrecipitation24h(w, t); });
      return;
    case '8':
      groupState_ = 46;
      run([&](synop::GroupTarget& t) { synop::decodeCloudLayer(w, t); });
      return;
    case '9':
      groupState_ = 47;
      run([&](synop::GroupTarget& t) { synop::decodeSection3Nine(w, t); });
      return;
    default:
      return;
  }
}

void TSynopDecoder::dispatchSection5(std::string_view w) {
  int next = 0;
  if (startsWith(w, "555")) {
    groupState_ = 50;
    return;
  }
  switch (synop::charAt(w, 1)) {
    case '0':
      next = 51;
      break;
    case '1':
      next = 52;
      break;
    case '2': {
      char c = synop::charAt(w, 2);
      if (c == '0' || c == '1') next = 53;
      if (c >= '2' && c <= '6') next = 54 + (c - '2');
      break;
    }
    case '3':
      next = 59;
      break;
    case '5':
      next = 60;
      break;
    case '7':
      next = 61;
      break;
    case '8':
      next = 62;
      break;
    case '9':
      if (startsWith(w, "910")) next = 63;
      if (startsWith(w, "911")) next = 64;
      if (startsWith(w, "912")) next = 65;
      break;
    default:
      break;
  }
  if (next == 0) return;
  groupState_ = static_cast<std::uint8_t>(next);
  run([&](synop::GroupTarget& t) { synop::decodeSection5(w, t, next); });
}

void TSynopDecoder::dispatchPreviousDay(std::string_view w) {
  char c = synop::charAt(w, 1);
  if (c < '1' || c > '9') return;
  groupState_ = static_cast<std::uint8_t>(70 + (c - '0'));
  run([&](synop::GroupTarget& t) { synop::decodePreviousDay(w, t, c - '0'); });
}

void TSynopDecoder::dispatchHourlyBlock(std::string_view w) {
  if (startsWith(w, "80000")) {
    groupState_ = 86;  // the 10-minute precipitation block begins
    return;
  }
  int next = 0;
  switch (synop::charAt(w, 1)) {
    case '1':
      next = 81;
      break;
    case '2':
      next = 82;
      break;
    case '3':
      next = 83;
      break;
    case '6':
      next = 84;
      break;
    case '7':
      next = 85;
      break;
    default:
      return;
  }
  groupState_ = static_cast<std::uint8_t>(next);
  run([&](synop::GroupTarget& t) { synop::decodeHourlyBlock(w, t, synop::charAt(w, 1) - '0'); });
}

}  // namespace tern
