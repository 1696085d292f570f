#include "ui/fax_calibration_panel.h"

#include <QComboBox>
#include <QDoubleSpinBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>
#include <array>

#include "common/message_sink.h"
#include "presenters/fax_calibration.h"
#include "ui/bounded_spin_box.h"

namespace tern {

namespace {

constexpr std::array<ChartProjection, 3> kProjections = {
    ChartProjection::Mercator, ChartProjection::PolarNorth, ChartProjection::LatLon};
constexpr std::array<const char*, FaxCalibrationPanel::Columns> kHeaders = {
    "Nr.", "Spalte", "Zeile", "Breite", "Länge", "Abweichung"};

QTableWidgetItem* fixedItem(const QString& text) {
  auto* item = new QTableWidgetItem(text);
  item->setFlags(item->flags() & ~Qt::ItemIsEditable);
  return item;
}

QString text(const std::string& s) { return QString::fromStdString(s); }

}  // namespace

FaxCalibrationPanel::FaxCalibrationPanel(FaxCalibration& mode, MessageSink& messages,
                                         QWidget* parent)
    : QWidget(parent), mode_(mode), messages_(messages) {
  setObjectName(QStringLiteral("FaxCalibrationPanel"));
  auto* layout = new QVBoxLayout(this);
  title_ = new QLabel(this);
  title_->setWordWrap(true);
  layout->addWidget(title_);

  auto* hint = new QLabel(QStringLiteral("Gitterkreuzungen oder Küstenpunkte anklicken, dann "
                                         "Breite und Länge in Grad eintragen (Süden und Westen "
                                         "negativ oder mit S und W)."),
                          this);
  hint->setWordWrap(true);
  layout->addWidget(hint);

  auto* projectionRow = new QHBoxLayout;
  projectionRow->addWidget(new QLabel(QStringLiteral("Projektion:"), this));
  projection_ = new QComboBox(this);
  projection_->setObjectName(QStringLiteral("FaxCalibrationProjection"));
  for (ChartProjection p : kProjections) projection_->addItem(text(ProjectionCaption(p)));
  // The longest projection's name would set the narrow panel's least width; the list opens
  // as wide as its entries anyway.
  projection_->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
  projection_->setMinimumContentsLength(8);
  projectionRow->addWidget(projection_, 1);
  layout->addLayout(projectionRow);

  auto* scaleRow = new QHBoxLayout;
  scaleRow->addWidget(new QLabel(QStringLiteral("Breite wahrer Länge:"), this));
  trueScale_ = new BoundedDoubleSpinBox(this);
  trueScale_->setObjectName(QStringLiteral("FaxCalibrationTrueScale"));
  trueScale_->setRange(1, 90);
  trueScale_->setDecimals(1);
  trueScale_->setSuffix(QStringLiteral("° N"));
  scaleRow->addWidget(trueScale_, 1);
  layout->addLayout(scaleRow);

  table_ = new QTableWidget(0, Columns, this);
  table_->setObjectName(QStringLiteral("FaxCalibrationPoints"));
  QStringList headers;
  for (const char* h : kHeaders) headers << QString::fromUtf8(h);
  table_->setHorizontalHeaderLabels(headers);
  table_->verticalHeader()->hide();
  table_->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
  table_->setSelectionBehavior(QAbstractItemView::SelectRows);
  table_->setSelectionMode(QAbstractItemView::SingleSelection);
  table_->setMinimumHeight(110);  // a few points in sight, the panel scrolls on a low screen
  layout->addWidget(table_, 1);

  summary_ = new QLabel(this);
  summary_->setObjectName(QStringLiteral("FaxCalibrationSummary"));
  summary_->setWordWrap(true);
  layout->addWidget(summary_);

  buttons_ = new QGridLayout;
  remove_ = new QPushButton(QStringLiteral("Punkt entfernen"), this);
  remove_->setObjectName(QStringLiteral("FaxCalibrationRemove"));
  save_ = new QPushButton(QStringLiteral("Speichern"), this);
  save_->setObjectName(QStringLiteral("FaxCalibrationSave"));
  forget_ = new QPushButton(QStringLiteral("Kalibrierung löschen"), this);
  close_ = new QPushButton(QStringLiteral("Beenden"), this);
  FitWidth(0);
  layout->addLayout(buttons_);

  connect(projection_, &QComboBox::currentIndexChanged, this, [this](int index) {
    if (filling_ || index < 0) return;
    mode_.SetProjection(kProjections[static_cast<std::size_t>(index)]);
    Refresh();
    emit pointsChanged();
  });
  connect(trueScale_, &QDoubleSpinBox::valueChanged, this, [this](double value) {
    if (filling_) return;
    showProblem(mode_.SetTrueScaleLatitude(value));
    Refresh();
    emit pointsChanged();
  });
  connect(table_, &QTableWidget::itemChanged, this, [this](QTableWidgetItem* item) {
    if (!filling_ && (item->column() == Latitude || item->column() == Longitude))
      placeEdited(item->row());
  });
  connect(remove_, &QPushButton::clicked, this, [this] {
    if (table_->currentRow() < 0) return;
    mode_.RemovePoint(static_cast<std::size_t>(table_->currentRow()));
    Refresh();
    emit pointsChanged();
  });
  connect(save_, &QPushButton::clicked, this, [this] {
    if (const std::string error = mode_.Save(); !error.empty()) {
      messages_.showMessage(MessageKind::Warning, error);
      return;
    }
    messages_.showMessage(MessageKind::Information,
                          "Die Kalibrierung gilt jetzt für alle Karten von " + mode_.RowName() +
                              " (" + mode_.StationName() + ").");
    Refresh();
  });
  connect(forget_, &QPushButton::clicked, this, [this] {
    if (!messages_.askYesNo("Die gespeicherte Kalibrierung von " + mode_.RowName() + " löschen?",
                            true))
      return;
    if (const std::string error = mode_.Forget(); !error.empty())
      messages_.showMessage(MessageKind::Warning, error);
    Refresh();
  });
  connect(close_, &QPushButton::clicked, this, [this] { emit finished(); });
}

void FaxCalibrationPanel::placeEdited(int row) {
  const QTableWidgetItem* lat = table_->item(row, Latitude);
  const QTableWidgetItem* lon = table_->item(row, Longitude);
  // A place needs both; the first typed waits for the second.
  if (lat == nullptr || lon == nullptr || lat->text().trimmed().isEmpty() ||
      lon->text().trimmed().isEmpty())
    return;
  showProblem(mode_.SetPlace(static_cast<std::size_t>(row), lat->text().toStdString(),
                             lon->text().toStdString()));
  Refresh();
  emit pointsChanged();
}

void FaxCalibrationPanel::showProblem(const std::string& problem) {
  if (!problem.empty()) messages_.showMessage(MessageKind::Warning, problem);
}

void FaxCalibrationPanel::FitWidth(int width) {
  const std::array<QPushButton*, 4> order{remove_, forget_, save_, close_};
  const QMargins margins = layout()->contentsMargins();
  const int pair = remove_->sizeHint().width() + forget_->sizeHint().width() +
                   buttons_->horizontalSpacing() + margins.left() + margins.right();
  const int columns = width > 0 && width < pair ? 1 : 2;
  for (QPushButton* b : order) buttons_->removeWidget(b);
  for (std::size_t i = 0; i < order.size(); ++i)
    buttons_->addWidget(order[i], static_cast<int>(i) / columns, static_cast<int>(i) % columns);
}

void FaxCalibrationPanel::Refresh() {
  filling_ = true;
  title_->setText(QStringLiteral("<b>Georeferenzieren: %1 (%2)</b>%3")
                      .arg(text(mode_.RowName()), text(mode_.StationName()),
                           mode_.Saved() ? QStringLiteral(" – gespeichert") : QString()));
  for (std::size_t i = 0; i < kProjections.size(); ++i)
    if (kProjections[i] == mode_.Projection()) projection_->setCurrentIndex(static_cast<int>(i));
  trueScale_->setValue(mode_.TrueScaleLatitude());
  trueScale_->setEnabled(mode_.Projection() == ChartProjection::PolarNorth);

  const auto& points = mode_.Points();
  // Refused text stays for correcting only while the rows are the same points.
  const bool sameRows = table_->rowCount() == static_cast<int>(points.size());
  table_->setRowCount(static_cast<int>(points.size()));
  for (int r = 0; r < table_->rowCount(); ++r) {
    const CalibrationPointView& p = points[static_cast<std::size_t>(r)];
    table_->setItem(r, Number, fixedItem(QString::number(r + 1)));
    table_->setItem(r, ColumnPx, fixedItem(QString::number(p.pixel.column, 'f', 0)));
    table_->setItem(r, RowPx, fixedItem(QString::number(p.pixel.row, 'f', 0)));
    // A typed but refused place stays in its cell for correcting; a kept one is shown.
    auto placeItem = [&](Column c, bool latitude) {
      QTableWidgetItem* old = table_->item(r, c);
      QString shown = old != nullptr && sameRows ? old->text() : QString();
      if (p.place)
        shown = text(FormatDegrees(latitude ? p.place->latitude : p.place->longitude, latitude));
      table_->setItem(r, c, new QTableWidgetItem(shown));
    };
    placeItem(Latitude, true);
    placeItem(Longitude, false);
    QString residual = QStringLiteral("–");
    if (p.residual) residual = QString::number(*p.residual, 'f', 2).replace('.', ',') + " px";
    QTableWidgetItem* item = fixedItem(residual);
    if (p.flagged) {
      item->setBackground(QColor(255, 190, 190));
      item->setToolTip(QStringLiteral("Mehr als 5 px: Punkt oder Breite/Länge prüfen"));
    }
    table_->setItem(r, Residual, item);
  }
  summary_->setText(text(mode_.Summary()));
  save_->setEnabled(mode_.CanSave());
  forget_->setEnabled(mode_.Saved());
  remove_->setEnabled(!points.empty());
  filling_ = false;
}

}  // namespace tern
