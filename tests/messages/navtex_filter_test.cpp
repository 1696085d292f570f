#include "messages/navtex_filter.h"

#include <gtest/gtest.h>

#include <fstream>

#include "fakes/scratch_folder.h"
#include "messages/channels.h"
#include "messages/navtex_alert_memory.h"

namespace tern {
namespace {

TEST(NavtexFilter, ShownAndAlertingByStationAndSubject) {
  NavtexFilter f;
  f.choose(kNavtex518, NavtexFilter::kStationsShown, 'P', false);  // a station hidden
  f.choose(kNavtex518, NavtexFilter::kSubjectsShown, 'C', false);  // ice reports hidden
  f.choose(kNavtex518, NavtexFilter::kStationsAlert, 'S', false);  // S: only what must alert
  f.choose(kNavtex518, NavtexFilter::kSubjectsAlert, 'E', true);   // forecasts alert
  for (char mandatory : {'A', 'B', 'D', 'L'}) {                    // cannot be hidden or silenced
    f.choose(kNavtex518, NavtexFilter::kSubjectsShown, mandatory, false);
    f.choose(kNavtex518, NavtexFilter::kSubjectsAlert, mandatory, false);
  }
  struct Case {
    int which;
    const char* key;
    bool shown, alerts;
  } cases[] = {
      {kNavtex518, "PA01", false, false},  // a hidden station's warning too
      {kNavtex518, "PE01", false, false},  //
      {kNavtex518, "SC01", false, false},  // a hidden subject
      {kNavtex518, "SA01", true, true},    // mandatory, although S alerts nothing else
      {kNavtex518, "SL01", true, true},    //
      {kNavtex518, "SE01", true, false},   // E alerts, but not for S
      {kNavtex518, "OE01", true, true},    //
      {kNavtex518, "OF01", true, false},   // shown, no alert chosen
      {kNavtex490, "PC01", true, false},   // the other frequency keeps its defaults
      {kNavtex490, "PD01", true, true},    //
      {kNavtex518, "1A01", true, true},    // no letter: cannot be filtered
      {kNavtex518, "Sa01", true, false},   //
      {kNavtex518, "S", true, false},      //
  };
  for (const auto& c : cases) {
    EXPECT_EQ(f.Shown(c.which, c.key), c.shown) << c.key;
    EXPECT_EQ(f.Alerts(c.which, c.key), c.alerts) << c.key;
  }
}

TEST(NavtexFilter, KeptBesideTheSettingsAndReadBackWhole) {
  testing::ScratchFolder dir{"tern_navtex_filter"};
  EXPECT_EQ(LoadNavtexFilter(dir.slash()).filter, NavtexFilter());  // none yet: defaults
  EXPECT_EQ(LoadNavtexFilter(dir.slash()).problem, "");

  NavtexFilter f;
  f.choose(kNavtex490, NavtexFilter::kStationsShown, 'Z', false);
  f.choose(kNavtex518, NavtexFilter::kSubjectsAlert, 'K', true);
  ASSERT_TRUE(SaveNavtexFilter(dir.slash(), f));
  const auto loaded = LoadNavtexFilter(dir.slash());
  EXPECT_EQ(loaded.filter, f);
  EXPECT_EQ(loaded.problem, "");

  // A line that cannot be read keeps its default and is named; the others count.
  auto parsed = parseNavtexFilter(
      "# comment\r\n518.stations.shown=AB\r\n490.subjects.alert=abd\r\nrubbish\n518.x=A\n");
  EXPECT_FALSE(parsed.filter.chosen(kNavtex518, NavtexFilter::kStationsShown, 'C'));
  EXPECT_TRUE(parsed.filter.chosen(kNavtex490, NavtexFilter::kSubjectsAlert, 'L'));
  EXPECT_NE(parsed.problem.find("Zeilen 3, 4, 5"), std::string::npos) << parsed.problem;
}

TEST(NavtexAlertMemory, OneAlertPerMessageIn72HoursAlsoAfterARestart) {
  testing::ScratchFolder dir{"tern_alert_memory"};
  const std::int64_t t0 = secondsSinceEpoch(CivilTime{2026, 12, 8, 14, 0, 0, 0});
  auto at = [&](double hours) {
    return civilFromSeconds(t0 + static_cast<std::int64_t>(hours * 3600));
  };
  {
    NavtexAlertMemory memory(dir.slash());
    EXPECT_TRUE(memory.FirstAlert(518, "SA01", at(0)));
    EXPECT_FALSE(memory.FirstAlert(518, "SA01", at(4)));  // the repeat broadcast
    EXPECT_TRUE(memory.FirstAlert(490, "SA01", at(4)));   // another station's
    EXPECT_EQ(memory.takeWriteFailure(), "");
  }
  NavtexAlertMemory restarted(dir.slash());
  EXPECT_FALSE(restarted.FirstAlert(518, "SA01", at(71.9)));
  EXPECT_TRUE(restarted.FirstAlert(518, "SA01", at(72)));
}

// Entries written while the clock ran ahead: beyond a few minutes they mute nothing.
TEST(NavtexAlertMemory, AnEntryFromTheFutureDoesNotMuteAWarning) {
  testing::ScratchFolder dir{"tern_alert_memory_future"};
  const CivilTime now{2026, 12, 8, 14, 0, 0, 0};
  const std::int64_t t = secondsSinceEpoch(now);
  std::ofstream(dir / std::string(kNavtexAlertMemoryFile))
      << "518 SA01 " << t + 3600 << "\n518 SB02 " << t + 300 << "\n490 SC03 " << t + 7200 << "\n";
  NavtexAlertMemory memory(dir.slash());
  EXPECT_TRUE(memory.FirstAlert(518, "SA01", now)) << "an hour ahead: not trusted";
  EXPECT_FALSE(memory.FirstAlert(518, "SB02", now)) << "five minutes ahead: a clock's slack";
  const std::string notice = memory.takeFutureNotice();
  EXPECT_NE(notice.find("Zeiten aus der Zukunft"), std::string::npos) << notice;
  EXPECT_TRUE(memory.FirstAlert(490, "SC03", now));
  EXPECT_EQ(memory.takeFutureNotice(), "") << "said once";
  // Rewritten with the current time: the repeat four hours on is muted as usual.
  NavtexAlertMemory restarted(dir.slash());
  EXPECT_FALSE(restarted.FirstAlert(518, "SA01", civilFromSeconds(t + 4 * 3600)));
  EXPECT_EQ(restarted.takeFutureNotice(), "");
}

// A file's time may be any 64-bit number: the oldest possible one has long run out (it is no
// time from the future), the latest is not trusted, and neither overflows the comparison.
TEST(NavtexAlertMemory, TimesAtTheEndsOfTheRangeMuteNothing) {
  const CivilTime now{2026, 12, 8, 14, 0, 0, 0};
  for (const char* seconds : {"-9223372036854775808", "9223372036854775807"}) {
    NavtexAlertMemory memory =
        NavtexAlertMemory::FromText(std::string("518 SA01 ") + seconds + "\n");
    EXPECT_TRUE(memory.FirstAlert(518, "SA01", now)) << seconds;
    EXPECT_EQ(memory.takeFutureNotice().empty(), seconds[0] == '-') << seconds;
  }
}

}  // namespace
}  // namespace tern
