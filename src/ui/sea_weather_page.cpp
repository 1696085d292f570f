#include "ui/sea_weather_page.h"

#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QSignalBlocker>
#include <QSplitter>
#include <QTimer>
#include <QVBoxLayout>

#include "assembly/application_session.h"
#include "seaweather/my_sea_areas.h"
#include "ui/sea_map_view.h"

namespace tern {

namespace {

constexpr int kIdRole = Qt::UserRole;

QLabel* heading(const QString& text, QWidget* parent) {
  auto* label = new QLabel(text, parent);
  QFont font = label->font();
  font.setBold(true);
  label->setFont(font);
  return label;
}

QListWidgetItem* areaItem(const std::string& line, std::string_view id, QListWidget* list) {
  auto* item = new QListWidgetItem(QString::fromStdString(line), list);
  item->setData(kIdRole, QString::fromUtf8(id.data(), static_cast<qsizetype>(id.size())));
  item->setToolTip(item->text());
  return item;
}

}  // namespace

SeaWeatherPage::SeaWeatherPage(const PageContext& context)
    : Page("SeeWetterTabSheet", context),
      map_(new SeaMapView(context.session.ProgramFolder())),
      myAreas_(new QListWidget),
      allAreas_(new QListWidget),
      detail_(new QPlainTextEdit) {
  myAreas_->setObjectName("MySeaAreasList");
  allAreas_->setObjectName("AllSeaAreasList");
  detail_->setObjectName("SeaAreaText");
  detail_->setReadOnly(true);
  detail_->setPlainText(QStringLiteral("Ein Seegebiet in der Karte oder einer Liste wählen."));
  for (QListWidget* list : {myAreas_, allAreas_}) list->setWordWrap(true);

  auto* lists = new QWidget;
  auto* left = new QVBoxLayout(lists);
  left->setContentsMargins(6, 6, 6, 6);
  left->addWidget(heading(QStringLiteral("Meine Seegebiete"), lists));
  left->addWidget(myAreas_, 1);
  left->addWidget(heading(QStringLiteral("Alle Seegebiete"), lists));
  left->addWidget(allAreas_, 3);

  // The map takes the room; the selected area's texts below it, the lists beside it.
  auto* below = new QWidget;
  auto* panel = new QVBoxLayout(below);
  panel->setContentsMargins(6, 6, 6, 6);
  panel->addWidget(heading(QStringLiteral("Gewähltes Seegebiet"), below));
  panel->addWidget(detail_, 1);
  auto* note = new QLabel(QString::fromUtf8(seaweather::kOutlinesNote) +
                              QStringLiteral(". Pfeile zeigen, wohin der Wind weht; die Zahl "
                                             "ist die stärkste Windstärke (Bft)."),
                          below);
  note->setWordWrap(true);
  panel->addWidget(note);

  auto* right = new QSplitter(Qt::Vertical);
  right->addWidget(map_);
  right->addWidget(below);
  right->setStretchFactor(0, 3);
  right->setStretchFactor(1, 1);
  right->setSizes({460, 180});

  auto* splitter = new QSplitter(Qt::Horizontal);
  splitter->addWidget(lists);
  splitter->addWidget(right);
  splitter->setStretchFactor(0, 0);
  splitter->setStretchFactor(1, 1);
  splitter->setSizes({300, 680});
  setContent(splitter);
  setFocusProxy(allAreas_);

  connect(map_, &SeaMapView::areaClicked, &links_, [this](int area) {
    const auto& areas = map_->Map().areas;
    if (area >= 0 && area < static_cast<int>(areas.size()))
      SelectArea(std::string(areas[static_cast<std::size_t>(area)].id));
  });
  for (QListWidget* list : {myAreas_, allAreas_}) {
    connect(list, &QListWidget::currentItemChanged, &links_, [this](QListWidgetItem* item) {
      if (item == nullptr) return;
      const QString id = item->data(kIdRole).toString();
      if (!id.isEmpty()) SelectArea(id.toStdString());
    });
  }
}

void SeaWeatherPage::Shown() { refresh(); }

void SeaWeatherPage::ShowNew() {
  if (isVisible()) QTimer::singleShot(0, &links_, [this] { refresh(); });
}

QString SeaWeatherPage::StatusText() const {
  if (!weather_.report) return QStringLiteral("Kein Seewetterbericht gespeichert");
  return QStringLiteral("Seewetterbericht vom ") +
         QString::fromStdString(seaweather::issuedText(*weather_.report));
}

void SeaWeatherPage::refresh() {
  weather_ = seaweather::newestSeaWeather(seaweather::storedSeaBulletins(context_.session.Store()));
  seaweather::SeaMap map = seaweather::buildSeaMap(weather_);
  const seaweather::MySeaAreasFile mine =
      seaweather::LoadMySeaAreas(context_.session.Store().dataFolder());

  {
    const QSignalBlocker quiet(myAreas_);
    myAreas_->clear();
    for (const std::string& id : mine.areas.ids)
      areaItem(seaweather::areaLine(seaweather::forecastOf(weather_, id)), id, myAreas_);
    if (mine.areas.ids.empty()) {
      auto* hint = new QListWidgetItem(
          QStringLiteral("Noch keine eigenen Seegebiete: ankreuzen unter Einstellungen → "
                         "Meine Seegebiete."),
          myAreas_);
      hint->setFlags(Qt::ItemIsEnabled);
    }
    if (!mine.problem.empty()) {
      auto* problem = new QListWidgetItem(QString::fromStdString(mine.problem), myAreas_);
      problem->setFlags(Qt::ItemIsEnabled);
    }
  }
  {
    const QSignalBlocker quiet(allAreas_);
    allAreas_->clear();
    for (const seaweather::SeaMapArea& a : map.areas) areaItem(a.line, a.id, allAreas_);
  }
  map_->SetMap(std::move(map));
  if (!selected_.empty()) SelectArea(selected_);
}

void SeaWeatherPage::SelectArea(const std::string& id) {
  const seaweather::AreaForecast f = seaweather::forecastOf(weather_, id);
  if (f.area == nullptr) return;
  selected_ = id;
  const QString wanted = QString::fromStdString(id);
  for (QListWidget* list : {myAreas_, allAreas_}) {
    const QSignalBlocker quiet(list);
    list->setCurrentItem(nullptr);
    for (int row = 0; row < list->count(); ++row)
      if (list->item(row)->data(kIdRole).toString() == wanted) list->setCurrentRow(row);
  }
  const auto& areas = map_->Map().areas;
  for (std::size_t i = 0; i < areas.size(); ++i)
    if (areas[i].id == id) map_->Select(static_cast<int>(i));
  detail_->setPlainText(QString::fromStdString(seaweather::areaDetail(f, weather_)));
}

}  // namespace tern
