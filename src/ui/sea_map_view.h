// The SEEWETTER page's map: paints the core's sea map model (seaweather/sea_map.h) scaled
// to the widget, the program folder's land picture over the fills, with the selected area
// outlined and the legend of the colours below, and reports a click on an area. Hit test,
// colours, arrows and the drawing order are the core's.
#pragma once

#include <QImage>
#include <QString>
#include <QWidget>
#include <string>

#include "seaweather/sea_map.h"

namespace tern {

// Thread: window thread only.
class SeaMapView final : public QWidget {
  Q_OBJECT
 public:
  // Without the land picture in `programFolder` the map shows the outlines alone.
  explicit SeaMapView(const std::string& programFolder, QWidget* parent = nullptr);

  // Shows `map`; the view keeps a copy.
  void SetMap(seaweather::SeaMap map);
  // The area drawn as selected (an index of the map's areas), -1 for none.
  void Select(int area);
  const seaweather::SeaMap& Map() const { return map_; }

 signals:
  void areaClicked(int area);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;

 private:
  // Map units to widget pixels: the scale and the map's top-left corner.
  struct Placement {
    double scale = 1;
    double left = 0;
    double top = 0;
  };
  Placement placement() const;

  seaweather::SeaMap map_;
  // Decoded at the first painting (2 MB, 8-17 ms), not while the window starts: the map sits
  // on a page that is not shown at the start.
  QString landFile_;
  QImage land_;
  bool landLoaded_ = false;
  int selected_ = -1;
};

}  // namespace tern
