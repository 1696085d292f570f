#include "ui/baro_chart.h"

#include <QDateTime>
#include <QDateTimeAxis>
#include <QLineSeries>
#include <QLocale>
#include <QMouseEvent>
#include <QValueAxis>

#include "common/clock.h"

namespace tern {

namespace {

// Local wall-clock seconds (as the core counts them) to the chart's milliseconds.
qint64 toMsecs(double localSeconds) {
  CivilTime t = civilFromSeconds(static_cast<std::int64_t>(localSeconds));
  QDateTime dt(QDate(t.year, t.month, t.day), QTime(t.hour, t.minute, t.second), Qt::LocalTime);
  return dt.toMSecsSinceEpoch();
}

}  // namespace

BaroChart::BaroChart(QWidget* parent) : QChartView(new QChart, parent) {
  setObjectName("Chart1");
  setRenderHint(QPainter::Antialiasing);
  setRubberBand(QChartView::RectangleRubberBand);
  chart()->legend()->hide();

  series_ = new QLineSeries(chart());
  series_->setObjectName("Series1");
  series_->setColor(Qt::black);
  chart()->addSeries(series_);

  timeAxis_ = new QDateTimeAxis(chart());
  timeAxis_->setObjectName("BaroTimeAxis");
  // The user's short date and time; without a configured language (the C locale) the
  // German form, as the rest of the window is German.
  const QLocale locale;
  timeAxis_->setFormat(locale.language() == QLocale::C
                           ? QStringLiteral("dd.MM.yy hh:mm")
                           : locale.dateFormat(QLocale::ShortFormat) + QLatin1Char(' ') +
                                 locale.timeFormat(QLocale::ShortFormat));
  timeAxis_->setTickCount(7);
  timeAxis_->setLabelsAngle(-30);
  chart()->addAxis(timeAxis_, Qt::AlignBottom);
  series_->attachAxis(timeAxis_);

  pressureAxis_ = new QValueAxis(chart());
  pressureAxis_->setObjectName("BaroPressureAxis");
  pressureAxis_->setTitleText(QStringLiteral("Luftdruck [hPa]"));
  pressureAxis_->setRange(900, 1100);
  pressureAxis_->setLabelFormat(QStringLiteral("%.0f"));
  chart()->addAxis(pressureAxis_, Qt::AlignRight);
  series_->attachAxis(pressureAxis_);
}

void BaroChart::setPoints(const std::vector<Point>& points) {
  QList<QPointF> list;
  list.reserve(static_cast<qsizetype>(points.size()));
  if (!points.empty()) {
    // One zone offset for the whole series: converting every point on its own is slow, and
    // the series never spans more than a week.
    const double last = points.back().first;
    const qint64 lastMs = toMsecs(last);
    for (const Point& p : points) {
      list.append(QPointF(static_cast<double>(lastMs) + (p.first - last) * 1000.0, p.second));
    }
  }
  series_->replace(list);
}

void BaroChart::setTimeRange(double startSeconds, double endSeconds) {
  timeAxis_->setRange(QDateTime::fromMSecsSinceEpoch(toMsecs(startSeconds)),
                      QDateTime::fromMSecsSinceEpoch(toMsecs(endSeconds)));
}

void BaroChart::setPressureRange(double minimum, double maximum) {
  pressureAxis_->setRange(minimum, maximum);
}

void BaroChart::undoZoom() {
  if (chart()->isZoomed()) chart()->zoomReset();
}

void BaroChart::setFootText(const std::string& text) {
  timeAxis_->setTitleText(QString::fromStdString(text));
}

void BaroChart::mouseReleaseEvent(QMouseEvent* event) {
  const bool wasZoomed = chart()->isZoomed();
  if (event->button() == Qt::RightButton) {
    chart()->zoomReset();
    event->accept();
    if (wasZoomed) emit zoomUndone();
    return;
  }
  QChartView::mouseReleaseEvent(event);
  if (event->button() == Qt::LeftButton && chart()->isZoomed()) emit zoomed();
}

}  // namespace tern
