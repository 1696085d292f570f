#include "ui/utc_clock_text.h"

#include <gtest/gtest.h>

namespace tern {
namespace {

TEST(UtcClockText, UsesTheLongTimeFormatWithoutTheLocalZone) {
  const CivilTime t{2026, 12, 8, 7, 5, 9, 0};
  EXPECT_EQ(utcClockText(t, QLocale(QLocale::German, QLocale::Germany)), " 07:05:09 UTC");
  QString us = utcClockText(t, QLocale(QLocale::English, QLocale::UnitedStates));
  EXPECT_TRUE(us.startsWith(" 7:05:09")) << us.toStdString();
  EXPECT_TRUE(us.endsWith("AM UTC")) << us.toStdString();
  for (QLocale l : {QLocale::c(), QLocale(QLocale::German), QLocale(QLocale::English),
                    QLocale(QLocale::French), QLocale(QLocale::Japanese)}) {
    EXPECT_FALSE(longTimeFormatWithoutZone(l).contains('t')) << l.name().toStdString();
  }
}

}  // namespace
}  // namespace tern
