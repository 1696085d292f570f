// The page of one radio fax station: the tree of its schedule entries and recordings, and
// the chart of the chosen one, which the user zooms, turns, drags and scrolls, and whose
// slant the right mouse button adjusts. The five stations share one fax presenter (and its
// one picture buffer), which the window owns.
//
// Above the chart, "Georeferenzieren" opens the calibration mode beside it: a click (a press
// and release without dragging) on the chart adds a point. "Als Karte speichern ..." writes
// the chart of a calibrated row as GeoTIFF and MBTiles.
#pragma once

#include <QObject>
#include <array>
#include <memory>
#include <thread>

#include "config/schedule_table.h"
#include "ui/page.h"

class QScrollArea;
class QScrollBar;
class QSplitter;
class QTimer;
class QToolButton;

namespace tern {

class FaxCalibration;
class FaxCalibrationPanel;
class FaxImageLabel;
class QtTreeView;
class TFAX;
class WindowQueue;

// Thread: window thread only; the map writer works on its own copy of the chart and reports
// back on the window thread.
class FaxPage final : public Page {
  Q_OBJECT
 public:
  static constexpr int kStations = kFaxStationCount;

  // The five pages in station order, their trees and charts added to `fax` and filled.
  static std::array<FaxPage*, kStations> MakeAll(TFAX& fax, const PageContext& context);
  ~FaxPage() override;

  // The tab's caption: "FAX DWD", "FAX Northwood", ...
  QString Caption() const;

  PageCommands Commands() const override;
  void Shown() override;
  void Save() override;
  void Print() override;
  void Expand() override;
  void Collapse() override;
  void ZoomIn() override;
  void ZoomOut() override;
  void Turn() override;

  // Event handlers, public so tests can drive them.
  void TreeViewChange();
  void ImageMouseDown(Qt::MouseButton button, int x, int y);
  void ImageMouseMove(int x, int y);
  void ImageMouseUp(Qt::MouseButton button);
  // The mouse wheel over the chart scrolls it; `dx`, `dy` in wheel eighths of a degree.
  void ImageWheel(int dx, int dy);
  void ImageDblClick();
  void HoriScrollBarChange();
  void VertScrollBarChange();

  const TFAX& Presenter() const { return fax_; }
  QTreeWidget* Tree() const { return tree_; }
  QWidget* Panel() const { return panel_; }
  FaxImageLabel* Image() const { return image_; }
  QScrollBar* HoriScrollBar() const { return horiScrollBar_; }
  QScrollBar* VertScrollBar() const { return vertScrollBar_; }
  QToolButton* GeoButton() const { return geoButton_; }
  QToolButton* MapButton() const { return mapButton_; }
  FaxCalibrationPanel* CalibrationPanel() const { return calibrationPanel_; }
  const FaxCalibration& Calibration() const { return *calibration_; }

  // The calibration mode on the selected chart, or off.
  void SetCalibrating(bool on);
  // "Als Karte speichern ...": the files are written on a thread of their own; the button
  // is enabled again when they are.
  void SaveMap();

 private:
  FaxPage(int station, TFAX& fax, const PageContext& context);
  // Moves the chart by (dx, dy) pixels within the drag limits; its scroll bars follow.
  void moveChart(int dx, int dy);
  void saveImageAs();
  // The calibration mode follows the selected chart's row.
  void followSelection();
  // The calibration points drawn where the shown picture has them.
  void updateMarkers();
  // While calibrating, the chart keeps at least half of the page: the panel narrows down to
  // its least usable width, then the tree gives way.
  void fitCalibrationPanel();
  void resizeEvent(QResizeEvent* event) override;

  const int station_;
  TFAX& fax_;
  QTreeWidget* tree_;
  QWidget* panel_;
  FaxImageLabel* image_;
  QScrollBar* horiScrollBar_;
  QScrollBar* vertScrollBar_;
  QTimer* layoutTimer_;  // 500 ms after the tree was shown or hidden
  QToolButton* geoButton_;
  QToolButton* mapButton_;
  std::unique_ptr<QtTreeView> treeView_;
  std::unique_ptr<FaxCalibration> calibration_;
  FaxCalibrationPanel* calibrationPanel_;
  QScrollArea* calibrationScroll_;  // holds the panel
  QSplitter* splitter_;
  int treeWidthBefore_ = 0;  // the tree's width before calibrating, given back after it
  // The mouse, from a button press to its release.
  bool dragging_ = false;
  bool slantAdjust_ = false;
  bool draggedFar_ = false;  // the press was a drag, not a click
  int pressX_ = 0;
  int pressY_ = 0;
  QObject links_;
  // The map writer's report; a child of `links_`, so a report still waiting when the page
  // goes is dropped with it.
  WindowQueue* toWindow_;
  // "Als Karte speichern ...": writes the files, then reports through `toWindow_`.
  std::thread mapWriter_;
};

}  // namespace tern
