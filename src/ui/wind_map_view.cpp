#include "ui/wind_map_view.h"

#include <QGridLayout>
#include <QLocale>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QTimer>

#include "presenters/chart_scroll.h"
#include "ui/hint_form.h"

namespace tern {

using namespace windmap;

WindMapImage::WindMapImage(QWidget* parent) : QWidget(parent) {
  setMouseTracking(true);  // hovering needs moves without a button held
}

void WindMapImage::setPicture(const QImage* picture) {
  picture_ = picture;
  update();
}

void WindMapImage::paintEvent(QPaintEvent* event) {
  if (picture_ == nullptr) return;
  QPainter painter(this);
  const QRect area = event->rect();
  painter.drawImage(area.topLeft(), *picture_, area);
}

void WindMapImage::mousePressEvent(QMouseEvent* event) {
  emit pressed(event->button(), qRound(event->position().x()), qRound(event->position().y()));
  event->accept();
}

void WindMapImage::mouseMoveEvent(QMouseEvent* event) {
  emit moved(qRound(event->position().x()), qRound(event->position().y()));
  event->accept();
}

void WindMapImage::mouseReleaseEvent(QMouseEvent* event) {
  emit released();
  event->accept();
}

WindMapView::WindMapView(const std::string& programFolder, QWidget* parent)
    : QWidget(parent), programFolder_(programFolder) {
  setObjectName("WindMapView");
  auto* grid = new QGridLayout(this);
  grid->setContentsMargins(0, 0, 0, 0);
  grid->setSpacing(0);
  Panel1 = new QWidget(this);
  Panel1->setObjectName("Panel1");
  Image1 = new WindMapImage(Panel1);
  Image1->setObjectName("Image1");
  Image1->setGeometry(kStartLeft, kStartTop, kMapWidth, kMapHeight);
  HorSynopScrollBar = new QScrollBar(Qt::Horizontal, this);
  HorSynopScrollBar->setObjectName("HorSynopScrollBar");
  HorSynopScrollBar->setRange(0, kMapWidth);
  HorSynopScrollBar->setValue(-kStartLeft);
  VertSynopScrollBar = new QScrollBar(Qt::Vertical, this);
  VertSynopScrollBar->setObjectName("VertSynopScrollBar");
  VertSynopScrollBar->setRange(0, kMapHeight);
  VertSynopScrollBar->setValue(-kStartTop);
  grid->addWidget(Panel1, 0, 0);
  grid->addWidget(VertSynopScrollBar, 0, 1);
  grid->addWidget(HorSynopScrollBar, 1, 0);

  HoverTimer = new QTimer(this);
  HoverTimer->setObjectName("HoverTimer");
  HoverTimer->setInterval(HoverState::kTickMs);
  connect(HoverTimer, &QTimer::timeout, this, &WindMapView::HoverTimerTick);
  connect(HorSynopScrollBar, &QScrollBar::valueChanged, this,
          &WindMapView::HorSynopScrollBarChange);
  connect(VertSynopScrollBar, &QScrollBar::valueChanged, this,
          &WindMapView::VertSynopScrollBarChange);
  connect(Image1, &WindMapImage::pressed, this, &WindMapView::Image1MouseDown);
  connect(Image1, &WindMapImage::moved, this, &WindMapView::Image1MouseMove);
  connect(Image1, &WindMapImage::released, this, &WindMapView::Image1MouseUp);

  decimalPoint_ = QLocale().decimalPoint().at(0).toLatin1();
}

void WindMapView::loadPictures() {
  // The map is decoded into 11 MB of pixels: at the first drawing, when the SYNOP page is
  // first shown, not while the window starts.
  if (picturesLoaded_) return;
  picturesLoaded_ = true;
  const QString pictures = QString::fromStdString(programFolder_) + "pictures/";
  QImage loaded(pictures + "wind_map.png");
  if (loaded.isNull()) {
    // Without the picture the winds still show, on a plain background.
    background_ = QImage(kMapWidth, kMapHeight, QImage::Format_RGB32);
    background_.fill(QColor(200, 210, 220));
  } else {
    background_ = loaded.convertToFormat(QImage::Format_RGB32);
  }
  for (int i = 0; i < kIconCount; ++i) {
    // The icons are drawn as bitmaps on white: transparency becomes white.
    QImage icon(kIconSize, kIconSize, QImage::Format_RGB32);
    icon.fill(Qt::white);
    QPainter painter(&icon);
    const QImage file(pictures + QStringLiteral("wind/wind_%1.png").arg(i, 2, 10, QChar('0')));
    if (file.isNull()) {
      painter.fillRect(3, 3, 8, 8, QColor(160, 28, 28));
    } else {
      painter.drawImage(0, 0, file);
    }
    painter.end();
    auto& picture = iconPictures_[static_cast<std::size_t>(i)];
    for (int y = 0; y < kIconSize; ++y) {
      for (int x = 0; x < kIconSize; ++x) {
        picture[static_cast<std::size_t>(y * kIconSize + x)] = icon.pixel(x, y);
      }
    }
  }
}

void WindMapView::DrawWindMap(const std::vector<TSynopType>& reports) {
  reports_ = reports;
  loadPictures();
  map_ = background_.copy();
  icons_ = grid_.Draw(reports_);
  PaintWindIcons(RasterView{reinterpret_cast<std::uint32_t*>(map_.bits()), map_.width(),
                            map_.height(), map_.bytesPerLine() / 4},
                 iconPictures_, icons_);
  Image1->setPicture(&map_);
  placeMap(kStartLeft, kStartTop);
}

void WindMapView::ForgetReports() {
  reports_ = {};
  HoverTimer->stop();
  if (hint_ != nullptr) hint_->hide();
}

void WindMapView::SetTimerActive(bool on) {
  if (on) {
    HoverTimer->start();
  } else {
    HoverTimer->stop();
    if (hint_ != nullptr) hint_->hide();
  }
}

void WindMapView::placeMap(int left, int top) {
  Image1->move(left, top);
  // The bars follow the map without moving it again.
  const QSignalBlocker blockH(HorSynopScrollBar);
  const QSignalBlocker blockV(VertSynopScrollBar);
  HorSynopScrollBar->setValue(-left);
  VertSynopScrollBar->setValue(-top);
}

void WindMapView::Image1MouseDown(Qt::MouseButton, int x, int y) {
  // No read-out starts while a button is held on the map.
  emit pauseRequested(true);
  dragging_ = true;
  pressX_ = x;
  pressY_ = y;

  if (hint_ != nullptr) hint_->hide();
  hover_.Clicked();
  const auto cell = CellAtPixel(x, y);
  if (!cell) return;
  const CellReports shown = windmap::ShowCellReports(reports_, *cell);
  if (shown.reportCount == 0) return;
  emit reportsClicked(shown);
  // The button's release went to the message window; the map never sees it.
  Image1MouseUp();
}

void WindMapView::Image1MouseMove(int x, int y) {
  if (dragging_) {
    placeMap(clampChartOffset(Image1->x() + (x - pressX_), Panel1->width(), Image1->width()),
             clampChartOffset(Image1->y() + (y - pressY_), Panel1->height(), Image1->height()));
  }
  if (hover_.TrackHover(x, y, reports_, decimalPoint_)) {
    Image1->setCursor(Qt::PointingHandCursor);
  } else {
    Image1->unsetCursor();
    if (hint_ != nullptr) hint_->hide();
  }
}

void WindMapView::Image1MouseUp() {
  dragging_ = false;
  emit pauseRequested(false);
}

void WindMapView::HorSynopScrollBarChange() {
  Image1->move(clampChartOffset(-HorSynopScrollBar->value(), Panel1->width(), Image1->width()),
               Image1->y());
}

void WindMapView::VertSynopScrollBarChange() {
  Image1->move(Image1->x(),
               clampChartOffset(-VertSynopScrollBar->value(), Panel1->height(), Image1->height()));
}

void WindMapView::HoverTimerTick() {
  switch (hover_.HoverTimerTick()) {
    case HoverState::Action::ShowHint:
      if (hint_ != nullptr) {
        hint_->ShowLines(hover_.Lines(), Image1->mapToGlobal(QPoint(
                                             hover_.X(), hover_.Y() + THintForm::kHeight - 10)));
      }
      break;
    case HoverState::Action::HideHint:
      if (hint_ != nullptr) hint_->hide();
      break;
    case HoverState::Action::None:
      break;
  }
}

}  // namespace tern
