// The warnings for the user's sea areas: which alert, which are the same warning again (the
// other language, the next issue, a lower step, a restart between), and which are too old.
#include "alerts/sea_area_alerts.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <nlohmann/json.hpp>

#include "alerts/boat_network.h"
#include "fakes/scratch_folder.h"
#include "fakes/udp_listener.h"

namespace tern {
namespace {

const std::int64_t kT0 = secondsSinceEpoch(CivilTime{2026, 12, 10, 0, 0, 0, 0});

CivilTime at(double hours) {
  return civilFromSeconds(kT0 + static_cast<std::int64_t>(hours * 3600));
}

// A warnings bulletin as broadcast, issued `hours` after kT0.
seaweather::SeaBulletin warnings(double hours, const std::string& lines, bool german = true) {
  const CivilTime c = at(hours);
  char head[128];
  std::snprintf(
      head, sizeof head,
      "WODL45 EDZW %02d%02d%02d\r\r\n%s\r\r\n%s %02d.%02d.%04d, %02d.%02d UTC\r\r\n\r\r\n", c.day,
      c.hour, c.minute,
      german ? "STARKWIND- UND STURMWARNUNGEN" : "STRONG WIND, GALE AND STORM WARNINGS",
      german ? "AM" : "AT", c.day, c.month, c.year, c.hour, c.minute);
  return seaweather::readSeaBulletin(std::string(head) + lines + "=\r\r\n");
}

TEST(SeaAreaAlerts, EachWarningOfAChosenAreaAlertsOnceAlsoAfterARestart) {
  testing::ScratchFolder dir{"tern_sea_alerts"};
  const seaweather::MySeaAreas mine{{"deutsche-bucht", "westliche-ostsee"}};
  struct Step {
    const char* what;
    double issued, now;
    std::string lines;
    bool german, restart;
    std::vector<std::string> alerts;
    std::vector<std::string> warned;  // ids
  };
  const std::vector<Step> steps = {
      {"first issue: the unchosen Südliche Ostsee stays silent",
       0,
       0.2,
       "DEUTSCHE BUCHT: STURM SUEDWEST BIS WEST 8.\r\r\nSUEDLICHE OSTSEE: STURM WEST 9.\r\r\n"
       "WESTLICHE OSTSEE: STARKWIND WEST 6 BIS 7, BOEEN 8.\r\r\n",
       true,
       false,
       {"Sturmwarnung Deutsche Bucht: SW/W 8 Bft",
        "Starkwindwarnung Westliche Ostsee: W 7 Bft, Böen 8"},
       {"deutsche-bucht", "westliche-ostsee"}},
      {"the English copy of the same issue",
       0,
       0.3,
       "GERMAN BIGHT: GALE WARNING SOUTHWEST TO WEST 8.\r\r\n"
       "WESTERN BALTIC: STRONG WIND WARNING WEST 7.\r\r\n",
       false,
       false,
       {},
       {"deutsche-bucht", "westliche-ostsee"}},
      {"the next issue after a restart continues both",
       3,
       3.1,
       "DEUTSCHE BUCHT: STURM WEST 8.\r\r\nWESTLICHE OSTSEE: STARKWIND WEST 7.\r\r\n",
       true,
       true,
       {},
       {"deutsche-bucht", "westliche-ostsee"}},
      {"a higher step alerts again, a lower one does not",
       6,
       6.1,
       "DEUTSCHE BUCHT: STARKWIND WEST 7.\r\r\nWESTLICHE OSTSEE: STURM WESTNORDWEST 8.\r\r\n",
       true,
       false,
       {"Sturmwarnung Westliche Ostsee: WNW 8 Bft"},
       {"deutsche-bucht", "westliche-ostsee"}},
      {"no warnings", 9, 9.1, "KEINE WARNUNGEN.\r\r\n", true, false, {}, {}},
      {"the same step a whole period after it was last named is a new warning",
       18,
       18.1,
       "DEUTSCHE BUCHT: STURM WEST 8.\r\r\nWESTLICHE OSTSEE: STURM WEST 8.\r\r\n",
       true,
       true,
       {"Sturmwarnung Deutsche Bucht: W 8 Bft", "Sturmwarnung Westliche Ostsee: W 8 Bft"},
       {"deutsche-bucht", "westliche-ostsee"}},
      {"within the period after the last naming: the same",
       29,
       29.1,
       "DEUTSCHE BUCHT: STURM WEST 8.\r\r\n",
       true,
       false,
       {},
       {"deutsche-bucht"}},
      {"a warning issued a period before the clock is over",
       50,
       62,
       "DEUTSCHE BUCHT: ORKAN WEST 12.\r\r\n",
       true,
       false,
       {},
       {}},
  };
  auto alerts = std::make_unique<SeaAreaAlerts>(dir.slash());
  for (const Step& step : steps) {
    SCOPED_TRACE(step.what);
    if (step.restart) alerts = std::make_unique<SeaAreaAlerts>(dir.slash());
    const seaweather::SeaBulletin b = warnings(step.issued, step.lines, step.german);
    ASSERT_TRUE(b.fullyRead());
    const SeaAreaNews news = alerts->Judge(b, mine, at(step.now));
    std::vector<std::string> texts, warned;
    for (const SeaAreaWarning& w : news.alerts) texts.push_back(w.text);
    for (const SeaAreaWarning& w : news.warned) warned.push_back(w.id);
    EXPECT_EQ(texts, step.alerts);
    EXPECT_EQ(warned, step.warned);
    EXPECT_TRUE(news.problems.empty()) << news.problems.front();
  }
  // Nothing chosen, or no bulletin at all: nothing alerts.
  SeaAreaAlerts fresh;
  EXPECT_TRUE(
      fresh.Judge(warnings(70, "DEUTSCHE BUCHT: STURM WEST 8.\r\r\n"), {}, at(70)).alerts.empty());
  EXPECT_TRUE(fresh.Judge(std::nullopt, mine, at(70)).warned.empty());
}

// An entry written while the clock ran ahead (or from a garbled date) mutes nothing; an
// unreadable line costs at most one alert more.
TEST(SeaAreaAlerts, AMemoryFromTheFutureDoesNotMuteAWarning) {
  testing::ScratchFolder dir{"tern_sea_alerts_future"};
  std::ofstream(dir / std::string(kSeaWarningMemoryFile))
      << "westliche-ostsee 2 " << kT0 + 86400 << "\ndeutsche-bucht 2 " << kT0 + 300
      << "\nnirgendwo 2 0\nkattegat 9 0\nkaputt\n";
  SeaAreaAlerts alerts(dir.slash());
  const SeaAreaNews news = alerts.Judge(
      warnings(0, "DEUTSCHE BUCHT: STURM WEST 8.\r\r\nWESTLICHE OSTSEE: STURM WEST 8.\r\r\n"),
      {{"deutsche-bucht", "westliche-ostsee"}}, at(0.1));
  ASSERT_EQ(news.alerts.size(), 1u);
  EXPECT_EQ(news.alerts[0].id, "westliche-ostsee");  // a day ahead: not trusted
  ASSERT_EQ(news.problems.size(), 1u);
  EXPECT_NE(news.problems[0].find("Uhr ging vor"), std::string::npos) << news.problems[0];
}

// The same for the ends of the 64-bit range, whose distance to a bulletin's time would
// overflow: the oldest has run out without a notice, the latest is not trusted.
TEST(SeaAreaAlerts, MemoryTimesAtTheEndsOfTheRangeMuteNothing) {
  for (const char* seconds : {"-9223372036854775808", "9223372036854775807"}) {
    SeaWarningMemory memory =
        SeaWarningMemory::FromText(std::string("westliche-ostsee 2 ") + seconds + "\n");
    memory.Age(kT0);
    EXPECT_TRUE(memory.FirstAlert("westliche-ostsee", seaweather::WarningLevel::Gale, kT0))
        << seconds;
    EXPECT_EQ(memory.takeFutureNotice().empty(), seconds[0] == '-') << seconds;
  }
}

// On a Signal K server: Starkwind a warning, Sturm and up an alarm, raised with each alert
// (again with a higher step) and taken back when the newest warnings no longer warn the area.
TEST(SeaAreaAlerts, SignalKWarnsForStrongWindSoundsTheAlarmFromGaleUpAndTakesItBack) {
  using seaweather::WarningLevel;
  testing::UdpListener server;
  ASSERT_TRUE(server.ok());
  BoatNetwork network;
  ASSERT_TRUE(network.Open({{}, {server.target()}}, at(0)).empty());
  const SeaAreaWarning strong{"westliche-ostsee", WarningLevel::StrongWind, "Starkwindwarnung"};
  const SeaAreaWarning gale{"westliche-ostsee", WarningLevel::Gale, "Sturmwarnung"};
  const SeaAreaWarning bight{"deutsche-bucht", WarningLevel::Hurricane, "Orkanwarnung"};
  const struct {
    SeaAreaNews news;
    std::vector<std::string> got;  // path and state, "null" when taken back
  } steps[] = {
      {{{strong}, {strong}, {}}, {"westliche-ostsee warn"}},
      {{{}, {strong}, {}}, {}},
      {{{gale, bight}, {gale, bight}, {}}, {"westliche-ostsee alarm", "deutsche-bucht alarm"}},
      {{{}, {bight}, {}}, {"westliche-ostsee null"}},
      {{{}, {}, {}}, {"deutsche-bucht null"}},
  };
  for (const auto& step : steps) {
    EXPECT_TRUE(network.Send(step.news, at(1)).empty());
    std::vector<std::string> got;
    while (auto d = server.receive(got.empty() && !step.got.empty() ? 2000 : 200)) {
      const auto value = nlohmann::json::parse(*d)["updates"][0]["values"][0];
      const std::string path = value["path"];
      const std::string prefix = "notifications.environment.seaArea.";
      ASSERT_EQ(path.rfind(prefix, 0), 0u) << path;
      got.push_back(path.substr(prefix.size()) + " " +
                    (value["value"].is_null() ? "null" : std::string(value["value"]["state"])));
    }
    EXPECT_EQ(got, step.got);
  }
}

}  // namespace
}  // namespace tern
