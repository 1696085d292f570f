#include "messages/baro_store.h"

#include <gtest/gtest.h>

namespace tern {
namespace {

Bytes blockWith(int head, int count) {
  Bytes b(BaroStore::kBlockSize, 0);
  putU16(&b[4], static_cast<std::uint16_t>(head));
  putU16(&b[6], static_cast<std::uint16_t>(count));
  return b;
}

TEST(BaroReadPlan, LimitsTheCountToWholePagesOfAWeek) {
  struct Case {
    int head, count;
    int keptCount, currentIndex, firstPage;
    std::size_t pages;
  };
  const Case cases[] = {
      {20030, 20000, 10814, 10752, 152, 168},  // limited: 10752 + 20030 mod 64
      {640, 20000, 10816, 10752, -1, 168},     // head on a page start: + 64
      {0, 0, 0, 0, -1, 0},                     // nothing yet: only the current page
      {64, 64, 64, 0, -1, 0},                  // one page: nothing to read
      {65, 65, 65, 64, 8, 1},
      {10, 100, 100, 64, 8 + (32256 - 90) / 64, 1},  // the ring wraps below 0
  };
  for (const Case& c : cases) {
    BaroReadPlan plan = planBaroRead(blockWith(c.head, c.count));
    EXPECT_EQ(plan.count, c.keptCount) << c.head << "/" << c.count;
    EXPECT_EQ(plan.currentPageIndex, c.currentIndex) << c.head << "/" << c.count;
    ASSERT_EQ(plan.pages.size(), c.pages) << c.head << "/" << c.count;
    if (c.firstPage >= 0 && !plan.pages.empty()) {
      EXPECT_EQ(plan.pages.front(), c.firstPage);
    }
    for (int page : plan.pages) {
      EXPECT_GE(page, 8);
      EXPECT_LE(page, 511);
    }
  }
}

TEST(BaroReadPlan, PagesWrapFrom511To8) {
  // first = 32256 - 200 -> page 8 + 500 = 508; four pages: 508..511, then 8.
  BaroReadPlan plan = planBaroRead(blockWith(120, 320));
  EXPECT_EQ(plan.pages, (std::vector<int>{508, 509, 510, 511}));
  plan = planBaroRead(blockWith(120 + 64, 384));
  EXPECT_EQ(plan.pages, (std::vector<int>{508, 509, 510, 511, 8}));
}

TEST(BaroStore, TimeStampsCountBackOneMinuteAcrossMidnight) {
  BaroStore store;
  stampBaroTimes(store, 3, {2026, 3, 1, 0, 1, 42, 0});
  EXPECT_EQ(store.sampleTime(2), (CivilTime{2026, 3, 1, 0, 1, 0, 0}));
  EXPECT_EQ(store.sampleTime(1), (CivilTime{2026, 3, 1, 0, 0, 0, 0}));
  EXPECT_EQ(store.sampleTime(0), (CivilTime{2026, 2, 28, 23, 59, 0, 0}));
  // Count 0 writes no time stamp.
  BaroStore untouched;
  stampBaroTimes(untouched, 0, {2026, 3, 1, 0, 1, 0, 0});
  EXPECT_EQ(untouched.samples(), Bytes(BaroStore::kSamplesBytes, 0));
}

}  // namespace
}  // namespace tern
