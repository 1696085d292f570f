// The barograph's chart on Qt Charts: the chart seam plus the user's own zoom. Dragging a
// rectangle with the left button zooms into it; the right button undoes the zoom.
#pragma once

#include <QChartView>

#include "presenters/chart_view.h"

class QDateTimeAxis;
class QLineSeries;
class QValueAxis;

namespace tern {

// Thread: window thread only.
class BaroChart final : public QChartView, public ChartView {
  Q_OBJECT
 public:
  explicit BaroChart(QWidget* parent = nullptr);

  void setPoints(const std::vector<Point>& points) override;
  void setTimeRange(double startSeconds, double endSeconds) override;
  void setPressureRange(double minimum, double maximum) override;
  void undoZoom() override;
  void setFootText(const std::string& text) override;

  QLineSeries* series() const { return series_; }
  QDateTimeAxis* timeAxis() const { return timeAxis_; }
  QValueAxis* pressureAxis() const { return pressureAxis_; }

 signals:
  // The user zoomed with a rectangle, or undid it.
  void zoomed();
  void zoomUndone();

 protected:
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  QLineSeries* series_;
  QDateTimeAxis* timeAxis_;
  QValueAxis* pressureAxis_;
};

}  // namespace tern
