// Coastal station bulletins SXEN40 and SXMM41.
#include <gtest/gtest.h>

#include "common/file_io.h"
#include "synop/synop_decoder.h"

namespace tern {
namespace {

const TSynopType* find(const TSynopDecoder& d, std::string_view name) {
  for (const auto& r : d.ReportList())
    if (r.name == name) return &r;
  return nullptr;
}

const std::string kNorthSea =
    "ZCZC 005\r\nSXEN40 DWAV 051200\r\nBEOBACHTUNGEN VOM 05.03.2026 12 UTC\r\n"
    "HELGOLAND SUEDWEST 5 18 KM\r\nDEN HELDER NORD 4 20 KM\r\nHEL NORDOST 2\r\n";

TEST(SynopCoastal, StationsWithDirectionAndForce) {
  TSynopDecoder d;
  d.ParseCoastalText(kNorthSea, "SXEN40");
  ASSERT_EQ(d.ReportList().size(), 3u);
  struct Case {
    const char* name;
    int latitude, longitude, direction;
    double speed;
  } cases[] = {
      {"HELGOLAND", 541, 79, 225, 9.75},
      {"DEN HELDER", 530, 49, 0, 6.95},
      {"HEL ", 550, 190, 45, 2.85},
  };
  for (const auto& c : cases) {
    const TSynopType* r = find(d, c.name);
    ASSERT_NE(r, nullptr) << c.name;
    EXPECT_EQ(r->latitude, c.latitude) << c.name;
    EXPECT_EQ(r->longitude, c.longitude) << c.name;
    EXPECT_EQ(r->direction, c.direction) << c.name;
    EXPECT_EQ(r->speed, c.speed) << c.name;
    EXPECT_EQ(r->ReportKind, kReportCoastal);
    EXPECT_EQ(r->dayText, "Tag: 5");
    EXPECT_EQ(r->timeText, "Zeit: 12h");
    EXPECT_EQ(r->lines.size(), 6u);  // the whole bulletin
  }
}

TEST(SynopCoastal, EdgesOfTheWordList) {
  struct Case {
    const char* what;
    std::string text;
    const char* heading;
    std::vector<std::string> names;
  } cases[] = {
      {"station as last word", "X HELGOLAND", "SXEN40", {}},
      {"station as second to last word", "X HELGOLAND SUED", "SXEN40", {}},
      {"station with both words", "HELGOLAND SUED 3", "SXEN40", {"HELGOLAND"}},
      {"LA CORUNA", "LA CORUNA NORDOST 4 X", "SXMM41", {"LA CORUNA"}},
      {"station of the other table", "HELGOLAND SUED 3 X", "SXMM41", {}},
      {"NNNN ends the bulletin", "NNNN HELGOLAND SUED 3 X", "SXEN40", {}},
      {"UTC as first word", "UTC HELGOLAND SUED 3 X", "SXEN40", {"HELGOLAND"}},
  };
  for (const auto& c : cases) {
    TSynopDecoder d;
    d.ParseCoastalText(c.text, c.heading);
    std::vector<std::string> got;
    for (const auto& r : d.ReportList()) got.push_back(r.name);
    EXPECT_EQ(got, c.names) << c.what;
  }
}

TEST(SynopCoastal, ForcesAndDirectionWords) {
  TSynopDecoder d;
  d.ParseCoastalText("HELGOLAND NORDNORDWEST 13 X\nARKONA KRAEFTIG 12 X\nFEHMARN WEST 5-6 X",
                     "SXEN40");
  ASSERT_EQ(d.ReportList().size(), 3u);
  EXPECT_FALSE(d.ReportList()[0].speedKnown());  // force above 12
  EXPECT_TRUE(d.ReportList()[0].positionKnown());
  EXPECT_EQ(d.ReportList()[0].direction, 337);
  EXPECT_EQ(d.ReportList()[1].direction, 0);  // unknown word
  EXPECT_EQ(d.ReportList()[1].speed, 35.0);
  EXPECT_EQ(d.ReportList()[2].speed, 0.0);  // not a number
  EXPECT_FALSE(d.ReportList()[2].positionKnown());
}

TEST(SynopCoastal, TimeCarriesOverToTheNextBulletinOfARebuild) {
  MemoryBulletinSource source;
  source.put(DwdStore::German, "SXEN40", 0, kNorthSea);
  source.put(DwdStore::German, "SXMM41", 0, "MALTA NORDWEST 5 20 KM");
  TSynopDecoder d;
  d.ReadBulletins(source);
  const TSynopType* malta = find(d, "MALTA");
  ASSERT_NE(malta, nullptr);
  EXPECT_EQ(malta->dayText, "Tag: 5");
  EXPECT_EQ(malta->timeText, "Zeit: 12h");
  // A later rebuild without any time does not reuse it.
  MemoryBulletinSource later;
  later.put(DwdStore::German, "SXMM41", 0, "MALTA NORDWEST 5 20 KM");
  d.ReadBulletins(later);
  EXPECT_EQ(d.ReportList().at(0).dayText, "");
}

TEST(SynopCoastal, SampleBulletins) {
  auto north = readWholeFile(TERN_TEST_DATA_DIR "/synop/sxen40.txt", 1 << 20);
  auto south = readWholeFile(TERN_TEST_DATA_DIR "/synop/sxmm41.txt", 1 << 20);
  ASSERT_TRUE(north.status && south.status);
  MemoryBulletinSource source;
  source.put(DwdStore::German, "SXEN40", 0, std::string(north.bytes.begin(), north.bytes.end()));
  source.put(DwdStore::German, "SXMM41", 0, std::string(south.bytes.begin(), south.bytes.end()));
  TSynopDecoder d;
  d.RebuildReports(source);
  EXPECT_EQ(d.ReportList().size(), 16u + 12u);
  for (const auto& r : d.ReportList()) {
    EXPECT_TRUE(r.positionKnown() && r.speedKnown()) << r.name;
    EXPECT_TRUE(IsNorthSeaStation(r.name) || IsMediterraneanStation(r.name)) << r.name;
  }
}

}  // namespace
}  // namespace tern
