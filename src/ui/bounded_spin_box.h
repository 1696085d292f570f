// The number fields for every bounded number: people type a number and expect it to be
// taken. A plain spin box refuses the key that would leave its range, so typing 900 into a
// field that ends at 750 leaves 90, a value nobody asked for. These take every number typed
// and, when the field is left or Enter is pressed, put the nearest bound in its place.
#pragma once

#include <QDoubleSpinBox>
#include <QSpinBox>
#include <optional>

namespace tern {

// The number in a field's text without its prefix and suffix, if it is one.
std::optional<double> typedNumber(const QAbstractSpinBox& box, const QString& input,
                                  const QString& prefix, const QString& suffix);

// Thread: window thread only.
class BoundedSpinBox final : public QSpinBox {
  Q_OBJECT
 public:
  using QSpinBox::QSpinBox;

 protected:
  QValidator::State validate(QString& input, int& pos) const override;
  void fixup(QString& input) const override;
};

// Thread: window thread only.
class BoundedDoubleSpinBox final : public QDoubleSpinBox {
  Q_OBJECT
 public:
  using QDoubleSpinBox::QDoubleSpinBox;

 protected:
  QValidator::State validate(QString& input, int& pos) const override;
  void fixup(QString& input) const override;
};

}  // namespace tern
