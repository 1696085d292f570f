// The bulletin as a whole: header, synopsis, the list of areas with strong wind or gale,
// the entries with their names and own texts, the outlook; the same report read alike in
// each of its forms; warnings; and what a garbled copy keeps and marks.
#include "seaweather/sea_bulletin.h"

#include <gtest/gtest.h>

#include "common/latin1.h"
#include "seaweather/sample_bulletins.h"

namespace tern::seaweather {
namespace {

std::vector<std::string> idsOf(const std::vector<AreaEntry>& entries) {
  std::vector<std::string> ids;
  for (const AreaEntry& e : entries) ids.push_back(e.id);
  return ids;
}

std::string replaced(std::string text, const std::string& what, const std::string& with) {
  const auto at = text.find(what);
  EXPECT_NE(at, std::string::npos) << what;
  if (at != std::string::npos) text.replace(at, what.size(), with);
  return text;
}

const std::vector<std::string> kGermanAreas = {
    "deutsche-bucht",   "fischer",   "englischer-kanal-ost", "belte-und-sund", "westliche-ostsee",
    "suedliche-ostsee", "bottenwiek"};
const std::vector<std::string> kGermanExpected = {"deutsche-bucht",   "fischer",
                                                  "dogger",           "belte-und-sund",
                                                  "westliche-ostsee", "englischer-kanal-ost"};

TEST(SeaBulletin, ReadsEachFormOfTheReport) {
  const struct {
    const char* form;
    std::string text;
    Language language;
    std::vector<std::string> areas, expected;
  } cases[] = {
      {"upper case, AE OE UE", samples::kGermanReport, Language::German, kGermanAreas,
       kGermanExpected},
      {"mixed case, UTF-8", samples::kGermanReportMixedCase, Language::German, kGermanAreas,
       kGermanExpected},
      {"mixed case, Latin-1", utf8ToLatin1(samples::kGermanReportMixedCase), Language::German,
       kGermanAreas, kGermanExpected},
      {"English",
       samples::kEnglishReport,
       Language::English,
       {"deutsche-bucht", "belte-und-sund", "westliche-ostsee", "suedliche-ostsee"},
       {"deutsche-bucht", "fischer", "belte-und-sund", "westliche-ostsee"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.form);
    const SeaBulletin b = readSeaBulletin(c.text);
    EXPECT_EQ(b.kind, BulletinKind::Report);
    EXPECT_EQ(b.language, c.language);
    EXPECT_EQ(b.heading, c.language == Language::German ? "FQEN50" : "FQEN70");
    ASSERT_TRUE(b.issued.has_value());
    EXPECT_EQ(*b.issued, (CivilTime{2026, 12, 10, 0, 5, 0, 0}));
    EXPECT_EQ(b.validUntil, "10.12. 12 UTC");
    EXPECT_EQ(idsOf(b.areas), c.areas);
    EXPECT_EQ(b.expected, c.expected);
    EXPECT_TRUE(b.warnings.empty());
    EXPECT_TRUE(b.fullyRead()) << (b.unreadParts.empty() ? "" : b.unreadParts.front());
    EXPECT_FALSE(b.synopsis.empty());
    EXPECT_NE(b.outlook.find("12"), std::string::npos);
  }
}

TEST(SeaBulletin, EveryFormOfTheGermanReportSaysTheSame) {
  const SeaBulletin rtty = readSeaBulletin(samples::kGermanReport);
  for (const std::string& other :
       {samples::kGermanReportMixedCase, utf8ToLatin1(samples::kGermanReportMixedCase)}) {
    const SeaBulletin b = readSeaBulletin(other);
    ASSERT_EQ(b.areas.size(), rtty.areas.size());
    for (std::size_t i = 0; i < b.areas.size(); ++i) {
      const AreaWind &x = b.areas[i].wind, &y = rtty.areas[i].wind;
      SCOPED_TRACE(b.areas[i].id);
      EXPECT_EQ(x.points, y.points);
      EXPECT_EQ(std::tie(x.variable, x.light, x.bftMin, x.bftMax, x.gustsBft, x.showerGusts),
                std::tie(y.variable, y.light, y.bftMin, y.bftMax, y.gustsBft, y.showerGusts));
      EXPECT_EQ(std::tie(x.seaM, x.swellM, x.visibility, x.summary),
                std::tie(y.seaM, y.swellM, y.visibility, y.summary));
    }
  }
}

TEST(SeaBulletin, KeepsEachAreasOwnTextAsReceived) {
  const struct {
    std::string text;
    std::size_t entry;
    const char* written;
    const char* own;
  } cases[] = {
      {samples::kGermanReport, 4, "WESTLICHE OSTSEE",
       "SUEDWEST BIS WEST 6 BIS 7, SPAETER 5, SEE 2,5 METER, DIESIG"},
      {samples::kGermanReport, 2, "ENGL.KANAL-OST",
       "WESTSUEDWEST 6, ABNEHMEND 5, SEE 2 METER, DIESIG"},
      {samples::kGermanReportMixedCase, 4, "Westliche Ostsee",
       "Südwest bis West 6 bis 7, später 5, See 2,5 Meter, diesig"},
      {utf8ToLatin1(samples::kGermanReportMixedCase), 5, "Südliche Ostsee",
       "umlaufend 3, später südwestdrehend 5, See 1 Meter, Nebel"},
      {samples::kEnglishReport, 2, "WESTERN BALTIC",
       "WEST-SOUTHWEST 6, DECREASING 5, SEA 2.5 METRES, MODERATE VISIBILITY IN SHOWERS"},
  };
  for (const auto& c : cases) {
    const SeaBulletin b = readSeaBulletin(c.text);
    ASSERT_GT(b.areas.size(), c.entry);
    EXPECT_EQ(b.areas[c.entry].written, c.written);
    EXPECT_EQ(b.areas[c.entry].text, c.own);
  }
  EXPECT_EQ(readSeaBulletin(samples::kGermanReport).areas[4].name, "Westliche Ostsee");
}

TEST(SeaBulletin, ReadsTheWarningsInBothLanguages) {
  const struct {
    const char* id;
    WarningLevel level;
    int bft;
    std::vector<int> points;
  } expected[] = {
      {"deutsche-bucht", WarningLevel::Gale, 8, {10, 12}},
      {"suedliche-ostsee", WarningLevel::Gale, 8, {13}},
      {"westliche-ostsee", WarningLevel::StrongWind, 7, {12}},
      {"belte-und-sund", WarningLevel::Storm, 10, {12}},
      {"skagerrak", WarningLevel::ViolentStorm, 11, {14}},
      {"utsira", WarningLevel::Hurricane, 12, {0}},
  };
  for (const std::string& text : {samples::kGermanWarnings, samples::kEnglishWarnings}) {
    const SeaBulletin b = readSeaBulletin(text);
    SCOPED_TRACE(text.substr(0, 60));
    EXPECT_EQ(b.kind, BulletinKind::Warnings);
    EXPECT_EQ(b.heading, "WODL45");
    EXPECT_EQ(*b.issued, (CivilTime{2026, 12, 10, 0, 0, 0, 0}));
    EXPECT_TRUE(b.fullyRead());
    EXPECT_TRUE(b.areas.empty());
    ASSERT_EQ(b.warnings.size(), std::size(expected));
    for (std::size_t i = 0; i < b.warnings.size(); ++i) {
      const AreaEntry& w = b.warnings[i];
      EXPECT_EQ(w.id, expected[i].id);
      EXPECT_EQ(w.level(), expected[i].level) << w.id;
      EXPECT_EQ(w.wind.bftMax, expected[i].bft) << w.id;
      EXPECT_EQ(w.wind.points, expected[i].points) << w.id;
    }
  }
  // Warnings without a header are known by their steps; "no warnings" is read, not kept.
  const SeaBulletin bare = readSeaBulletin("Südliche Ostsee: Sturm Westnordwest 8.\n");
  EXPECT_EQ(bare.kind, BulletinKind::Warnings);
  ASSERT_EQ(bare.warnings.size(), 1u);
  EXPECT_EQ(bare.warnings[0].level(), WarningLevel::Gale);
  const SeaBulletin none = readSeaBulletin(
      "WODL45 EDZW 100000\r\r\nSTARKWIND- UND STURMWARNUNGEN\r\r\nKEINE WARNUNGEN.\r\r\n=\r\r\n");
  EXPECT_TRUE(none.noWarnings);
  EXPECT_TRUE(none.fullyRead());
}

TEST(SeaBulletin, AGarbledCopyKeepsTheRestAndMarksWhatItCannotRead) {
  // RTTY errors: a letter inside a word of one entry, inside one area name, inside a name of
  // the list, and a line of noise where the forecasts begin.
  std::string text = replaced(samples::kGermanReport, "SPAETER WEST 8", "SPAETER WQST 8");
  text = replaced(text, "FISCHER: WEST 7", "FIQCHER: WEST 7");
  text = replaced(text, "FISCHER DOGGER", "FISCHER DOQGER");
  text = replaced(text, "DEUTSCHE BUCHT:\r\r\n", "RYRYRY 8\r\r\nDEUTSCHE BUCHT:\r\r\n");
  const SeaBulletin b = readSeaBulletin(text);
  EXPECT_FALSE(b.fullyRead());
  ASSERT_EQ(b.areas.size(), kGermanAreas.size());

  const AreaEntry& bight = b.areas[0];
  EXPECT_EQ(bight.id, "deutsche-bucht");
  EXPECT_FALSE(bight.readable());
  EXPECT_EQ(bight.wind.unread, std::vector<std::string>{"WQST"});
  EXPECT_EQ(bight.text, "SUEDWEST 6 BIS 7, SPAETER WQST 8, BOEEN 9, SEE 3 METER");

  const AreaEntry& unknown = b.areas[1];
  EXPECT_FALSE(unknown.known());
  EXPECT_EQ(unknown.name, "FIQCHER");
  EXPECT_EQ(unknown.text, "WEST 7, SCHAUERBOEEN, SEE 3,5 METER, DUENUNG 4 METER");
  EXPECT_EQ(unknown.wind.bftMax, 7);

  for (std::size_t i = 2; i < b.areas.size(); ++i) {
    EXPECT_TRUE(b.areas[i].readable()) << b.areas[i].id;
    EXPECT_EQ(b.areas[i].id, kGermanAreas[i]);
  }
  EXPECT_EQ(b.expectedUnknown, std::vector<std::string>{"DOQGER"});
  EXPECT_EQ(b.expected.size(), kGermanExpected.size() - 1);
  EXPECT_EQ(b.unreadParts, std::vector<std::string>{"RYRYRY 8"});
}

TEST(SeaBulletin, TextThatIsNoBulletinIsKeptWhole) {
  const SeaBulletin b = readSeaBulletin("RYRYRY QQQ 123 ZZZ\n");
  EXPECT_TRUE(b.areas.empty());
  EXPECT_TRUE(b.warnings.empty());
  EXPECT_EQ(b.unreadParts, std::vector<std::string>{"RYRYRY QQQ 123 ZZZ"});
  EXPECT_FALSE(b.fullyRead());
  EXPECT_TRUE(readSeaBulletin("").unreadParts.empty());
}

TEST(SeaBulletin, TheHeadingLineDatesABulletinWithoutIssueLine) {
  const std::string text =
      "FQEN50 EDZW 302105\nVORHERSAGEN GUELTIG BIS 01.01. 09 UTC:\n"
      "DOGGER: WEST 5.\n";
  const SeaBulletin b = readSeaBulletin(text, "FQEN50", CivilTime{2027, 1, 1, 0, 2, 0, 0});
  ASSERT_TRUE(b.issued.has_value());
  EXPECT_EQ(*b.issued, (CivilTime{2026, 12, 30, 21, 5, 0, 0}));
  EXPECT_FALSE(readSeaBulletin(text).issued.has_value());
}

TEST(SeaBulletin, IssueLinesReadOrLeft) {
  const std::optional<CivilTime> none;
  const CivilTime at{2026, 12, 10, 0, 5, 0, 0};
  struct Case {
    const char* line;
    std::optional<CivilTime> issued;
  } cases[] = {
      {"HERAUSGEGEBEN VOM SEEWETTERDIENST AM 10.12.2026, 00:05 UTC", at},
      {"ISSUED BY DWD ON 10.12.2026, 00.05 UTC", at},
      {"ISSUED ON 10.12.2026 AT 00.05 UTC", none},
      {"VOM 10.12.2026   00:05UTC", at},
      {"AM 1.2.2027, 7:30 UTC", CivilTime{2027, 2, 1, 7, 30, 0, 0}},
      {"RAM 10.12.2026 00:05 UTC, AM 11.12.2026 01:00 UTC", CivilTime{2026, 12, 11, 1, 0, 0, 0}},
      {"AM 10.12.20266 00:05 UTC", none},
      {"AM 100.12.2026 00:05 UTC", none},
      {"AM 10.12.2026 00:055 UTC", none},
      {"AM 10.12.2026,00:05 UTC", none},
      {"AM 31.02.2026 00:05 UTC", none},
      {"AM 10.12.2026 00:05", none},
      {"AM", none},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.line);
    const SeaBulletin b = readSeaBulletin(std::string("SEEWETTERBERICHT\n") + c.line + "\n");
    EXPECT_EQ(b.issued, c.issued);
  }
}

}  // namespace
}  // namespace tern::seaweather
