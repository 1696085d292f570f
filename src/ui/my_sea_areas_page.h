// The configuration dialog's page "Meine Seegebiete": one check box per forecast area of the
// sea weather report, in the report's order, in two columns. Strong wind and gale warnings
// for the ticked areas alert (alerts/sea_area_alerts.h). The page only shows a choice and
// reads it back; the dialog saves it as seegebiete.txt in the data folder.
#pragma once

#include <QWidget>
#include <vector>

#include "seaweather/my_sea_areas.h"

class QCheckBox;

namespace tern {

// Thread: window thread only.
class MySeaAreasPage : public QWidget {
  Q_OBJECT
 public:
  explicit MySeaAreasPage(QWidget* parent);

  void Show(const seaweather::MySeaAreas& areas);
  seaweather::MySeaAreas Areas() const;
  // The check box of an area, in the order of seaweather::seaAreas(); objectName
  // "SeaArea_<id>".
  const std::vector<QCheckBox*>& Boxes() const { return boxes_; }

 private:
  std::vector<QCheckBox*> boxes_;
};

}  // namespace tern
