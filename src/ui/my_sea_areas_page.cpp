#include "ui/my_sea_areas_page.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QLabel>
#include <QVBoxLayout>

#include "seaweather/sea_areas.h"

namespace tern {

MySeaAreasPage::MySeaAreasPage(QWidget* parent) : QWidget(parent) {
  setObjectName("MySeaAreasTabSheet");
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(8, 8, 8, 8);
  // The tab's caption may be cut to "Seegebiete"; the page names itself in full.
  auto* title = new QLabel(QStringLiteral("<b>Meine Seegebiete</b>"), this);
  layout->addWidget(title);
  auto* note = new QLabel(
      QStringLiteral("Starkwind- und Sturmwarnungen des Seewetterberichts für die angekreuzten "
                     "Seegebiete alarmieren: Desktop-Benachrichtigung, Warnungsliste, "
                     "Signal K und der Dienst (tern-cli watch). Jede Warnung alarmiert einmal; "
                     "eine höhere Stufe alarmiert erneut."),
      this);
  note->setWordWrap(true);
  layout->addWidget(note);
  auto* grid = new QGridLayout;
  grid->setHorizontalSpacing(24);
  const auto areas = seaweather::seaAreas();
  // Down the first column, then down the second: the report's order reads as a list.
  const int rows = static_cast<int>((areas.size() + 1) / 2);
  for (std::size_t i = 0; i < areas.size(); ++i) {
    const seaweather::SeaArea& area = areas[i];
    auto* box = new QCheckBox(
        QString::fromUtf8(area.name.data(), static_cast<qsizetype>(area.name.size())), this);
    box->setObjectName(QStringLiteral("SeaArea_") +
                       QString::fromLatin1(area.id.data(), static_cast<qsizetype>(area.id.size())));
    const int k = static_cast<int>(i);
    grid->addWidget(box, k % rows, k / rows);
    boxes_.push_back(box);
  }
  grid->setColumnStretch(2, 1);
  layout->addLayout(grid);
  layout->addStretch(1);
}

void MySeaAreasPage::Show(const seaweather::MySeaAreas& areas) {
  const auto all = seaweather::seaAreas();
  for (std::size_t i = 0; i < boxes_.size(); ++i) boxes_[i]->setChecked(areas.contains(all[i].id));
}

seaweather::MySeaAreas MySeaAreasPage::Areas() const {
  seaweather::MySeaAreas areas;
  const auto all = seaweather::seaAreas();
  for (std::size_t i = 0; i < boxes_.size(); ++i)
    if (boxes_[i]->isChecked()) areas.ids.emplace_back(all[i].id);
  return areas;
}

}  // namespace tern
