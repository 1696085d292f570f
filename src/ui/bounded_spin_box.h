// The number field for every bounded number: people type a number and expect it to be taken.
// A plain spin box refuses the key that would leave its range, so typing 900 into a field
// that ends at 750 leaves 90, a value nobody asked for. This one takes every number typed
// and, when the field is left or Enter is pressed, puts the nearest bound in its place.
#pragma once

#include <QSpinBox>
#include <optional>

namespace tern {

// Thread: window thread only.
class BoundedSpinBox final : public QSpinBox {
  Q_OBJECT
 public:
  using QSpinBox::QSpinBox;

 protected:
  QValidator::State validate(QString& input, int& pos) const override;
  void fixup(QString& input) const override;

 private:
  // The number in `input` without prefix and suffix, if it is one.
  std::optional<qlonglong> typedNumber(const QString& input) const;
};

}  // namespace tern
