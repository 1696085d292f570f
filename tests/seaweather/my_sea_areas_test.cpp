// The user's sea areas as the configuration page and the service share them.
#include "seaweather/my_sea_areas.h"

#include <gtest/gtest.h>

#include "fakes/scratch_folder.h"

namespace tern::seaweather {
namespace {

TEST(MySeaAreas, KnownIdsAreKeptInTheReportsOrderAndTheRestIsReported) {
  const struct {
    const char* text;
    std::vector<std::string> ids;
    bool problem;
  } cases[] = {
      {"areas=westliche-ostsee,deutsche-bucht\n", {"deutsche-bucht", "westliche-ostsee"}, false},
      {"# comment\r\n areas = \r\n", {}, true},  // "areas = " is no "areas=" line
      {"areas= fischer , ,fischer,\r\n", {"fischer"}, false},
      {"areas=deutsche-bucht,atlantis\nwind=7\n", {"deutsche-bucht"}, true},
      {"", {}, false},
  };
  for (const auto& c : cases) {
    const MySeaAreasFile file = parseMySeaAreas(c.text);
    EXPECT_EQ(file.areas.ids, c.ids) << c.text;
    EXPECT_EQ(!file.problem.empty(), c.problem) << c.text << file.problem;
  }
  EXPECT_NE(parseMySeaAreas("areas=atlantis").problem.find("\"atlantis\""), std::string::npos);
}

TEST(MySeaAreas, SavedAreasLoadAgainAndAMissingFileMeansNone) {
  testing::ScratchFolder dir{"tern_my_sea_areas"};
  EXPECT_TRUE(LoadMySeaAreas(dir.slash()).areas.ids.empty());
  const MySeaAreas mine{{"westliche-ostsee", "belte-und-sund"}};
  ASSERT_TRUE(SaveMySeaAreas(dir.slash(), mine));
  const MySeaAreasFile loaded = LoadMySeaAreas(dir.slash());
  EXPECT_EQ(loaded.problem, "");
  EXPECT_EQ(loaded.areas.ids, (std::vector<std::string>{"belte-und-sund", "westliche-ostsee"}));
  EXPECT_TRUE(loaded.areas.contains("westliche-ostsee"));
  EXPECT_FALSE(loaded.areas.contains("deutsche-bucht"));
}

}  // namespace
}  // namespace tern::seaweather
