// The SEEWETTER page: the newest sea weather report and warnings on the map of the forecast
// areas, the user's own areas in one line each ("Meine Seegebiete"), every area in a list
// beside the map that selects as a click on the map does, and the selected area's texts as
// received, the warning first. Read again when the page is shown and when new bulletins
// arrive while it is.
#pragma once

#include <QObject>
#include <string>

#include "seaweather/sea_map.h"
#include "seaweather/sea_weather.h"
#include "ui/page.h"

class QLabel;
class QListWidget;
class QPlainTextEdit;

namespace tern {

class SeaMapView;

// Thread: window thread only.
class SeaWeatherPage final : public Page {
  Q_OBJECT
 public:
  explicit SeaWeatherPage(const PageContext& context);

  PageCommands Commands() const override { return {}; }
  void Shown() override;
  // Called inside the polling thread's hand-over: the store is read after it, on the window
  // thread, and only while the page is shown (Shown reads it anyway).
  void ShowNew() override;
  QString StatusText() const override;

  // Shows the area of this id on the map, in both lists and in the panel.
  void SelectArea(const std::string& id);

  SeaMapView* Map() const { return map_; }
  QListWidget* MyAreas() const { return myAreas_; }
  QListWidget* AllAreas() const { return allAreas_; }
  QPlainTextEdit* Detail() const { return detail_; }

 private:
  void refresh();

  SeaMapView* map_;
  QListWidget* myAreas_;
  QListWidget* allAreas_;
  QPlainTextEdit* detail_;
  seaweather::SeaWeather weather_;
  std::string selected_;
  QObject links_;
};

}  // namespace tern
