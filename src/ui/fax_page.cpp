#include "ui/fax_page.h"

#include <QApplication>
#include <QFileInfo>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QPrinter>
#include <QScrollArea>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QSplitter>
#include <QThreadPool>
#include <QTimer>
#include <QToolButton>
#include <QTreeWidget>
#include <algorithm>
#include <cmath>
#include <cstring>

#include "assembly/application_session.h"
#include "fax/bmp_writer.h"
#include "geo/geo_engine_loader.h"
#include "messages/channels.h"
#include "presenters/chart_scroll.h"
#include "presenters/fax_calibration.h"
#include "presenters/fax_map.h"
#include "presenters/fax_store.h"
#include "ui/fax_calibration_panel.h"
#include "ui/fax_image_label.h"
#include "ui/fax_notice.h"
#include "ui/print_export.h"
#include "ui/qt_tree_view.h"
#include "ui/window_queue.h"

namespace tern {

namespace {

constexpr const char* kSelectFirst = "Bitte zuerst eine Meldung auswählen!";
const QColor kFaxTrees(255, 239, 223);
// A press that moves the chart further than this is a drag, not a click on it.
constexpr int kClickSlack = 3;
// The calibration panel's widths: the usual one, and the least at which its point table
// still shows a row's numbers (it scrolls sideways below that).
constexpr int kCalibrationPanelWidth = 430;
constexpr int kCalibrationPanelLeast = 260;
constexpr int kTreeLeast = 120;

QString prefixOf(int station) {
  return QStringLiteral("FAX") + QLatin1String(faxStation(station).windowName);
}

}  // namespace

std::array<FaxPage*, FaxPage::kStations> FaxPage::MakeAll(TFAX& fax, const PageContext& context) {
  std::array<FaxPage*, kStations> pages{};
  std::array<TreeView*, kStations> trees{};
  std::array<FaxImageView*, kStations> images{};
  for (int k = 0; k < kStations; ++k) {
    const auto i = static_cast<std::size_t>(k);
    pages[i] = new FaxPage(k, fax, context);
    trees[i] = pages[i]->treeView_.get();
    images[i] = pages[i]->image_;
  }
  // Each station's slant is its own schedule's, whichever schedule is current.
  TTreeControl* settings = &context.session.Settings();
  fax.SetFaxTurnSource(
      [settings](int station) { return settings->FaxTurn(kFirstFaxTable + station); });
  fax.AddStations(context.session.ProgramFolder(), trees, images);
  fax.BuildTree();
  return pages;
}

FaxPage::FaxPage(int station, TFAX& fax, const PageContext& context)
    : Page((prefixOf(station) + "TabSheet").toLatin1().constData(), context),
      station_(station),
      fax_(fax),
      tree_(makeTree(prefixOf(station) + "TreeView", kFaxTrees)),
      toWindow_(new WindowQueue(&links_)) {
  const QString prefix = prefixOf(station);
  auto* right = new QWidget;
  auto* grid = new QGridLayout(right);
  grid->setContentsMargins(0, 0, 0, 0);
  grid->setSpacing(0);
  panel_ = new QWidget(right);
  panel_->setObjectName(prefix + "Panel");
  panel_->setAutoFillBackground(true);
  QPalette white = panel_->palette();
  white.setColor(QPalette::Window, Qt::white);
  panel_->setPalette(white);
  image_ = new FaxImageLabel(panel_);
  image_->setObjectName(prefix + "Image");
  image_->move(0, 0);
  layoutTimer_ = new QTimer(this);
  layoutTimer_->setObjectName(prefix + "LayoutTimer");
  layoutTimer_->setSingleShot(true);
  layoutTimer_->setInterval(500);
  horiScrollBar_ = new QScrollBar(Qt::Horizontal, right);
  horiScrollBar_->setObjectName(prefix + "HoriScrollBar");
  horiScrollBar_->setRange(0, 1000);
  vertScrollBar_ = new QScrollBar(Qt::Vertical, right);
  vertScrollBar_->setObjectName(prefix + "VertScrollBar");
  vertScrollBar_->setRange(0, 1000);
  auto* bar = new QHBoxLayout;
  bar->setContentsMargins(2, 2, 2, 2);
  geoButton_ = new QToolButton(right);
  geoButton_->setObjectName(prefix + "GeoToolButton");
  geoButton_->setText(QStringLiteral("Georeferenzieren"));
  geoButton_->setCheckable(true);
  mapButton_ = new QToolButton(right);
  mapButton_->setObjectName(prefix + "MapToolButton");
  mapButton_->setText(QStringLiteral("Als Karte speichern ..."));
  bar->addWidget(geoButton_);
  bar->addWidget(mapButton_);
  bar->addStretch(1);
  calibration_ = std::make_unique<FaxCalibration>(CalibrationStore(context.session.DataFolder()));
  calibrationPanel_ = new FaxCalibrationPanel(*calibration_, context.messages, right);
  calibrationPanel_->setObjectName(prefix + "CalibrationPanel");
  // On a low screen the panel scrolls instead of squeezing its texts and its point table.
  calibrationScroll_ = new QScrollArea(right);
  calibrationScroll_->setObjectName(prefix + "CalibrationScroll");
  calibrationScroll_->setFrameShape(QFrame::NoFrame);
  calibrationScroll_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  calibrationScroll_->setWidgetResizable(true);
  calibrationScroll_->setWidget(calibrationPanel_);
  calibrationScroll_->setFixedWidth(kCalibrationPanelWidth);
  calibrationScroll_->hide();
  grid->addLayout(bar, 0, 0, 1, 3);
  grid->addWidget(panel_, 1, 0);
  grid->addWidget(vertScrollBar_, 1, 1);
  grid->addWidget(horiScrollBar_, 2, 0);
  grid->addWidget(calibrationScroll_, 1, 2, 2, 1);
  // The chart takes whatever the page has to spare, in both directions.
  grid->setColumnStretch(0, 1);
  grid->setRowStretch(1, 1);
  splitter_ = makeSplitter(tree_, right);
  setContent(splitter_);
  treeView_ = std::make_unique<QtTreeView>(tree_);

  connect(geoButton_, &QToolButton::toggled, &links_, [this](bool on) { SetCalibrating(on); });
  connect(mapButton_, &QToolButton::clicked, &links_, [this] { SaveMap(); });
  connect(calibrationPanel_, &FaxCalibrationPanel::pointsChanged, &links_,
          [this] { updateMarkers(); });
  connect(calibrationPanel_, &FaxCalibrationPanel::finished, &links_,
          [this] { geoButton_->setChecked(false); });

  connect(tree_, &QTreeWidget::currentItemChanged, &links_, [this] { TreeViewChange(); });
  connect(image_, &FaxImageLabel::pressed, &links_,
          [this](Qt::MouseButton b, int x, int y) { ImageMouseDown(b, x, y); });
  connect(image_, &FaxImageLabel::moved, &links_, [this](int x, int y) { ImageMouseMove(x, y); });
  connect(image_, &FaxImageLabel::released, &links_,
          [this](Qt::MouseButton b) { ImageMouseUp(b); });
  connect(image_, &FaxImageLabel::doubleClicked, &links_, [this] { ImageDblClick(); });
  connect(image_, &FaxImageLabel::wheelTurned, &links_,
          [this](int dx, int dy) { ImageWheel(dx, dy); });
  connect(horiScrollBar_, &QScrollBar::valueChanged, &links_, [this] { HoriScrollBarChange(); });
  connect(vertScrollBar_, &QScrollBar::valueChanged, &links_, [this] { VertScrollBarChange(); });
  connect(layoutTimer_, &QTimer::timeout, &links_, [this] {
    const QSize picture = image_->pixmap().size();
    if (picture.width() > 0) image_->resize(picture.width(), image_->height());
    if (picture.height() > 0) image_->resize(image_->width(), picture.height());
  });
}

FaxPage::~FaxPage() {
  if (mapWriter_.joinable()) mapWriter_.join();
}

QString FaxPage::Caption() const { return QString::fromLatin1(faxStation(station_).pageCaption); }

PageCommands FaxPage::Commands() const {
  const bool half = fax_.HalfSize();
  return {.save = true,
          .print = true,
          .expand = true,
          .collapse = true,
          .zoomIn = half,
          .zoomOut = !half,
          .turn = true};
}

void FaxPage::Shown() { fax_.ShowSelected(treeView_.get()); }

void FaxPage::Save() {
  if (!fax_.SelectedKey()) {
    context_.messages.showMessage(MessageKind::Information, kSelectFirst);
    return;
  }
  saveImageAs();
  updateMarkers();
  emit commandsChanged();  // the chart is now shown at full size
}

void FaxPage::saveImageAs() {
  std::optional<std::string> key = fax_.SelectedKey();
  if (!key) return;
  fax_.RenderImage(false);
  const std::optional<QString> file =
      askSaveTarget({context_.dialogs, context_.messages},
                    QString::fromStdString(TFAX::ImageFileName(*key)), bitmapFileFilter());
  if (!file) return;
  // A badly received chart is saved with its notice, as it is shown.
  writeFileReporting(context_.messages, *file, encodeBmp(withNoticeDrawn(fax_.Picture())));
}

void FaxPage::Print() {
  QPrinter printer(QPrinter::HighResolution);
  if (fax_.HalfSize()) {
    fax_.RenderImage(false);
    updateMarkers();
    emit commandsChanged();
  }
  printer.setPageOrientation(QPageLayout::Landscape);
  if (context_.dialogs.confirmPrint(printer, false)) {
    PrintImage(printer, FaxImageLabel::toImage(fax_.Picture()), 100, context_.messages);
  }
}

void FaxPage::Expand() {
  tree_->expandAll();
  tree_->scrollToTop();
}

void FaxPage::Collapse() {
  tree_->collapseAll();
  if (tree_->topLevelItemCount() > 0) tree_->topLevelItem(0)->setExpanded(true);
}

void FaxPage::ZoomIn() {
  fax_.RenderImage(false);
  updateMarkers();
  emit commandsChanged();
}

void FaxPage::ZoomOut() {
  fax_.RenderImage(true);
  updateMarkers();
  emit commandsChanged();
}

void FaxPage::Turn() {
  fax_.RotateImage();
  fax_.RenderImage(fax_.HalfSize());
  updateMarkers();
}

void FaxPage::TreeViewChange() {
  fax_.ShowSelected(treeView_.get());
  followSelection();
  emit commandsChanged();
}

void FaxPage::SetCalibrating(bool on) {
  if (on == calibration_->Active()) return;
  if (on) {
    const std::optional<std::string> key = fax_.SelectedKey();
    if (!key) {
      context_.messages.showMessage(MessageKind::Information, kSelectFirst);
      const QSignalBlocker block(geoButton_);
      geoButton_->setChecked(false);
      return;
    }
    // The map module (GDAL and PROJ, a hundred libraries) loads while the user clicks the
    // first points, not on the window thread at the first fit.
    QThreadPool::globalInstance()->start([] { SharedGeoEngine(); });
    const std::string problem = calibration_->Begin(station_, *key);
    if (!problem.empty()) context_.messages.showMessage(MessageKind::Warning, problem);
    calibrationPanel_->Refresh();
  } else {
    calibration_->End();
  }
  const QSignalBlocker block(geoButton_);
  geoButton_->setChecked(on);
  if (on) {
    treeWidthBefore_ = tree_->width();
    calibrationScroll_->setVisible(true);
    fitCalibrationPanel();
  } else {
    calibrationScroll_->setVisible(false);
    if (treeWidthBefore_ > 0 && tree_->isVisible())
      splitter_->setSizes({treeWidthBefore_, splitter_->width() - treeWidthBefore_});
  }
  image_->setCursor(on ? Qt::CrossCursor : Qt::OpenHandCursor);
  updateMarkers();
}

void FaxPage::fitCalibrationPanel() {
  // Hidden, not visible: the page itself may not be shown yet when the panel is turned on.
  if (calibrationScroll_->isHidden()) return;
  const int page = splitter_->width();
  const int half = page / 2;
  int tree = tree_->isHidden() ? 0 : tree_->width();
  const int spare = half - tree - vertScrollBar_->sizeHint().width() - splitter_->handleWidth();
  const int panel = std::clamp(spare, kCalibrationPanelLeast, kCalibrationPanelWidth);
  calibrationScroll_->setFixedWidth(panel);
  calibrationPanel_->FitWidth(panel - calibrationScroll_->verticalScrollBar()->sizeHint().width());
  if (tree > 0 && spare < panel) {
    tree = std::max(kTreeLeast, tree - (panel - spare));
    splitter_->setSizes({tree, page - tree});
  }
}

void FaxPage::resizeEvent(QResizeEvent* event) {
  Page::resizeEvent(event);
  fitCalibrationPanel();
}

void FaxPage::followSelection() {
  if (!calibration_->Active()) return;
  const std::optional<std::string> key = fax_.SelectedKey();
  if (!key) {
    SetCalibrating(false);
    return;
  }
  if (FaxRowName(*key) != calibration_->RowName()) {
    const std::string problem = calibration_->Begin(station_, *key);
    if (!problem.empty()) context_.messages.showMessage(MessageKind::Warning, problem);
    calibrationPanel_->Refresh();
  }
  updateMarkers();
}

void FaxPage::updateMarkers() {
  std::vector<ChartMarker> markers;
  if (calibration_->Active() && fax_.SelectedKey()) {
    const TFAXData& shown = fax_.CurrentStation();
    int number = 0;
    for (const CalibrationPointView& p : calibration_->Points()) {
      const PixelPosition at =
          ShownPosition(p.pixel, fax_.HalfSize(), shown.RotationState, shown.StationRect);
      markers.push_back({QPointF(at.column, at.row), ++number, p.flagged});
    }
  }
  image_->setMarkers(std::move(markers));
}

void FaxPage::SaveMap() {
  const std::optional<std::string> key = fax_.SelectedKey();
  if (!key) {
    context_.messages.showMessage(MessageKind::Information, kSelectFirst);
    return;
  }
  const std::string row = FaxRowName(*key);
  const CalibrationLoad load =
      CalibrationStore(context_.session.DataFolder()).Load(FaxStationName(station_), row);
  if (!load.calibration) {
    context_.messages.showMessage(
        MessageKind::Information,
        load.error.empty() ? "Die Karten von " + row +
                                 " sind noch nicht georeferenziert: bitte zuerst mit "
                                 "\"Georeferenzieren\" mindestens zwei Punkte setzen und "
                                 "speichern."
                           : load.error);
    return;
  }
  const ChartFit fit = FitChart(*load.calibration);
  if (!fit.ok()) {
    context_.messages.showMessage(MessageKind::Warning, fit.error);
    return;
  }
  const std::optional<QString> file =
      askSaveTarget({context_.dialogs, context_.messages}, QString::fromStdString(row + ".tif"),
                    QStringLiteral("GeoTIFF und MBTiles (*.tif)"));
  if (!file) return;
  QString base = *file;
  for (const char* extension : {".tif", ".mbtiles"})
    if (base.endsWith(QLatin1String(extension), Qt::CaseInsensitive))
      base.chop(static_cast<int>(std::strlen(extension)));
  // The dialog asked about the file it was given; the tiles beside it are asked about here.
  const QString tiles = base + ".mbtiles";
  if (*file != tiles && QFileInfo::exists(tiles) &&
      !context_.messages.askYesNo("Die Datei " + QFileInfo(tiles).fileName().toStdString() +
                                      " existiert bereits! Datei überschreiben?",
                                  true))
    return;
  // The warp takes seconds: it runs beside the window on a copy of the chart, and the
  // button waits for it.
  const TFAXData& shown = fax_.CurrentStation();
  ChartRaster raster = FaxChartRaster(fax_.Buffers(), shown.StationRect, shown.RotationState);
  if (std::string outside = CalibrationOutsideError(*load.calibration, raster.width, raster.height);
      !outside.empty()) {
    context_.messages.showMessage(MessageKind::Warning, outside);
    return;
  }
  mapButton_->setEnabled(false);
  mapButton_->setText(QStringLiteral("Karte wird gespeichert ..."));
  if (mapWriter_.joinable()) mapWriter_.join();
  mapWriter_ = std::thread([this, raster = std::move(raster), georeference = *fit.georeference,
                            label = ChartLabel{.name = QFileInfo(base).fileName().toStdString(),
                                               .description = Caption().toStdString() + " " + row,
                                               .attribution = Caption().toStdString()},
                            target = base.toStdString()] {
    FileStatus written = WriteChartFiles(raster, georeference, label, target);
    // The page outlives the post: its destructor joins this thread.
    toWindow_->post([this, written = std::move(written)] {
      mapButton_->setText(QStringLiteral("Als Karte speichern ..."));
      mapButton_->setEnabled(true);
      if (!written)
        context_.messages.showMessage(
            MessageKind::Warning, "Die Karte konnte nicht gespeichert werden.\n" + written.message);
    });
  });
}

void FaxPage::ImageMouseDown(Qt::MouseButton button, int x, int y) {
  if (button != Qt::LeftButton && button != Qt::RightButton) return;
  // No read-out starts while a button is held on the chart.
  context_.session.PausePolling(true);
  pressX_ = x;
  pressY_ = y;
  draggedFar_ = false;
  if (button == Qt::LeftButton) {
    dragging_ = true;
  } else {
    slantAdjust_ = true;
    fax_.ShowSelected(treeView_.get());
  }
}

void FaxPage::ImageMouseMove(int x, int y) {
  if (dragging_) {
    if (std::abs(x - pressX_) > kClickSlack || std::abs(y - pressY_) > kClickSlack)
      draggedFar_ = true;
    moveChart(x - pressX_, y - pressY_);
  }
  if (slantAdjust_) {
    // Without making the schedule current: the configuration dialog owns that choice.
    context_.session.Settings().SetFaxTurn(kFirstFaxTable + station_, x - pressX_);
    context_.session.HandSettingsToWeb();
    fax_.ShowSelected(treeView_.get());
    updateMarkers();
  }
}

void FaxPage::moveChart(int dx, int dy) {
  const int left = clampChartOffset(image_->x() + dx, panel_->width(), image_->width());
  const int top = clampChartOffset(image_->y() + dy, panel_->height(), image_->height());
  image_->move(left, top);
  // The bars follow the picture without moving it again.
  const QSignalBlocker blockH(horiScrollBar_);
  const QSignalBlocker blockV(vertScrollBar_);
  horiScrollBar_->setValue(scrollPositionOf(left, image_->width()));
  vertScrollBar_->setValue(scrollPositionOf(top, image_->height()));
}

void FaxPage::ImageWheel(int dx, int dy) {
  // One notch (120 eighths of a degree) moves the chart by the desktop's scroll lines.
  const int pixelsPerNotch = QApplication::wheelScrollLines() * 20;
  moveChart(dx * pixelsPerNotch / 120, dy * pixelsPerNotch / 120);
}

void FaxPage::ImageMouseUp(Qt::MouseButton button) {
  // In the calibration mode a click, not a drag, marks a point where it was pressed.
  if (button == Qt::LeftButton && dragging_ && !draggedFar_ && calibration_->Active() &&
      fax_.SelectedKey()) {
    const TFAXData& shown = fax_.CurrentStation();
    calibration_->AddPoint(UnturnedChartPosition({double(pressX_), double(pressY_)},
                                                 fax_.HalfSize(), shown.RotationState,
                                                 shown.StationRect));
    calibrationPanel_->Refresh();
    updateMarkers();
  }
  dragging_ = false;
  if (slantAdjust_) {
    slantAdjust_ = false;
    context_.session.Settings().SaveSettings();
  }
  context_.session.PausePolling(false);
}

void FaxPage::ImageDblClick() {
  // Hiding the tree gives the chart the whole page; the splitter lays the page out again.
  tree_->setVisible(!tree_->isVisible());
  layoutTimer_->start();
}

void FaxPage::HoriScrollBarChange() {
  image_->move(offsetOfScrollPosition(horiScrollBar_->value(), panel_->width(), image_->width()),
               image_->y());
}

void FaxPage::VertScrollBarChange() {
  image_->move(image_->x(),
               offsetOfScrollPosition(vertScrollBar_->value(), panel_->height(), image_->height()));
}

}  // namespace tern
