#include "presenters/export_names.h"

#include <gtest/gtest.h>

namespace tern {
namespace {

TEST(ExportNames, TextFileNameIsTheKeyWithTxt) {
  EXPECT_EQ(textFileName("FQEW22"), "FQEW22.TXT");
  EXPECT_EQ(textFileName("NA 12"), "NA 12.TXT");
  EXPECT_EQ(textFileName("B\xF6"), "Bö.TXT");  // Latin-1 key, UTF-8 name
}

TEST(ExportNames, KeyCannotLeaveTheFolder) {
  EXPECT_EQ(textFileName("../x/y"), "_._x_y.TXT");
  EXPECT_EQ(textFileName("a\\b\r\n"), "a_b__.TXT");
  EXPECT_EQ(textFileName(""), ".TXT");
}

}  // namespace
}  // namespace tern
