#include "ui/fax_image_label.h"

#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>
#include <algorithm>
#include <cstring>

namespace tern {

FaxImageLabel::FaxImageLabel(QWidget* parent) : QLabel(parent) {
  setAlignment(Qt::AlignLeft | Qt::AlignTop);
  setCursor(Qt::OpenHandCursor);
}

QImage FaxImageLabel::toImage(const FaxPicture& picture) {
  QImage image(std::max(picture.width, 0), std::max(picture.height, 0), QImage::Format_Indexed8);
  QList<QRgb> colours;
  for (std::uint32_t rgb : picture.palette) colours.append(0xFF000000u | rgb);
  image.setColorTable(colours);
  // Qt pads rows to four bytes, so the rows are copied one by one.
  for (int y = 0; y < picture.height; ++y) {
    std::memcpy(image.scanLine(y),
                picture.pixels.data() +
                    static_cast<std::size_t>(y) * static_cast<std::size_t>(picture.width),
                static_cast<std::size_t>(picture.width));
  }
  if (picture.notice && !image.isNull()) {
    image = image.convertToFormat(QImage::Format_RGB32);
    QPainter painter(&image);
    painter.setPen(Qt::black);
    QFont font = painter.font();
    font.setPixelSize(16);
    painter.setFont(font);
    const QFontMetrics metrics(font);
    painter.drawText(picture.notice->x, picture.notice->y + metrics.ascent(),
                     QString::fromStdString(picture.notice->text));
  }
  return image;
}

void FaxImageLabel::showPicture(const FaxPicture& picture) {
  setPixmap(QPixmap::fromImage(toImage(picture)));
  move(0, 0);
  resize(std::max(picture.width, 0), std::max(picture.height, 0));
  update();
}

void FaxImageLabel::setMarkers(std::vector<ChartMarker> markers) {
  markers_ = std::move(markers);
  update();
}

void FaxImageLabel::paintEvent(QPaintEvent* event) {
  QLabel::paintEvent(event);
  if (markers_.empty()) return;
  QPainter painter(this);
  painter.setRenderHint(QPainter::Antialiasing);
  QFont font = painter.font();
  font.setPixelSize(14);
  font.setBold(true);
  painter.setFont(font);
  constexpr double kArm = 9;
  for (const ChartMarker& m : markers_) {
    // Blue and red both stand out on a black and white chart.
    painter.setPen(QPen(m.flagged ? QColor(220, 0, 0) : QColor(0, 90, 255), 2));
    painter.drawLine(m.at - QPointF(kArm, 0), m.at + QPointF(kArm, 0));
    painter.drawLine(m.at - QPointF(0, kArm), m.at + QPointF(0, kArm));
    painter.drawEllipse(m.at, kArm / 2, kArm / 2);
    painter.drawText(m.at + QPointF(kArm + 2, -kArm / 2), QString::number(m.number));
  }
}

void FaxImageLabel::mousePressEvent(QMouseEvent* event) {
  emit pressed(event->button(), qRound(event->position().x()), qRound(event->position().y()));
  event->accept();
}

void FaxImageLabel::mouseMoveEvent(QMouseEvent* event) {
  emit moved(qRound(event->position().x()), qRound(event->position().y()));
  event->accept();
}

void FaxImageLabel::mouseReleaseEvent(QMouseEvent* event) {
  emit released(event->button());
  event->accept();
}

void FaxImageLabel::mouseDoubleClickEvent(QMouseEvent* event) {
  emit doubleClicked();
  event->accept();
}

void FaxImageLabel::wheelEvent(QWheelEvent* event) {
  int dx = event->angleDelta().x();
  int dy = event->angleDelta().y();
  // Some platforms turn a Shift-wheel into a horizontal turn themselves, others do not.
  if ((event->modifiers() & Qt::ShiftModifier) && dx == 0) std::swap(dx, dy);
  emit wheelTurned(dx, dy);
  event->accept();
}

}  // namespace tern
