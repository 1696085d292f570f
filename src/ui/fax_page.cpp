#include "ui/fax_page.h"

#include <QApplication>
#include <QGridLayout>
#include <QPrinter>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QSplitter>
#include <QTimer>
#include <QTreeWidget>

#include "assembly/application_session.h"
#include "fax/bmp_writer.h"
#include "messages/channels.h"
#include "presenters/chart_scroll.h"
#include "presenters/fax_store.h"
#include "ui/fax_image_label.h"
#include "ui/fax_notice.h"
#include "ui/print_export.h"
#include "ui/qt_tree_view.h"

namespace tern {

namespace {

constexpr const char* kSelectFirst = "Bitte zuerst eine Meldung auswählen!";
const QColor kFaxTrees(255, 239, 223);

struct StationNames {
  const char* caption;
  const char* prefix;  // FAX<prefix>TabSheet, FAX<prefix>TreeView, ...
};
constexpr std::array<StationNames, FaxPage::kStations> kNames = {
    {{"FAX DWD", "DWD"},
     {"FAX Northwood", "North"},
     {"FAX Halifax", "Halifax"},
     {"FAX Boston", "Boston"},
     {"FAX New Orleans", "NewOrleans"}}};

QString prefixOf(int station) {
  return QStringLiteral("FAX") + QLatin1String(kNames[static_cast<std::size_t>(station)].prefix);
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
      tree_(makeTree(prefixOf(station) + "TreeView", kFaxTrees)) {
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
  grid->addWidget(panel_, 0, 0);
  grid->addWidget(vertScrollBar_, 0, 1);
  grid->addWidget(horiScrollBar_, 1, 0);
  setContent(makeSplitter(tree_, right));
  treeView_ = std::make_unique<QtTreeView>(tree_);

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

FaxPage::~FaxPage() = default;

QString FaxPage::Caption() const {
  return QString::fromLatin1(kNames[static_cast<std::size_t>(station_)].caption);
}

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
  emit commandsChanged();
}

void FaxPage::ZoomOut() {
  fax_.RenderImage(true);
  emit commandsChanged();
}

void FaxPage::Turn() {
  fax_.RotateImage();
  fax_.RenderImage(fax_.HalfSize());
}

void FaxPage::TreeViewChange() {
  fax_.ShowSelected(treeView_.get());
  emit commandsChanged();
}

void FaxPage::ImageMouseDown(Qt::MouseButton button, int x, int y) {
  if (button != Qt::LeftButton && button != Qt::RightButton) return;
  // No read-out starts while a button is held on the chart.
  context_.session.PausePolling(true);
  pressX_ = x;
  pressY_ = y;
  if (button == Qt::LeftButton) {
    dragging_ = true;
  } else {
    slantAdjust_ = true;
    fax_.ShowSelected(treeView_.get());
  }
}

void FaxPage::ImageMouseMove(int x, int y) {
  if (dragging_) moveChart(x - pressX_, y - pressY_);
  if (slantAdjust_) {
    // Without making the schedule current: the configuration dialog owns that choice.
    context_.session.Settings().SetFaxTurn(kFirstFaxTable + station_, x - pressX_);
    fax_.ShowSelected(treeView_.get());
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

void FaxPage::ImageMouseUp(Qt::MouseButton) {
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
