#include "ui/bounded_spin_box.h"

#include <algorithm>

namespace tern {

std::optional<double> typedNumber(const QAbstractSpinBox& box, const QString& input,
                                  const QString& prefix, const QString& suffix) {
  QString text = input;
  if (!prefix.isEmpty() && text.startsWith(prefix)) text.remove(0, prefix.size());
  if (!suffix.isEmpty() && text.endsWith(suffix)) text.chop(suffix.size());
  bool ok = false;
  const double number = box.locale().toDouble(text.trimmed(), &ok);
  if (!ok) return std::nullopt;
  return number;
}

namespace {

// A number out of range is a step on the way; fixup() brings it into range.
QValidator::State bounded(QValidator::State state, const std::optional<double>& number) {
  return state == QValidator::Invalid && number ? QValidator::Intermediate : state;
}

}  // namespace

QValidator::State BoundedSpinBox::validate(QString& input, int& pos) const {
  return bounded(QSpinBox::validate(input, pos), typedNumber(*this, input, prefix(), suffix()));
}

void BoundedSpinBox::fixup(QString& input) const {
  QSpinBox::fixup(input);
  if (const auto number = typedNumber(*this, input, prefix(), suffix())) {
    const auto value = static_cast<int>(
        std::clamp(*number, static_cast<double>(minimum()), static_cast<double>(maximum())));
    input = prefix() + textFromValue(value) + suffix();
  }
}

QValidator::State BoundedDoubleSpinBox::validate(QString& input, int& pos) const {
  return bounded(QDoubleSpinBox::validate(input, pos),
                 typedNumber(*this, input, prefix(), suffix()));
}

void BoundedDoubleSpinBox::fixup(QString& input) const {
  QDoubleSpinBox::fixup(input);
  if (const auto number = typedNumber(*this, input, prefix(), suffix()))
    input = prefix() + textFromValue(std::clamp(*number, minimum(), maximum())) + suffix();
}

}  // namespace tern
