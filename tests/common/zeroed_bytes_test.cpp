#include "common/zeroed_bytes.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <utility>

namespace tern {
namespace {

// Zero from the start at every size, a reused heap block included, and owned by one buffer
// at a time when moved or swapped.
TEST(ZeroedBytes, StartsZeroAndMovesItsBytes) {
  for (std::size_t size : {0u, 1u, 4095u, 200'000u, 6'000'000u}) {
    {
      ZeroedBytes dirty(size);
      std::fill(dirty.begin(), dirty.end(), 0xA5);
    }
    const ZeroedBytes fresh(size);
    EXPECT_EQ(fresh.size(), size);
    EXPECT_TRUE(std::all_of(fresh.begin(), fresh.end(), [](auto b) { return b == 0; })) << size;
  }
  ZeroedBytes a(16);
  ZeroedBytes b(32);
  a[3] = 7;
  std::swap(a, b);
  EXPECT_EQ(a.size(), 32u);
  EXPECT_EQ(b.size(), 16u);
  EXPECT_EQ(b[3], 7);
  ZeroedBytes c(std::move(b));
  EXPECT_EQ(c[3], 7);
  EXPECT_EQ(b.size(), 0u);
  EXPECT_EQ(b.data(), nullptr);
}

}  // namespace
}  // namespace tern
