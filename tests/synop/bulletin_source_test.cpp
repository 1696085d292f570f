// The seam between the decoder and the stored bulletins.
#include "synop/bulletin_source.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace tern {
namespace {

Bytes header(std::uint8_t code, const char* key) {
  Bytes h(26, 0);
  h[0] = code;
  putU32(&h[1], 4);
  for (std::size_t i = 0; key[i] != '\0' && i < 12; ++i)
    h[5 + i] = static_cast<std::uint8_t>(key[i]);
  const std::uint8_t time[] = {12, 34, 56, 5, 3, 26};
  std::copy(std::begin(time), std::end(time), h.begin() + 17);
  return h;
}

TEST(SynopBulletinSource, CopyFromARecordHeader) {
  Bytes data = {'Z', 'C', 'Z', 'C'};
  BulletinCopy c = BulletinCopyFromRecord(header(4, "SMVX41"), data);
  EXPECT_EQ(c.transmitterCode, 4);
  EXPECT_EQ(c.keyText, "SMVX41");
  EXPECT_EQ(c.received, (CivilTime{2026, 3, 5, 12, 34, 56, 0}));
  EXPECT_EQ(c.text, "ZCZC");
  EXPECT_TRUE(BulletinCopyFromRecord(Bytes(25, 0), data).empty());
  EXPECT_EQ(BulletinCopyFromRecord(header(4, "ABCDEFGHIJKLMNO"), data).keyText, "ABCDEFGHIJKL");
}

TEST(SynopBulletinSource, RowsCarryAHeadingInANonEmptySlot) {
  BulletinRow row;
  row[1].transmitterCode = 3;
  row[1].keyText = "SMVX41";
  EXPECT_TRUE(RowCarriesHeading(row, "SMVX41"));
  EXPECT_FALSE(RowCarriesHeading(row, "SMVX4"));
  EXPECT_FALSE(RowCarriesHeading(row, "SMVX42"));
  row[1].transmitterCode = BulletinCopy::kEmptySlot;
  EXPECT_FALSE(RowCarriesHeading(row, "SMVX41"));
  // Compared on the key's 12 characters at most.
  row[0].transmitterCode = 3;
  row[0].keyText = "ABCDEFGHIJKL";
  EXPECT_TRUE(RowCarriesHeading(row, "ABCDEFGHIJKLMN"));
}

TEST(SynopBulletinSource, MemorySourceFindsTheFirstRow) {
  MemoryBulletinSource s;
  BulletinRow first;
  first[0] = {3, "SMVX41", {}, "first"};
  BulletinRow second;
  second[0] = {3, "SMVX41", {}, "second"};
  s.addRow(DwdStore::German, first);
  s.addRow(DwdStore::German, second);
  EXPECT_EQ(s.bulletins(DwdStore::German, "SMVX41")[0].text, "first");
  EXPECT_TRUE(s.bulletins(DwdStore::English, "SMVX41")[0].empty());
}

}  // namespace
}  // namespace tern
