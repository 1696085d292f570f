// The image control of one fax page: shows the pictures the fax store renders and reports
// the mouse to its page, which drags, scrolls and slant-adjusts the chart.
#pragma once

#include <QLabel>
#include <vector>

#include "fax/fax_picture.h"

namespace tern {

// A calibration point drawn over the chart: a cross at `at` (image coordinates), its number
// beside it, red when its residual is flagged.
struct ChartMarker {
  QPointF at;
  int number = 0;
  bool flagged = false;
};

// Thread: window thread only.
class FaxImageLabel final : public QLabel, public FaxImageView {
  Q_OBJECT
 public:
  explicit FaxImageLabel(QWidget* parent = nullptr);

  void showPicture(const FaxPicture& picture) override;
  // The picture as a Qt image (indexed 8-bit with the picture's palette), notice drawn on.
  static QImage toImage(const FaxPicture& picture);
  // The calibration points to draw over the picture; none outside the calibration mode.
  void setMarkers(std::vector<ChartMarker> markers);
  const std::vector<ChartMarker>& markers() const { return markers_; }

 signals:
  // Positions are in the label's own (image) coordinates.
  void pressed(Qt::MouseButton button, int x, int y);
  void moved(int x, int y);
  void released(Qt::MouseButton button);
  void doubleClicked();
  // Wheel turns in eighths of a degree, vertical turns with Shift held given as horizontal.
  void wheelTurned(int dx, int dy);

 protected:
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;
  void paintEvent(QPaintEvent* event) override;

 private:
  std::vector<ChartMarker> markers_;
};

}  // namespace tern
