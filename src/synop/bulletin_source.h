// The decoder's read-only view of the stored DWD bulletins. The receiver link object owns the
// schedule tables; the decoder only needs, per store and heading, the newest copies of one
// schedule row. Keeping that behind this small seam lets the decoder be tested, fuzzed and
// run from tern-cli without a receiver, and lets the link answer under its own lock with one
// table walk that copies the slots out, so decoding never runs while the lock is held.
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "common/bytes.h"
#include "common/clock.h"

namespace tern {

enum class DwdStore { German, English };

// One slot of a schedule row, copied out of its message record.
struct BulletinCopy {
  static constexpr std::uint8_t kEmptySlot = 255;

  std::uint8_t transmitterCode = kEmptySlot;  // 255: the slot is empty
  std::string keyText;                        // the record's key text, up to its first 0 byte
  CivilTime received;                         // UTC reception time from the record header
  std::string text;                           // the data bytes as received (Latin-1)

  bool empty() const { return transmitterCode == kEmptySlot; }
};

// Slots 0, 1, 2 of one schedule row, slot 0 the newest.
using BulletinRow = std::array<BulletinCopy, 3>;

// Thread: implementations say which thread may call them; the decoder calls from the
// window thread. An implementation must not hand out references into data that another
// thread may change: the copies it returns are the caller's.
class BulletinSource {
 public:
  virtual ~BulletinSource() = default;
  // The slots of the first row of `store`, in table order, that carries `heading` (see
  // RowCarriesHeading); an all-empty row when no row does.
  virtual BulletinRow bulletins(DwdStore store, std::string_view heading) const = 0;
  // The texts of slots 0 .. texts.size() - 1 of that row, written into `texts` (whose
  // storage the caller keeps from one call to the next); an empty slot, or no row, gives
  // empty texts. The decoder reads its bulletins this way.
  virtual void copyTexts(DwdStore store, std::string_view heading,
                         std::span<std::string> texts) const;
};

// A row carries a heading when one of its non-empty slots has a key text equal to the
// heading, compared on at most the first 12 characters (the width of a key text).
bool RowCarriesHeading(const BulletinRow& row, std::string_view heading);

// Builds a copy from a 26-byte record header as the receiver sent it and the record's data.
// A header of another size gives an empty slot.
BulletinCopy BulletinCopyFromRecord(ByteView header, ByteView data);

// A source held in memory: for tern-cli, tests and benchmarks.
// Thread: one thread at a time.
class MemoryBulletinSource final : public BulletinSource {
 public:
  // Appends a row to the store's table; returns its index.
  std::size_t addRow(DwdStore store, BulletinRow row);
  // Puts `text` into `slot` of the first row carrying `heading`, or of a new row.
  void put(DwdStore store, std::string_view heading, int slot, std::string text,
           CivilTime received = {}, std::uint8_t transmitterCode = 3);

  BulletinRow bulletins(DwdStore store, std::string_view heading) const override;
  void copyTexts(DwdStore store, std::string_view heading,
                 std::span<std::string> texts) const override;

 private:
  const BulletinRow* find(DwdStore store, std::string_view heading) const;
  std::vector<BulletinRow>& table(DwdStore store) {
    return store == DwdStore::German ? german_ : english_;
  }
  const std::vector<BulletinRow>& table(DwdStore store) const {
    return store == DwdStore::German ? german_ : english_;
  }

  std::vector<BulletinRow> german_;
  std::vector<BulletinRow> english_;
};

}  // namespace tern
