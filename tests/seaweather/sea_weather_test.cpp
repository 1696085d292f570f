// The newest report and warnings: from a list of bulletins and from the message store.
#include "seaweather/sea_weather.h"

#include <gtest/gtest.h>

#include "fakes/store_fixture.h"
#include "seaweather/sample_bulletins.h"

namespace tern::seaweather {
namespace {

std::string withIssue(std::string text, const std::string& from, const std::string& to) {
  text.replace(text.find(from), from.size(), to);
  return text;
}

TEST(SeaWeather, TheNewestReportAndTheNewestWarningsAreKeptSideBySide) {
  const SeaBulletin older = readSeaBulletin(samples::kGermanReport);
  const SeaBulletin newer =
      readSeaBulletin(withIssue(samples::kEnglishReport, "10.12.2026, 00.05", "10.12.2026, 03.05"));
  const SeaBulletin undated =
      readSeaBulletin(withIssue(samples::kGermanReport, "AM 10.12.2026, 00.05 UTC", "UNDATIERT"));
  const SeaBulletin warnings = readSeaBulletin(samples::kGermanWarnings);
  const struct {
    std::vector<SeaBulletin> given;
    const char* report;  // heading of the report kept, "" for none
    bool warnings;
  } cases[] = {
      {{older, newer, warnings}, "FQEN70", true},
      {{newer, older}, "FQEN70", false},
      {{undated, older}, "FQEN50", false},
      {{warnings}, "", true},
      {{}, "", false},
  };
  for (const auto& c : cases) {
    const SeaWeather w = newestSeaWeather(c.given);
    EXPECT_EQ(w.report ? w.report->heading : "", c.report);
    EXPECT_EQ(w.warnings.has_value(), c.warnings);
  }
  // Of two equally new reports the first given wins.
  const SeaBulletin english = readSeaBulletin(samples::kEnglishReport);
  EXPECT_EQ(newestSeaWeather(std::vector{older, english}).report->heading, "FQEN50");
}

class StoredSeaWeather : public testing::StoreTest {};

TEST_F(StoredSeaWeather, TheNewestCopyOfEachHeadingIsRead) {
  put(0, 1, 0, 3, "FQEN50", {2026, 12, 9, 21, 7, 0, 0}, "FQEN50 EDZW 092105\nDOGGER: WEST 5.\n");
  put(0, 1, 1, 3, "FQEN50", {2026, 12, 10, 0, 7, 0, 0}, samples::kGermanReport);
  put(0, 0, 0, 3, "WODL45", {2026, 12, 10, 0, 2, 0, 0}, samples::kGermanWarnings);
  put(1, 1, 0, 6, "FQEN70", {2026, 12, 9, 21, 7, 0, 0}, samples::kEnglishReport);
  const std::vector<SeaBulletin> read = storedSeaBulletins(*store);
  ASSERT_EQ(read.size(), 3u);
  EXPECT_EQ(read[0].heading, "FQEN50");
  EXPECT_EQ(read[0].areas.size(), 7u);  // the newer copy, though in the lower slot
  EXPECT_EQ(read[1].kind, BulletinKind::Warnings);
  EXPECT_EQ(read[2].heading, "FQEN70");
  const SeaWeather w = newestSeaWeather(read);
  ASSERT_TRUE(w.report && w.warnings);
  EXPECT_EQ(w.report->heading, "FQEN50");
  EXPECT_TRUE(
      storedSeaBulletins(MessageStore(dir_.slash(), std::string(TERN_ASSETS_DIR) + "/", nullptr))
          .empty());
}

}  // namespace
}  // namespace tern::seaweather
