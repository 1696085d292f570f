#include "synop/rebuild_input.h"

#include <algorithm>

#include "synop/coastal_stations.h"

namespace tern::synop {

namespace {

constexpr std::array<std::string_view, 8> kShipHeadingsSM = {
    "SMVX41", "SMVX42", "SMVX43", "SMVX44", "SMVX45", "SMVX46", "SMVX47", "SMVX48"};
constexpr std::array<std::string_view, 8> kShipHeadingsSI = {
    "SIVX41", "SIVX42", "SIVX43", "SIVX44", "SIVX45", "SIVX46", "SIVX47", "SIVX48"};

constexpr std::size_t kShipSlots = 2;

constexpr auto kRows = [] {
  std::array<InputRow, 2 + 3 * 8> rows{};
  std::size_t n = 0;
  rows[n++] = {DwdStore::German, kNorthSeaHeading, true, 1};
  rows[n++] = {DwdStore::German, kMediterraneanHeading, true, 1};
  for (auto heading : kShipHeadingsSM) rows[n++] = {DwdStore::German, heading, false, kShipSlots};
  for (auto heading : kShipHeadingsSM) rows[n++] = {DwdStore::English, heading, false, kShipSlots};
  for (auto heading : kShipHeadingsSI) rows[n++] = {DwdStore::English, heading, false, kShipSlots};
  return rows;
}();

constexpr std::size_t textCount() {
  std::size_t n = 0;
  for (const InputRow& row : kRows) n += row.copies;
  return n;
}

}  // namespace

std::span<const InputRow> RebuildRows() { return kRows; }

static_assert(textCount() == 2 + 3 * 8 * kShipSlots);

bool RebuildInput::Gather(const BulletinSource& source) {
  static_assert(textCount() == kTexts);
  std::size_t next = 0;
  for (const InputRow& row : kRows) {
    source.copyTexts(row.store, row.heading, std::span(fresh_.data() + next, row.copies));
    next += row.copies;
  }
  const bool changed = !gathered_ || fresh_ != texts_;
  // Swapped either way: the old texts' storage is reused by the next Gather().
  texts_.swap(fresh_);
  gathered_ = true;
  return changed;
}

const std::string* RebuildInput::find(DwdStore store, std::string_view heading,
                                      std::size_t slot) const {
  std::size_t first = 0;
  for (const InputRow& row : kRows) {
    if (row.store == store && row.heading == heading) {
      return slot < row.copies ? &texts_[first + slot] : nullptr;
    }
    first += row.copies;
  }
  return nullptr;
}

BulletinRow RebuildInput::bulletins(DwdStore store, std::string_view heading) const {
  BulletinRow row;
  for (std::size_t s = 0; s < row.size(); ++s) {
    const std::string* text = find(store, heading, s);
    if (text == nullptr || text->empty()) continue;
    row[s].transmitterCode = 0;
    row[s].keyText = heading;
    row[s].text = *text;
  }
  return row;
}

void RebuildInput::copyTexts(DwdStore store, std::string_view heading,
                             std::span<std::string> texts) const {
  for (std::size_t s = 0; s < texts.size(); ++s) {
    const std::string* text = find(store, heading, s);
    if (text != nullptr) {
      texts[s].assign(*text);
    } else {
      texts[s].clear();
    }
  }
}

}  // namespace tern::synop
