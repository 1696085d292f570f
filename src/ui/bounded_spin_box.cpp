#include "ui/bounded_spin_box.h"

#include <algorithm>

namespace tern {

std::optional<qlonglong> BoundedSpinBox::typedNumber(const QString& input) const {
  QString text = input;
  if (!prefix().isEmpty() && text.startsWith(prefix())) text.remove(0, prefix().size());
  if (!suffix().isEmpty() && text.endsWith(suffix())) text.chop(suffix().size());
  bool ok = false;
  const qlonglong number = locale().toLongLong(text.trimmed(), &ok);
  if (!ok) return std::nullopt;
  return number;
}

QValidator::State BoundedSpinBox::validate(QString& input, int& pos) const {
  const QValidator::State state = QSpinBox::validate(input, pos);
  // A number out of range is a step on the way; fixup() brings it into range.
  if (state == QValidator::Invalid && typedNumber(input)) return QValidator::Intermediate;
  return state;
}

void BoundedSpinBox::fixup(QString& input) const {
  QSpinBox::fixup(input);
  if (const auto number = typedNumber(input)) {
    const auto bounded = std::clamp<qlonglong>(*number, minimum(), maximum());
    input = prefix() + textFromValue(static_cast<int>(bounded)) + suffix();
  }
}

}  // namespace tern
