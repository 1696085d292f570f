// The SYNOP page's wind map: the background map with the wind icons of the decoded reports,
// two scroll bars, dragging with the mouse, the hover hint, and the click that opens the
// reports of a map cell. The rules (grids, icons, hit test, hover timing) are the core's
// (synop/wind_map.h); this widget loads the pictures, puts pixels on the map and shows the
// windows.
//
// The drag keeps the map within 100 pixels of the panel's edges, with the fax viewer's
// clamping; the scroll bars (0..1835 and 0..1537) place the map at minus their position and
// clamp the same way, so a drag after a scroll never jumps. The hint appears with its
// top-left corner below the pointer by the hint's height less 10 pixels.
#pragma once

#include <QImage>
#include <QWidget>
#include <span>
#include <vector>

#include "synop/wind_map.h"

class QScrollBar;
class QTimer;

namespace tern {

class THintForm;

// The map picture; reports the mouse in its own (map) coordinates.
// Thread: window thread only.
class WindMapImage final : public QWidget {
  Q_OBJECT
 public:
  explicit WindMapImage(QWidget* parent);
  void setPicture(const QImage* picture);

 signals:
  void pressed(Qt::MouseButton button, int x, int y);
  void moved(int x, int y);
  void released();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  const QImage* picture_ = nullptr;
};

// Thread: window thread only.
class WindMapView final : public QWidget {
  Q_OBJECT
 public:
  // The background and the icons come from the program folder's pictures, loaded at the
  // first DrawWindMap.
  WindMapView(const std::string& programFolder, QWidget* parent = nullptr);

  // Draws the map of `reports`, which the view reads (hover, click) until the next call or
  // ForgetReports.
  void DrawWindMap(const std::vector<TSynopType>& reports);
  // The reports' owner goes away: nothing is hovered or clicked any more.
  void ForgetReports();
  // Runs the hover timer (only while the SYNOP page is shown).
  void SetTimerActive(bool on);

  // The map as drawn: the picture that the SYNOP page saves and prints; null before the
  // first DrawWindMap.
  const QImage& MapPicture() const { return map_; }
  const std::vector<windmap::DrawnIcon>& DrawnIcons() const { return icons_; }
  bool Dragging() const { return dragging_; }

  // Where the hint goes.
  void SetHintForm(THintForm* hint) { hint_ = hint; }

  // Event handlers, public so tests can drive them.
  void Image1MouseDown(Qt::MouseButton button, int x, int y);
  void Image1MouseMove(int x, int y);
  void Image1MouseUp();
  void HorSynopScrollBarChange();
  void VertSynopScrollBarChange();
  void HoverTimerTick();

  QWidget* Panel1 = nullptr;
  WindMapImage* Image1 = nullptr;
  QScrollBar* HorSynopScrollBar = nullptr;
  QScrollBar* VertSynopScrollBar = nullptr;
  QTimer* HoverTimer = nullptr;

 signals:
  // A button is held on the map (no read-out may start), or released.
  void pauseRequested(bool on);
  // A click on a cell with reports; the receiver shows them modally and returns when its
  // window is closed.
  void reportsClicked(const windmap::CellReports& shown);

 private:
  void loadPictures();
  void placeMap(int left, int top);

  const std::string programFolder_;
  bool picturesLoaded_ = false;
  QImage background_;  // Image2: the map without icons, 32-bit
  QImage map_;         // Image1's picture
  windmap::IconSet iconPictures_{};
  windmap::WindGrid grid_;
  std::vector<windmap::DrawnIcon> icons_;
  windmap::HoverState hover_;
  std::span<const TSynopType> reports_;
  THintForm* hint_ = nullptr;
  bool dragging_ = false;
  int pressX_ = 0;
  int pressY_ = 0;
  char decimalPoint_ = ',';
};

}  // namespace tern
