#include "common/bytes.h"

#include <gtest/gtest.h>

namespace tern {
namespace {

TEST(Bytes, WritesAndReadsLittleEndian) {
  Bytes out;
  ByteWriter w(out);
  w.u8(0x01);
  w.u16(0x0302);
  w.u32(0x07060504);
  w.i32(-2);
  EXPECT_EQ(toHex(out), "01 02 03 04 05 06 07 FE FF FF FF");

  ByteReader r(out);
  EXPECT_EQ(r.u8(), 0x01);
  EXPECT_EQ(r.u16(), 0x0302);
  EXPECT_EQ(r.u32(), 0x07060504u);
  EXPECT_EQ(r.i32(), -2);
  EXPECT_TRUE(r.atEnd());
  EXPECT_TRUE(r.ok());
}

TEST(Bytes, ReadPastEndFailsAndStaysFailed) {
  Bytes in{1, 2, 3};
  ByteReader r(in);
  EXPECT_FALSE(r.u32().has_value());
  EXPECT_FALSE(r.ok());
  // A failed reader does not resume with a shorter read: the record is broken.
  EXPECT_FALSE(r.u8().has_value());
  EXPECT_FALSE(r.take(SIZE_MAX).has_value());
}

TEST(Bytes, TakeOfHugeLengthDoesNotOverflow) {
  Bytes in(10, 0);
  ByteReader r(in);
  ASSERT_TRUE(r.skip(5));
  EXPECT_FALSE(r.take(SIZE_MAX - 2).has_value());
}

}  // namespace
}  // namespace tern
