// TSynopDecoder turns the ship SYNOP bulletins (FM 13 SHIP with the national groups of the
// German weather service) and the two coastal station bulletins into the list of reports
// that the wind map draws and the message window lists. The list is rebuilt whole from the
// stored bulletins each time the SYNOP page comes to the front (unless those are the same as
// at the last rebuild); nothing of it is stored.
//
// The decoder reads its bulletins through the BulletinSource seam and works on the
// received text only: no clock, no toolkit. Every group decoder reads fixed character
// positions through the bounds-safe helpers of synop_text.h, so no input, however garbled,
// makes it read outside a word.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "synop/bulletin_source.h"
#include "synop/coastal_stations.h"
#include "synop/group_state.h"
#include "synop/line_pool.h"
#include "synop/rebuild_input.h"
#include "synop/report_filter.h"
#include "synop/synop_type.h"

namespace tern {

enum class ReportState : std::uint8_t { None = 0, Bad = 1, Good = 2 };

namespace synop {
struct GroupTarget;
using GroupDecoder = void (*)(std::string_view w, GroupTarget& t);
}  // namespace synop

// Thread: window thread only (the page-change handler); it takes no lock of its own.
class TSynopDecoder {
 public:
  // Empties the list, reads the coastal bulletins "SXEN40" and "SXMM41" (German store), the
  // ship headings "SMVX41".."SMVX48" of the German store, "SMVX41".."SMVX48" and
  // "SIVX41".."SIVX48" of the English store, then filters and orders the list. When every
  // text it reads equals those of the last rebuild, and nothing changed the list since, the
  // list stands as it is (the same texts give the same list): only the texts are copied.
  // Returns whether the list was built anew.
  bool RebuildReports(const BulletinSource& source);
  // RebuildReports without the final FilterReports (for tools that show the raw list).
  void ReadBulletins(const BulletinSource& source);

  // Decodes slots 0 and 1 of `heading` in `store`.
  void DecodeShipBulletin(const BulletinSource& source, DwdStore store, std::string_view heading);
  // Decodes one bulletin copy (Latin-1 bytes as received) of `store`.
  void DecodeShipText(std::string_view latin1Text, DwdStore store);
  // Reads slot 0 of the coastal `heading` ("SXEN40" or "SXMM41") in the German store.
  void ParseCoastalBulletin(const BulletinSource& source, std::string_view heading);
  // Parses one coastal bulletin copy (Latin-1 bytes) against `heading`'s station table.
  void ParseCoastalText(std::string_view latin1Text, std::string_view heading);
  // The group dispatcher: may advance the state and runs at most one group decoder.
  void DecodeGroup(std::string_view word);
  // Drops invalid and outdated reports, orders by name and keeps one report per name.
  void FilterReports();

  const std::vector<TSynopType>& ReportList() const { return reports_; }
  SynopState State() const { return state_; }
  // The state's number (see group_state.h), as tests and traces show it.
  std::uint8_t GroupState() const { return static_cast<std::uint8_t>(state_); }
  ReportState CurrentReportState() const { return reportState_; }
  // The report being built, when there is one.
  const TSynopType* CurrentReport() const { return current_ ? &*current_ : nullptr; }

 private:
  // The report loop over one copy's text (UTF-8); views into it may be kept while it lives.
  void decodeWords(std::string_view text, DwdStore store);
  // `count` more of the rebuild's text buffers.
  std::span<std::string> takeTexts(std::size_t count);
  void startBulletinCopy();
  void beginReport();
  void endReport(std::size_t endOffset);
  void writePendingLines();
  void dropReport();
  void dispatch(std::string_view word);
  // Runs a group decoder on the report being built (none outside a report).
  void run(synop::GroupDecoder decode, std::string_view word);
  // Every change of reports_ goes through here: the list no longer is a rebuild's.
  std::vector<TSynopType>& changeReports() {
    listIsRebuilt_ = false;
    return reports_;
  }

  std::vector<TSynopType> reports_;
  // The texts of the last rebuild; whether reports_ is still what that rebuild left.
  synop::RebuildInput input_;
  bool listIsRebuilt_ = false;
  std::optional<TSynopType> current_;
  SynopState state_ = SynopState::AwaitZczc;
  ReportState reportState_ = ReportState::None;
  std::string_view windUnitText_;  // a text of the date group's table, or empty
  double windFactor_ = 1.0;
  // Day and time of the coastal bulletin being read; a bulletin without its own "UTC" line
  // keeps those of the one before within the same rebuild.
  std::string coastalDayText_;
  std::string coastalTimeText_;

  // A rebuild decodes every ship report first without its lines, to learn which ones the
  // filter keeps, and then writes the lines of those only: most reports of the two stores
  // and of the older copies are duplicates that the filter drops.
  struct PendingLines {
    std::size_t text = 0;   // index into texts_
    std::size_t begin = 0;  // byte range of the report's words in that text
    std::size_t end = 0;
    std::string_view windUnitText;  // the wind unit in force when the report began
    double windFactor = 1.0;
  };
  bool collectLines_ = true;
  // The bulletin copies of the rebuild, as UTF-8; the first textCount_ are in use, and their
  // storage stays for the next rebuild.
  std::vector<std::string> texts_;
  std::size_t textCount_ = 0;
  std::size_t textIndex_ = 0;  // of the copy being decoded
  std::vector<PendingLines> pending_;
  std::size_t wordOffset_ = 0;  // of the word being dispatched, in its text
  PendingLines reportStart_;    // where the report being built began
  synop::LinePool lines_;       // storage of the lines, handed on from rebuild to rebuild
  ReportFilter filter_;

  // The coastal bulletin being read: its copy as received, its text as UTF-8 where that
  // differs, its lines and words as views.
  std::string coastalCopy_;
  std::string coastalText_;
  std::vector<std::string_view> coastalLines_;
  std::vector<std::string_view> coastalWords_;
};

}  // namespace tern
