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

bool endsReport(std::string_view word, DwdStore store) {
  if (word.empty()) return false;
  if (word.back() == '=') return true;
  if (store == DwdStore::English) return false;
  for (char c : word) {
    if (c == '=') return true;
  }
  return false;
}

}  // namespace

bool TSynopDecoder::RebuildReports(const BulletinSource& source) {
  if (!input_.Gather(source) && listIsRebuilt_) return false;
  collectLines_ = false;
  ReadBulletins(input_);
  FilterReports();
  writePendingLines();
  lines_.ReleaseUnused();
  listIsRebuilt_ = true;
  return true;
}

void TSynopDecoder::ReadBulletins(const BulletinSource& source) {
  lines_.Recycle(changeReports());
  reports_.clear();
  dropReport();
  // A rebuild depends on the stored bulletins only, never on what an earlier rebuild read.
  windUnitText_ = {};
  windFactor_ = 1.0;
  coastalDayText_.clear();
  coastalTimeText_.clear();

  textCount_ = 0;
  pending_.clear();
  for (const synop::InputRow& row : synop::RebuildRows()) {
    if (row.coastal) {
      ParseCoastalBulletin(source, row.heading);
    } else {
      DecodeShipBulletin(source, row.store, row.heading);
    }
  }
}

void TSynopDecoder::FilterReports() { filter_.Apply(changeReports()); }

std::span<std::string> TSynopDecoder::takeTexts(std::size_t count) {
  if (texts_.size() < textCount_ + count) texts_.resize(textCount_ + count);
  std::span<std::string> taken(texts_.data() + textCount_, count);
  textCount_ += count;
  return taken;
}

void TSynopDecoder::DecodeShipBulletin(const BulletinSource& source, DwdStore store,
                                       std::string_view heading) {
  // Slots 0 and 1 only: the third copy is too old to add anything the window keeps.
  const std::span<std::string> slots = takeTexts(2);
  source.copyTexts(store, heading, slots);
  for (std::string& text : slots) {
    if (text.empty()) continue;
    if (!IsAscii(text)) text = latin1ToUtf8(text);
    textIndex_ = static_cast<std::size_t>(&text - texts_.data());
    decodeWords(text, store);
  }
}

void TSynopDecoder::DecodeShipText(std::string_view latin1Text, DwdStore store) {
  std::string storage;
  std::string_view text = Utf8View(latin1Text, storage);
  if (!collectLines_) {
    std::string& kept = takeTexts(1).front();
    kept.assign(text);
    textIndex_ = textCount_ - 1;
    text = kept;
  }
  decodeWords(text, store);
}

void TSynopDecoder::decodeWords(std::string_view text, DwdStore store) {
  startBulletinCopy();
  ForEachWord(text, [&](std::string_view word) {
    wordOffset_ = static_cast<std::size_t>(word.data() - text.data());
    DecodeGroup(word);
    if (endsReport(word, store)) endReport(wordOffset_ + word.size());
  });
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
    ForEachWord(text, [&](std::string_view word) { DecodeGroup(word); });
    if (current_) {
      report.lines = std::move(current_->lines);
      lines_.AddLine(report.lines);
    }
    report.linesPending = -1;
    dropReport();
  }
  pending_.clear();
}

void TSynopDecoder::startBulletinCopy() {
  state_ = SynopState::AwaitZczc;
  dropReport();
}

void TSynopDecoder::beginReport() {
  dropReport();
  current_.emplace();
  if (collectLines_) current_->lines = lines_.TakeList();
  reportState_ = ReportState::Good;
  reportStart_.text = textIndex_;
  reportStart_.begin = wordOffset_;
  reportStart_.windUnitText = windUnitText_;
  reportStart_.windFactor = windFactor_;
}

void TSynopDecoder::endReport(std::size_t endOffset) {
  state_ = SynopState::CallSign;  // the next word is a call sign
  if (reportState_ == ReportState::Good && current_) {
    current_->ReportKind = kReportShip;
    if (collectLines_) {
      lines_.AddLine(current_->lines);
    } else {
      reportStart_.end = endOffset;
      current_->linesPending = static_cast<std::int32_t>(pending_.size());
      pending_.push_back(reportStart_);
    }
    changeReports().push_back(std::move(*current_));
  }
  dropReport();
}

void TSynopDecoder::dropReport() {
  if (current_) lines_.Recycle(current_->lines);
  current_.reset();
  reportState_ = ReportState::None;
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
  synop::GroupTarget t{*current_, reportState_, windUnitText_, windFactor_,
                       collectLines_ ? &lines_ : nullptr};
  decode(word, t);
}

}  // namespace tern
