// Framing of ship bulletins: reports, their ends in each store, dropped reports, and the
// copies of a heading that are read.
#include <gtest/gtest.h>

#include "common/file_io.h"
#include "synop/synop_decoder.h"

namespace tern {
namespace {

std::vector<std::string> names(const TSynopDecoder& d) {
  std::vector<std::string> out;
  for (const auto& r : d.ReportList()) out.push_back(r.name);
  return out;
}

std::vector<std::string> decode(const std::string& text, DwdStore store = DwdStore::German) {
  TSynopDecoder d;
  d.DecodeShipText(text, store);
  return names(d);
}

const std::string kHead = "ZCZC 412\r\nSMVX41 EDZW 051200\r\nBBXX\r\n";

TEST(SynopReportLoop, TwoReportsWithTheirFramingLines) {
  TSynopDecoder d;
  d.DecodeShipText(kHead +
                       "DBBH 05124 99543 10067 41496 82715 10052=\r\n"
                       "DHDL 05124 99551 10081 41498 62316 10061=\r\nNNNN\r\n",
                   DwdStore::German);
  ASSERT_EQ(names(d), (std::vector<std::string>{"DBBH", "DHDL"}));
  for (const auto& r : d.ReportList()) {
    EXPECT_EQ(r.ReportKind, kReportShip);
    ASSERT_GE(r.lines.size(), 3u);
    EXPECT_EQ(r.lines[0], "");
    EXPECT_EQ(r.lines[1], "Funkrufzeichen: " + r.name);
    EXPECT_EQ(r.lines.back(), "");
  }
  EXPECT_EQ(d.ReportList()[0].lines.end()[-2], "Lufttemperatur: 5.2 °C.");
}

TEST(SynopReportLoop, WhichReportsSurvive) {
  struct Case {
    const char* what;
    std::string text;
    DwdStore store;
    std::vector<std::string> names;
  } cases[] = {
      {"bad iR is dropped at its end",
       kHead + "AAAA 05124 99543 10067 51496 82715=\r\nBBBB 05124 99543 10067 41496 82715=",
       DwdStore::German,
       {"BBBB"}},
      {"missing = at the end",
       kHead + "AAAA 05124 99543 10067 41496 82715=\r\nBBBB 05124 99543 10067 41496 82715",
       DwdStore::German,
       {"AAAA"}},
      {"= inside a word ends a German report",
       kHead + "AAAA 05124 99543 10067 41496 827=15 CCCC 05124=",
       DwdStore::German,
       {"AAAA", "CCCC"}},
      {"= inside a word does not end an English report",
       kHead + "AAAA 05124 99543 10067 41496 827=15 CCCC 05124=",
       DwdStore::English,
       {"AAAA"}},
      {"= as a word of its own",
       kHead + "AAAA 05124 99543 10067 41496 82715 =",
       DwdStore::English,
       {"AAAA"}},
      {"BBXX before each report",
       kHead + "AAAA 05124 99543 10067 41496 82715=\r\nBBXX\r\nBBBB 05124=",
       DwdStore::German,
       {"AAAA", "BBBB"}},
      {"no BBXX, no reports", "ZCZC\r\nAAAA 05124 99543 10067 41496 82715=", DwdStore::German, {}},
      {"= before ZCZC makes the next word a call sign",
       "X=\r\nAAAA 05124=",
       DwdStore::German,
       {"AAAA"}},
      {"empty copy", "", DwdStore::German, {}},
  };
  for (const auto& c : cases) EXPECT_EQ(decode(c.text, c.store), c.names) << c.what;
}

TEST(SynopReportLoop, SampleBulletinsDecodeCompletely) {
  auto german = readWholeFile(TERN_TEST_DATA_DIR "/synop/smvx41_german.txt", 1 << 20);
  auto english = readWholeFile(TERN_TEST_DATA_DIR "/synop/sivx41_english.txt", 1 << 20);
  ASSERT_TRUE(german.status && english.status);
  EXPECT_EQ(decode(std::string(german.bytes.begin(), german.bytes.end())),
            (std::vector<std::string>{"DBBH", "DHDL", "DBLK", "PBAD", "DGZB"}));
  EXPECT_EQ(decode(std::string(english.bytes.begin(), english.bytes.end()), DwdStore::English),
            (std::vector<std::string>{"DBBH", "9HJT9", "ELXD4"}));
}

TEST(SynopReportLoop, ReadsSlotsZeroAndOneOfEachHeadingInTheRightStore) {
  MemoryBulletinSource source;
  auto bulletin = [](const char* call) { return kHead + call + " 05124 99543 10067 41496 82715="; };
  source.put(DwdStore::German, "SMVX41", 0, bulletin("SLOT0"));
  source.put(DwdStore::German, "SMVX41", 1, bulletin("SLOT1"));
  source.put(DwdStore::German, "SMVX41", 2, bulletin("SLOT2"));
  source.put(DwdStore::German, "SIVX41", 0, bulletin("GERMANSI"));  // not read there
  source.put(DwdStore::English, "SIVX48", 0, bulletin("ENGLISH"));
  source.put(DwdStore::German, "SMVX49", 0, bulletin("NOHEADING"));
  TSynopDecoder d;
  d.ReadBulletins(source);
  EXPECT_EQ(names(d), (std::vector<std::string>{"SLOT0", "SLOT1", "ENGLISH"}));
}

TEST(SynopReportLoop, GarbageNeverEscapesAWord) {
  // Short and odd words in every state of the machine.
  std::string text = kHead +
                     "A 0 991 1 4 8 1 2 3 4 5 6 7 8 9 00 222 0 1 2 3 4 5 6 7 8 "
                     "333 0 1 2 3 4 55 2 3 4 553 2 6 7 8 9 444 1 555 0 1 2 20 22 23 24 "
                     "25 26 3 5 7 8 910 911 912 PIC 1 80000 1 2 3 4 5 6 7 8 9 BOT 1 "
                     "666 1 2 3 6 7 80000 0 1 2 3 4 5 \xff\xfe 99 =";
  TSynopDecoder d;
  d.DecodeShipText(text, DwdStore::German);
  EXPECT_TRUE(d.ReportList().empty());  // the garbled figures make the report bad
}

}  // namespace
}  // namespace tern

namespace tern {
namespace {

// A rebuild writes the lines of the surviving reports only; they must be exactly the lines
// an eager decoding gives, the wind unit carried over from the report before included.
TEST(SynopReportLoop, RebuildWritesTheSameLinesAsEagerDecoding) {
  MemoryBulletinSource source;
  for (const char* file : {"smvx41_german.txt", "sivx41_english.txt"}) {
    auto data = readWholeFile(std::string(TERN_TEST_DATA_DIR "/synop/") + file, 1 << 20);
    ASSERT_TRUE(data.status);
    std::string text(data.bytes.begin(), data.bytes.end());
    source.put(file[1] == 'm' ? DwdStore::German : DwdStore::English,
               file[1] == 'm' ? "SMVX41" : "SIVX41", 0, text);
  }
  source.put(DwdStore::German, "SMVX42", 0,
             kHead +
                 "UNIT 0512/ 99543 10067 41496 82715 10052=\r\nDUP 05124 99543 10067 "
                 "41496 82715 10052= DUP 05118 99543 10067 41496 82715 10051=");
  TSynopDecoder eager;
  eager.ReadBulletins(source);
  eager.FilterReports();
  TSynopDecoder lazy;
  lazy.RebuildReports(source);
  ASSERT_EQ(lazy.ReportList().size(), eager.ReportList().size());
  for (std::size_t i = 0; i < eager.ReportList().size(); ++i) {
    EXPECT_EQ(lazy.ReportList()[i].name, eager.ReportList()[i].name);
    EXPECT_EQ(lazy.ReportList()[i].lines, eager.ReportList()[i].lines) << i;
    EXPECT_EQ(lazy.ReportList()[i].linesPending, -1);
  }
}

}  // namespace
}  // namespace tern
