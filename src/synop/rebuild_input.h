// Every bulletin text a rebuild of the report list reads, gathered before it decodes. The
// list depends on these texts alone (no clock, no earlier rebuild), so a rebuild whose texts
// equal those of the one before would give the same list and can be skipped: the SYNOP page
// comes to the front far more often than new ship bulletins arrive.
#pragma once

#include <array>
#include <cstddef>
#include <span>
#include <string>
#include <string_view>

#include "synop/bulletin_source.h"

namespace tern::synop {

// The rows a rebuild reads, in the order it reads them, and how many slots of each.
struct InputRow {
  DwdStore store;
  std::string_view heading;
  bool coastal;        // a coastal bulletin: its newest copy only
  std::size_t copies;  // how many, from the newest
};
// The coastal bulletins (newest copy), then the ship bulletins (slots 0 and 1: the third copy
// is too old to add anything the list keeps) of the German and the English store.
std::span<const InputRow> RebuildRows();

// A bulletin source over the gathered texts: what the decoder reads while it rebuilds.
// Thread: the thread of its owner (the decoder's).
class RebuildInput final : public BulletinSource {
 public:
  // Copies every text of RebuildRows() out of `source` (one call per row); true when any
  // differs from what the last Gather() got, or on the first call.
  bool Gather(const BulletinSource& source);
  // Forgets the texts, so the next Gather() reports a change.
  void Forget() { gathered_ = false; }

  // Rows not in RebuildRows(), and slots beyond the gathered ones, read as empty.
  BulletinRow bulletins(DwdStore store, std::string_view heading) const override;
  void copyTexts(DwdStore store, std::string_view heading,
                 std::span<std::string> texts) const override;

 private:
  static constexpr std::size_t kTexts = 2 + 3 * 8 * 2;
  // The text of `slot` of `heading` in `store`; nullptr for what is not gathered.
  const std::string* find(DwdStore store, std::string_view heading, std::size_t slot) const;

  std::array<std::string, kTexts> texts_;
  std::array<std::string, kTexts> fresh_;  // storage of the next Gather(), kept
  bool gathered_ = false;
};

}  // namespace tern::synop
