// The text of the UTC clock in the status bar: a blank, the time of day in the user's long
// time format, a blank and "UTC".
#pragma once

#include <QLocale>
#include <QString>

#include "common/clock.h"

namespace tern {

// The locale's long time format without its time-zone part: the clock shows UTC, so a zone
// name of the local zone (which the long format carries on Linux) would be wrong.
QString longTimeFormatWithoutZone(const QLocale& locale);

QString utcClockText(const CivilTime& utc, const QLocale& locale);

// The clock's text once a second without working out the format again (a regular expression
// each time): the locale and its format are taken once.
// Thread: the window thread.
class UtcClockText {
 public:
  explicit UtcClockText(QLocale locale);
  QString operator()(const CivilTime& utc) const;

 private:
  QLocale locale_;
  QString format_;
};

}  // namespace tern
