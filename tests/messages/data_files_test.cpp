#include "messages/data_files.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>

#include "fakes/scratch_folder.h"
#include "messages/record_builders.h"

namespace tern::testing {
namespace {

class DataFiles : public ::testing::Test {
 protected:
  std::string path(const char* name) { return (dir_ / name).string(); }
  SerialSource serials() {
    return [this] { return ++serial_; };
  }
  ScratchFolder dir_{"tern_data"};
  std::uint64_t serial_ = 0;
};

MessageTable sampleTable() {
  MessageTable table(3);
  MessageTable::Counters counters{};
  Bytes data = textBytes("ZCZC SXEN40\r\r\nHELGOLAND SUEDWEST 5\r\r\n=");
  table.store(1, counters, header(3, "SXEN40", {2026, 3, 5, 8, 0, 0, 0}, data.size()), data, 1);
  table.store(1, counters, header(3, "SXEN40", {2026, 3, 4, 8, 0, 0, 0}, 2), textBytes("ab"), 2);
  table.slot(1, 1).newFlag = 0;
  return table;
}

TEST_F(DataFiles, TableLayoutIsRowsTimesThreeRecordsOfTwentySevenBytesPlusData) {
  MessageTable table = sampleTable();
  Bytes bytes = serializeTable(table);
  std::size_t dataBytes = table.slot(1, 0).data.size() + 2;
  EXPECT_EQ(bytes.size(), 3u * 3u * 27u + dataBytes);
  EXPECT_EQ(bytes[0], 255);  // row 0, slot 0: empty
  std::size_t row1 = 3 * 27;
  EXPECT_EQ(bytes[row1], 3);
  EXPECT_EQ(bytes[row1 + 26], 1);  // new flag follows the header

  MessageTable back(3);
  EXPECT_EQ(parseTable(bytes, back, serials()), LoadResult::Loaded);
  EXPECT_EQ(serializeTable(back), bytes);
  EXPECT_EQ(back.slot(1, 1).newFlag, 0);
  EXPECT_NE(back.slot(1, 0).serial, 0u);
  EXPECT_EQ(back.slot(0, 0).serial, 0u);
}

TEST_F(DataFiles, TruncatedTableKeepsTheCompleteRecordsBeforeTheDamage) {
  MessageTable table = sampleTable();
  Bytes bytes = serializeTable(table);
  // Cut inside the data of row 1, slot 1.
  bytes.resize(3 * 27 + 27 + table.slot(1, 0).data.size() + 27 + 1);
  MessageTable back(3);
  EXPECT_EQ(parseTable(bytes, back, serials()), LoadResult::Damaged);
  EXPECT_FALSE(back.slot(1, 0).isEmpty());
  EXPECT_TRUE(back.slot(1, 1).isEmpty());  // the broken record is not half-kept
}

TEST_F(DataFiles, OverlongLengthIsDamageNotAnAllocation) {
  Bytes bytes(27, 0);
  bytes[0] = 3;
  putU32(&bytes[1], MessageRecord::kMaxDataLength + 1);
  MessageTable back(1);
  EXPECT_EQ(parseTable(bytes, back, serials()), LoadResult::Damaged);
  NavtexList list;
  EXPECT_EQ(parseNavtex(bytes, list, serials()), LoadResult::Damaged);
  EXPECT_TRUE(list.records().empty());
}

TEST_F(DataFiles, NavtexRoundTripAndDamagedTail) {
  NavtexList list;
  list.append(header(10, "SA01", {2026, 3, 5, 3, 0, 0, 0}, 3), textBytes("abc"), 1);
  list.append(header(9, "LB02", {2026, 3, 5, 4, 0, 0, 0}, 0), {}, 2);
  Bytes bytes = serializeNavtex(list);
  EXPECT_EQ(bytes.size(), 27u + 3u + 27u);
  NavtexList back;
  EXPECT_EQ(parseNavtex(bytes, back, serials()), LoadResult::Loaded);
  EXPECT_EQ(serializeNavtex(back), bytes);
  bytes.push_back(7);  // a stray byte after the last record
  EXPECT_EQ(parseNavtex(bytes, back, serials()), LoadResult::Damaged);
  EXPECT_EQ(back.records().size(), 2u);
}

// A whole data file given where one recording's data belong is told apart from any
// recording: its records reach exactly to the end and each is empty or has a valid time.
TEST_F(DataFiles, AWholeDataFileIsToldApartFromARecordingsData) {
  const Bytes table = serializeTable(sampleTable());
  NavtexList list;
  list.append(header(10, "SA01", {2026, 3, 5, 3, 0, 0, 0}, 3), textBytes("abc"), 1);
  const Bytes navtex = serializeNavtex(list);
  Bytes cut = table;
  cut.pop_back();
  Bytes timeless = navtex;
  timeless[17 + 4] = 13;  // month 13
  const struct {
    const char* what;
    Bytes bytes;
    std::size_t records;
  } cases[] = {
      {"table file", table, 9},
      {"NAVTEX file", navtex, 1},
      {"cut short", cut, 0},
      {"no valid time", timeless, 0},
      {"a length of 0 that lines up", Bytes(27, 0), 0},
      {"nothing", {}, 0},
      {"chart data behind its header", Bytes(navtex.begin() + 27, navtex.end()), 0},
  };
  for (const auto& c : cases) EXPECT_EQ(wholeDataFileRecords(c.bytes), c.records) << c.what;
}

TEST_F(DataFiles, BaroFileSizes) {
  BaroStore store;
  putU16(&store.block()[4], 77);
  putU16(&store.block()[6], 70);
  store.samples()[8] = 0x12;
  Bytes bytes = serializeBaro(store);
  ASSERT_EQ(bytes.size(), 258568u);

  BaroStore back;
  Bytes longer = bytes;
  longer.resize(258600, 0xEE);
  EXPECT_EQ(parseBaro(longer, back), LoadResult::Loaded);
  EXPECT_EQ(back.head(), 77);
  EXPECT_EQ(back.count(), 70);
  EXPECT_EQ(serializeBaro(back), bytes);

  Bytes shorter(bytes.begin(), bytes.end() - 1);  // 258567 bytes: treated as missing
  EXPECT_NE(parseBaro(shorter, back), LoadResult::Loaded);
  EXPECT_EQ(back.head(), 0);
  EXPECT_EQ(back.count(), 0);
}

TEST_F(DataFiles, FilesRoundTripAndDamagedFilesAreKeptAside) {
  MessageTable table = sampleTable();
  ASSERT_TRUE(writeDataFile(path(tableFileName(0)), serializeTable(table)));
  MessageTable back(3);
  EXPECT_EQ(loadTableFile(path(tableFileName(0)), back, serials()), LoadResult::Loaded);
  EXPECT_EQ(serializeTable(back), serializeTable(table));

  EXPECT_EQ(loadTableFile(path("missing.bin"), back, serials()), LoadResult::Missing);

  Bytes broken = serializeTable(table);
  broken.resize(40);
  ASSERT_TRUE(writeDataFile(path(tableFileName(1)), broken));
  EXPECT_EQ(loadTableFile(path(tableFileName(1)), back, serials()), LoadResult::Damaged);
  EXPECT_TRUE(std::filesystem::exists(path("dwd_e_data.bin.damaged")));
  EXPECT_EQ(std::filesystem::file_size(path("dwd_e_data.bin.damaged")), 40u);
}

// A reader that only looks walks the files in one buffer: each record as the store would
// load it, a damaged file up to its damage and left where it is.
TEST_F(DataFiles, FilesAreWalkedInPlaceThroughOneBuffer) {
  MessageTable table = sampleTable();
  NavtexList list;
  list.append(header(10, "SA01", {2026, 3, 5, 3, 0, 0, 0}, 3), textBytes("abc"), 1);
  Bytes cut = serializeTable(table);
  cut.resize(3 * 27 + 27 + table.slot(1, 0).data.size() + 5);
  ASSERT_TRUE(writeDataFile(path(tableFileName(0)), serializeTable(table)));
  ASSERT_TRUE(writeDataFile(path(navtexFileName(kNavtex518)), serializeNavtex(list)));
  ASSERT_TRUE(writeDataFile(path(tableFileName(1)), cut));

  struct Seen {
    std::size_t index;
    std::uint8_t code;
    Bytes data;
    bool operator==(const Seen&) const = default;
  };
  const Seen row1slot0{3, 3, table.slot(1, 0).data};
  const Seen row1slot1{4, 3, textBytes("ab")};
  const struct {
    const char* file;
    std::optional<std::size_t> count;
    LoadResult result;
    std::vector<Seen> nonEmpty;
  } cases[] = {
      {tableFileName(0), 9, LoadResult::Loaded, {row1slot0, row1slot1}},
      {navtexFileName(kNavtex518), std::nullopt, LoadResult::Loaded, {{0, 10, textBytes("abc")}}},
      {tableFileName(1), 9, LoadResult::Damaged, {row1slot0}},
      {"missing.bin", 9, LoadResult::Missing, {}},
  };
  Bytes buffer;
  for (const auto& c : cases) {
    std::vector<Seen> seen;
    std::string reason;
    const LoadResult result = visitRecordFile(
        path(c.file), c.count,
        [&](std::size_t i, const MessageRecord& r, ByteView data) {
          if (!r.isEmpty())
            seen.push_back({i, r.transmitterCode(), Bytes(data.begin(), data.end())});
        },
        LoadOptions{false, &reason, &buffer});
    EXPECT_EQ(result, c.result) << c.file;
    EXPECT_EQ(seen, c.nonEmpty) << c.file;
    EXPECT_EQ(reason.empty(), c.result != LoadResult::Damaged) << c.file;
  }
  EXPECT_TRUE(std::filesystem::exists(path(tableFileName(1)))) << "only looked at";

  BaroStore store;
  putU16(&store.block()[4], 77);
  putU16(&store.block()[6], 70);
  ASSERT_TRUE(writeDataFile(path(kBaroFileName), serializeBaro(store)));
  for (const char* file : {kBaroFileName, "missing.bin"}) {
    BaroRingView ring;
    visitBaroFile(
        path(file),
        [&](ByteView samples, ByteView block) {
          ring = {samples, block};
        },
        LoadOptions{false, nullptr, &buffer});
    EXPECT_EQ(ring.head(), file == kBaroFileName ? 77 : 0);
    EXPECT_EQ(ring.count(), file == kBaroFileName ? 70 : 0);
  }
}

TEST_F(DataFiles, WriteReplacesReadOnlyFiles) {
  ASSERT_TRUE(writeDataFile(path(navtexFileName(kNavtex518)), textBytes("old")));
  std::filesystem::permissions(path(navtexFileName(kNavtex518)),
                               std::filesystem::perms::owner_read);
  ASSERT_TRUE(writeDataFile(path(navtexFileName(kNavtex518)), textBytes("new")));
  EXPECT_EQ(readWholeFile(path(navtexFileName(kNavtex518)), 10).bytes, textBytes("new"));
}

}  // namespace
}  // namespace tern::testing
