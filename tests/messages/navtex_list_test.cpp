#include "messages/navtex_list.h"

#include <gtest/gtest.h>

#include "messages/record_builders.h"

namespace tern::testing {
namespace {

const CivilTime kNow{2026, 3, 5, 14, 20, 0, 0};

TEST(NavtexList, SameHeaderIsKnownSameKeyIsReplaced) {
  NavtexList list;
  list.append(header(10, "SA01", {2026, 3, 5, 3, 0, 0, 0}), textBytes("first"), 1);
  list.append(header(10, "SB02", {2026, 3, 5, 7, 0, 0, 0}), textBytes("second"), 2);

  EXPECT_TRUE(list.knownOrReplace(header(10, "SB02", {2026, 3, 5, 7, 0, 0, 0})));
  EXPECT_EQ(list.records().size(), 2u);

  // A repeat of SA01 with a new time replaces the stored one.
  EXPECT_FALSE(list.knownOrReplace(header(10, "SA01", {2026, 3, 5, 11, 0, 0, 0})));
  ASSERT_EQ(list.records().size(), 1u);
  EXPECT_EQ(list.records()[0].keyText(), "SB02");
  EXPECT_EQ(list.find(1), nullptr);
  EXPECT_NE(list.find(2), nullptr);
}

TEST(NavtexList, KeysAreComparedAsTwelveRawBytes) {
  NavtexList list;
  auto a = header(9, "LA01", kNow);
  a[10] = 0;
  a[11] = 'X';  // bytes after the 0 still count
  list.append(a, {}, 1);
  auto b = header(9, "LA01", {2026, 3, 5, 15, 0, 0, 0});
  EXPECT_FALSE(list.knownOrReplace(b));
  EXPECT_EQ(list.records().size(), 1u);  // different raw key: not replaced
}

TEST(NavtexList, AgeingRemovesOldAndInvalidRecords) {
  NavtexList list;
  list.append(header(10, "SA01", {2026, 3, 2, 14, 0, 0, 0}), {}, 1);  // 3 days old
  list.append(header(10, "SA02", {2026, 3, 4, 14, 0, 0, 0}), {}, 2);  // 1 day
  list.append(header(10, "SA03", {2026, 0, 4, 14, 0, 0, 0}), {}, 3);  // invalid month
  EXPECT_TRUE(list.age(kNow, 2));
  ASSERT_EQ(list.records().size(), 1u);
  EXPECT_EQ(list.records()[0].keyText(), "SA02");
}

}  // namespace
}  // namespace tern::testing
