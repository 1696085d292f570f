#include "common/clock.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <thread>

#include "fakes/fake_clock.h"

namespace tern {
namespace {

TEST(Clock, ValidatesDates) {
  EXPECT_TRUE(isValidCivilTime({2024, 2, 29, 23, 59, 59, 999}));
  EXPECT_FALSE(isValidCivilTime({2023, 2, 29, 0, 0, 0, 0}));
  EXPECT_FALSE(isValidCivilTime({2026, 2, 31, 0, 0, 0, 0}));
  EXPECT_FALSE(isValidCivilTime({2026, 13, 1, 0, 0, 0, 0}));
  EXPECT_FALSE(isValidCivilTime({2026, 1, 1, 24, 0, 0, 0}));
}

// The text of every time, the usual ones and those of a damaged record, as printf made it.
TEST(Clock, IsoLikeTextAtTheEdgesOfEachField) {
  for (CivilTime t : {CivilTime{2026, 3, 5, 12, 0, 0, 0}, CivilTime{0, 0, 0, 0, 0, 0, 0},
                      CivilTime{9999, 99, 99, 99, 99, 99, 0}, CivilTime{10000, 1, 1, 0, 0, 0, 0},
                      CivilTime{987, 9, 10, 9, 10, 59, 0}, CivilTime{2255, 255, 1, 0, 0, 0, 0},
                      CivilTime{2026, 1, 1, 0, 0, 100, 0}, CivilTime{-1, 1, 1, 0, 0, 0, 0},
                      CivilTime{2026, -5, 1, 0, 0, 0, 0},
                      CivilTime{-2147483647, -2147483647, -2147483647, -2147483647, -2147483647,
                                -2147483647, 0}}) {
    char expected[40];
    std::snprintf(expected, sizeof expected, "%04d-%02d-%02d %02d:%02d:%02d", t.year, t.month,
                  t.day, t.hour, t.minute, t.second);
    std::string appended = "x";
    appendIsoLike(appended, t);
    EXPECT_EQ(formatIsoLike(t), expected);
    EXPECT_EQ(appended, std::string("x") + expected);
  }
}

TEST(Clock, SecondsRoundTripAcrossMonthAndYearEnds) {
  for (CivilTime t : {CivilTime{1999, 12, 31, 23, 59, 59, 0}, CivilTime{2024, 2, 29, 12, 0, 0, 0},
                      CivilTime{1970, 1, 1, 0, 0, 0, 0}, CivilTime{1969, 12, 31, 23, 0, 0, 0}}) {
    EXPECT_EQ(civilFromSeconds(secondsSinceEpoch(t)), t) << formatIsoLike(t);
  }
  EXPECT_EQ(
      secondsSinceEpoch({2026, 3, 1, 0, 0, 0, 0}) - secondsSinceEpoch({2026, 2, 28, 0, 0, 0, 0}),
      86400);
}

TEST(Clock, SystemSleepEndsAtOnceOnStopRequest) {
  SystemClock clock;
  std::stop_source stop;
  auto start = std::chrono::steady_clock::now();
  std::jthread stopper([&] {
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    stop.request_stop();
  });
  EXPECT_FALSE(clock.sleepFor(std::chrono::seconds(30), stop.get_token()));
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10));
}

TEST(Clock, FakeClockAdvancesOnSleepAndKeepsLocalOffset) {
  testing::FakeClock clock({2026, 12, 31, 23, 59, 30, 0}, 60);
  EXPECT_TRUE(clock.sleepFor(std::chrono::milliseconds(30500)));
  EXPECT_EQ(clock.utcNow(), (CivilTime{2027, 1, 1, 0, 0, 0, 500}));
  EXPECT_EQ(clock.localNow().hour, 1);
}

}  // namespace
}  // namespace tern
