// Number fields take what is typed and bring it into their range when left.
#include "ui/bounded_spin_box.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QFocusEvent>
#include <QTest>
#include <memory>

namespace tern::testing {
namespace {

struct Case {
  const char* typed;
  const char* shown;
};

// Types `typed` over the field's text and leaves the field.
QString typeAndLeave(QAbstractSpinBox& field, const char* typed) {
  field.selectAll();
  QTest::keyClicks(&field, QString::fromUtf8(typed));
  QFocusEvent left(QEvent::FocusOut, Qt::TabFocusReason);
  QApplication::sendEvent(&field, &left);
  return field.text();
}

TEST(BoundedSpinBox, WholeAndDecimalFieldsTakeTypedNumbersIntoTheirRange) {
  BoundedSpinBox height;
  height.setRange(0, 750);
  BoundedDoubleSpinBox latitude;
  latitude.setLocale(QLocale::c());
  latitude.setRange(1, 90);
  latitude.setDecimals(1);
  latitude.setSuffix(QStringLiteral("° N"));
  const std::vector<std::pair<QAbstractSpinBox*, Case>> cases{
      {&height, {"900", "750"}},        {&height, {"75", "75"}},
      {&height, {"-20", "20"}},  // no minus where nothing is negative
      {&latitude, {"95", "90.0° N"}},   {&latitude, {"0.5", "1.0° N"}},
      {&latitude, {"54.5", "54.5° N"}},
  };
  for (const auto& [field, c] : cases) EXPECT_EQ(typeAndLeave(*field, c.typed), c.shown) << c.typed;
  EXPECT_EQ(height.value(), 20);
  EXPECT_DOUBLE_EQ(latitude.value(), 54.5);
}

}  // namespace
}  // namespace tern::testing
