// The image control of one fax page: shows the pictures the fax store renders and reports
// the mouse to the main window, which drags, scrolls and slant-adjusts the chart.
#pragma once

#include <QLabel>
#include <functional>

#include "stores/fax_picture.h"

namespace tern {

// Thread: window thread only.
class FaxImageLabel final : public QLabel, public FaxImageView {
 public:
  explicit FaxImageLabel(QWidget* parent = nullptr);

  void showPicture(const FaxPicture& picture) override;
  // The picture as a Qt image (indexed 8-bit with the picture's palette), notice drawn on.
  static QImage toImage(const FaxPicture& picture);

  // Positions are in the label's own (image) coordinates.
  std::function<void(Qt::MouseButton, int x, int y)> onPress;
  std::function<void(int x, int y)> onMove;
  std::function<void(Qt::MouseButton)> onRelease;
  std::function<void()> onDoubleClick;
  // Wheel turns in eighths of a degree, vertical turns with Shift held given as horizontal.
  std::function<void(int dx, int dy)> onWheel;

 protected:
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;
};

}  // namespace tern
