// The report loop of the ship bulletins and the group dispatcher: the state machine that
// decides, by the rules of group_rules.cpp, which decoder a group goes to.
#include "synop/synop_decoder.h"

#include <array>

#include "common/latin1.h"
#include "synop/group_decoders.h"
#include "synop/group_rules.h"
#include "synop/report_filter.h"
#include "synop/synop_text.h"

namespace tern {

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
  windUnitText_ = {};
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
    state_ = SynopState::CallSign;
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
  state_ = SynopState::AwaitZczc;
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
  state_ = SynopState::CallSign;  // the next word is a call sign
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

void TSynopDecoder::BeginReportForTest(std::string_view callSign, SynopState state) {
  startBulletinCopy();
  state_ = SynopState::CallSign;
  DecodeGroup(callSign);
  state_ = state;
}

void TSynopDecoder::DecodeGroup(std::string_view word) {
  // The end mark belongs to the report, not to its last group: a group read with it would
  // see "=" where a figure belongs and could throw the whole report away.
  while (!word.empty() && word.back() == '=') word.remove_suffix(1);
  if (word.empty()) return;
  // Markers count only once the fixed groups of the identification and of Nddff are read:
  // an iRixhVV group 44461 or an Nddff group 33315 is the group its state expects.
  if (state_ >= SynopState::Section1) {
    if (const auto marker = synop::MarkerState(word)) {
      state_ = *marker;
      return;
    }
  }
  dispatch(word);
}

void TSynopDecoder::dispatch(std::string_view word) {
  const synop::GroupRule* rule = synop::FindRule(state_, word);
  if (rule == nullptr) return;  // a word that no rule expects is skipped
  if (rule->decode == synop::decodeCallSign) beginReport();
  state_ = rule->next;
  if (rule->decode != nullptr) run(rule->decode, word);
}

void TSynopDecoder::run(synop::GroupDecoder decode, std::string_view word) {
  if (!current_) return;  // group decoders run only inside a report
  synop::GroupTarget t{*current_, reportState_, windUnitText_, windFactor_, collectLines_};
  decode(word, t);
}

}  // namespace tern
