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
  QTime time(utc.hour, utc.minute, utc.second);
  return QStringLiteral(" ") + locale.toString(time, longTimeFormatWithoutZone(locale)) +
         QStringLiteral(" UTC");
}

}  // namespace tern
