// The fax viewer: the five fax pages' trees and charts, zooming, turning, dragging and
// scrolling the chart, adjusting its slant with the right mouse button, and saving it.
#include <QAction>
#include <QApplication>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QTabWidget>
#include <QTimer>
#include <QToolButton>
#include <QTreeWidget>

#include "config/tree_control.h"
#include "messages/channels.h"
#include "poll/get_data_thread.h"
#include "stores/bmp_writer.h"
#include "stores/chart_scroll.h"
#include "stores/fax_store.h"
#include "ui/fax_image_label.h"
#include "ui/fax_notice.h"
#include "ui/main_form.h"
#include "ui/print_export.h"
#include "ui/qt_tree_view.h"

namespace tern {

void TMainForm::buildFaxViewer() {
  std::array<TreeView*, kFaxStationCount> trees{};
  std::array<FaxImageView*, kFaxStationCount> images{};
  for (int k = 0; k < kFaxStationCount; ++k) {
    FaxPage& page = faxPages[static_cast<std::size_t>(k)];
    faxTrees_[static_cast<std::size_t>(k)] = std::make_unique<QtTreeView>(page.tree);
    trees[static_cast<std::size_t>(k)] = faxTrees_[static_cast<std::size_t>(k)].get();
    images[static_cast<std::size_t>(k)] = page.image;
  }
  Fax = std::make_unique<TFAX>(*Store, *messages_);
  // Each station's slant is its own schedule's, whichever schedule is current.
  Fax->SetFaxTurnSource(
      [this](int station) { return TreeControl->FaxTurn(kFirstFaxTable + station); });
  Fax->AddStations(programFolder_, trees, images);
  Fax->BuildTree();

  for (int k = 0; k < kFaxStationCount; ++k) {
    FaxPage& page = faxPages[static_cast<std::size_t>(k)];
    connect(page.tree, &QTreeWidget::currentItemChanged, this, [this, k] { FAXTreeViewChange(k); });
    page.image->onPress = [this, k](Qt::MouseButton b, int x, int y) {
      FAXImageMouseDown(k, b, x, y);
    };
    page.image->onMove = [this, k](int x, int y) { FAXImageMouseMove(k, x, y); };
    page.image->onRelease = [this, k](Qt::MouseButton b) { FAXImageMouseUp(k, b); };
    page.image->onDoubleClick = [this, k] { FAXImageDblClick(k); };
    page.image->onWheel = [this, k](int dx, int dy) { FAXImageWheel(k, dx, dy); };
    connect(page.horiScrollBar, &QScrollBar::valueChanged, this,
            [this, k] { FAXHoriScrollBarChange(k); });
    connect(page.vertScrollBar, &QScrollBar::valueChanged, this,
            [this, k] { FAXVertScrollBarChange(k); });
    connect(page.layoutTimer, &QTimer::timeout, this, [this, k] {
      FaxImageLabel* image = faxPages[static_cast<std::size_t>(k)].image;
      const QSize picture = image->pixmap().size();
      if (picture.width() > 0) image->resize(picture.width(), image->height());
      if (picture.height() > 0) image->resize(image->width(), picture.height());
    });
  }
}

void TMainForm::setFaxZoomButtons() {
  const bool half = Fax->HalfSize();
  BaroZoomInToolButton->setEnabled(half);
  ZoomInItem->setEnabled(half);
  BaroZoomOutToolButton->setEnabled(!half);
  ZoomOutItem->setEnabled(!half);
}

void TMainForm::FAXTreeViewChange(int k) {
  Fax->ShowSelected(faxTrees_[static_cast<std::size_t>(k)].get());
  if (PageControl1->currentIndex() == FaxDwd + k) setFaxZoomButtons();
}

void TMainForm::FAXImageMouseDown(int k, Qt::MouseButton button, int x, int y) {
  if (button != Qt::LeftButton && button != Qt::RightButton) return;
  // No read-out starts while a button is held on the chart.
  if (GetDataThread) GetDataThread->Paused = true;
  faxPressX_ = x;
  faxPressY_ = y;
  if (button == Qt::LeftButton) {
    faxDragging_ = true;
  } else {
    faxSlantAdjust_ = true;
    Fax->ShowSelected(faxTrees_[static_cast<std::size_t>(k)].get());
  }
}

void TMainForm::FAXImageMouseMove(int k, int x, int y) {
  FaxPage& page = faxPages[static_cast<std::size_t>(k)];
  if (faxDragging_) moveFaxChart(page, x - faxPressX_, y - faxPressY_);
  if (faxSlantAdjust_) {
    // Without making the schedule current: the configuration dialog owns that choice.
    TreeControl->SetFaxTurn(kFirstFaxTable + k, x - faxPressX_);
    Fax->ShowSelected(faxTrees_[static_cast<std::size_t>(k)].get());
  }
}

void TMainForm::moveFaxChart(FaxPage& page, int dx, int dy) {
  FaxImageLabel* image = page.image;
  const int left = clampChartOffset(image->x() + dx, page.panel->width(), image->width());
  const int top = clampChartOffset(image->y() + dy, page.panel->height(), image->height());
  image->move(left, top);
  // The bars follow the picture without moving it again.
  const QSignalBlocker blockH(page.horiScrollBar);
  const QSignalBlocker blockV(page.vertScrollBar);
  page.horiScrollBar->setValue(scrollPositionOf(left, image->width()));
  page.vertScrollBar->setValue(scrollPositionOf(top, image->height()));
}

void TMainForm::FAXImageWheel(int k, int dx, int dy) {
  // One notch (120 eighths of a degree) moves the chart by the desktop's scroll lines.
  const int pixelsPerNotch = QApplication::wheelScrollLines() * 20;
  moveFaxChart(faxPages[static_cast<std::size_t>(k)], dx * pixelsPerNotch / 120,
               dy * pixelsPerNotch / 120);
}

void TMainForm::FAXImageMouseUp(int, Qt::MouseButton) {
  faxDragging_ = false;
  if (faxSlantAdjust_) {
    faxSlantAdjust_ = false;
    TreeControl->SaveSettings();
  }
  if (GetDataThread) GetDataThread->Paused = false;
}

void TMainForm::FAXImageDblClick(int k) {
  FaxPage& page = faxPages[static_cast<std::size_t>(k)];
  // Hiding the tree gives the chart the whole page; the splitter lays the page out again.
  page.tree->setVisible(!page.tree->isVisible());
  page.layoutTimer->start();
}

void TMainForm::FAXHoriScrollBarChange(int k) {
  FaxPage& page = faxPages[static_cast<std::size_t>(k)];
  page.image->move(
      offsetOfScrollPosition(page.horiScrollBar->value(), page.panel->width(), page.image->width()),
      page.image->y());
}

void TMainForm::FAXVertScrollBarChange(int k) {
  FaxPage& page = faxPages[static_cast<std::size_t>(k)];
  page.image->move(page.image->x(),
                   offsetOfScrollPosition(page.vertScrollBar->value(), page.panel->height(),
                                          page.image->height()));
}

void TMainForm::SaveImageAs() {
  std::optional<std::string> key = Fax->SelectedKey();
  if (!key) return;
  Fax->RenderImage(false);
  const std::optional<QString> file =
      askSaveTarget({*dialogs_, *messages_}, QString::fromStdString(TFAX::ImageFileName(*key)),
                    bitmapFileFilter());
  if (!file) return;
  // A badly received chart is saved with its notice, as it is shown.
  writeFileReporting(*messages_, *file, encodeBmp(withNoticeDrawn(Fax->Picture())));
}

}  // namespace tern
