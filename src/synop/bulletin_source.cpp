#include "synop/bulletin_source.h"

#include "link/protocol.h"

namespace tern {

namespace {

constexpr std::size_t kHeaderSize = protocol::kRecordHeaderSize;
constexpr std::size_t kKeyWidth = protocol::kRecordKeyLength;

std::string_view keyPrefix(std::string_view text) { return text.substr(0, kKeyWidth); }

}  // namespace

bool RowCarriesHeading(const BulletinRow& row, std::string_view heading) {
  for (const auto& slot : row) {
    if (!slot.empty() && keyPrefix(slot.keyText) == keyPrefix(heading)) return true;
  }
  return false;
}

BulletinCopy BulletinCopyFromRecord(ByteView header, ByteView data) {
  BulletinCopy copy;
  if (header.size() != kHeaderSize) return copy;
  ByteReader r(header);
  copy.transmitterCode = *r.u8();
  r.skip(4);  // the data length; `data` already has it
  ByteView key = *r.take(kKeyWidth);
  for (std::uint8_t b : key) {
    if (b == 0) break;
    copy.keyText.push_back(static_cast<char>(b));
  }
  copy.received.hour = *r.u8();
  copy.received.minute = *r.u8();
  copy.received.second = *r.u8();
  copy.received.day = *r.u8();
  copy.received.month = *r.u8();
  copy.received.year = protocol::kYearBase + *r.u8();
  copy.text.assign(data.begin(), data.end());
  return copy;
}

void BulletinSource::copyTexts(DwdStore store, std::string_view heading,
                               std::span<std::string> texts) const {
  BulletinRow row = bulletins(store, heading);
  for (std::size_t s = 0; s < texts.size(); ++s) {
    if (s < row.size()) {
      texts[s].assign(row[s].text);
    } else {
      texts[s].clear();
    }
  }
}

std::size_t MemoryBulletinSource::addRow(DwdStore store, BulletinRow row) {
  table(store).push_back(std::move(row));
  return table(store).size() - 1;
}

void MemoryBulletinSource::put(DwdStore store, std::string_view heading, int slot, std::string text,
                               CivilTime received, std::uint8_t transmitterCode) {
  if (slot < 0 || slot > 2) return;
  auto& rows = table(store);
  BulletinRow* target = nullptr;
  for (auto& row : rows) {
    if (RowCarriesHeading(row, heading)) {
      target = &row;
      break;
    }
  }
  if (target == nullptr) target = &rows.emplace_back();
  BulletinCopy& copy = (*target)[static_cast<std::size_t>(slot)];
  copy.transmitterCode = transmitterCode;
  copy.keyText = std::string(keyPrefix(heading));
  copy.received = received;
  copy.text = std::move(text);
}

const BulletinRow* MemoryBulletinSource::find(DwdStore store, std::string_view heading) const {
  for (const auto& row : table(store)) {
    if (RowCarriesHeading(row, heading)) return &row;
  }
  return nullptr;
}

BulletinRow MemoryBulletinSource::bulletins(DwdStore store, std::string_view heading) const {
  const BulletinRow* row = find(store, heading);
  return row != nullptr ? *row : BulletinRow{};
}

void MemoryBulletinSource::copyTexts(DwdStore store, std::string_view heading,
                                     std::span<std::string> texts) const {
  const BulletinRow* row = find(store, heading);
  for (std::size_t s = 0; s < texts.size(); ++s) {
    if (row != nullptr && s < row->size()) {
      texts[s].assign((*row)[s].text);
    } else {
      texts[s].clear();
    }
  }
}

}  // namespace tern
