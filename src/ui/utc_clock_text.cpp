#include "ui/utc_clock_text.h"

#include <QRegularExpression>
#include <QTime>

namespace tern {

QString longTimeFormatWithoutZone(const QLocale& locale) {
  QString format = locale.timeFormat(QLocale::LongFormat);
  // 't', 'tt', 'ttt', 'tttt' are the zone tokens; quoted literals never hold them here.
  format.remove(QRegularExpression(QStringLiteral("\\s*\\(?t+\\)?")));
  format = format.trimmed();
  return format.isEmpty() ? QStringLiteral("HH:mm:ss") : format;
}

QString utcClockText(const CivilTime& utc, const QLocale& locale) {
  return UtcClockText(locale)(utc);
}

UtcClockText::UtcClockText(QLocale locale)
    : locale_(std::move(locale)), format_(longTimeFormatWithoutZone(locale_)) {}

QString UtcClockText::operator()(const CivilTime& utc) const {
  const QTime time(utc.hour, utc.minute, utc.second);
  return QStringLiteral(" ") + locale_.toString(time, format_) + QStringLiteral(" UTC");
}

}  // namespace tern
