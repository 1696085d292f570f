#include "ui/sea_map_view.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>

namespace tern {

namespace {

constexpr int kLegendPixels = 64;

QColor rgb(std::uint32_t c) { return QColor::fromRgb(c); }

QColor inkOn(std::uint32_t c) {
  return QColor::fromRgb(c).lightness() < 128 ? Qt::white : QColor(0x11, 0x11, 0x11);
}

constexpr seaweather::WarningLevel kWarningSteps[] = {
    seaweather::WarningLevel::StrongWind, seaweather::WarningLevel::Gale,
    seaweather::WarningLevel::Storm, seaweather::WarningLevel::ViolentStorm,
    seaweather::WarningLevel::Hurricane};

}  // namespace

SeaMapView::SeaMapView(const std::string& programFolder, QWidget* parent)
    : QWidget(parent),
      landFile_(QString::fromStdString(programFolder) +
                QStringLiteral("pictures/sea_map_land.png")) {
  setObjectName("SeaMapView");
  setMinimumSize(240, 180);
  setCursor(Qt::PointingHandCursor);
  map_.height = seaweather::seaMapHeight();
}

void SeaMapView::SetMap(seaweather::SeaMap map) {
  map_ = std::move(map);
  update();
}

void SeaMapView::Select(int area) {
  selected_ = area;
  update();
}

SeaMapView::Placement SeaMapView::placement() const {
  const double w = width();
  const double h = std::max(1, height() - kLegendPixels);
  Placement p;
  p.scale = std::min(w / map_.width, h / map_.height);
  p.left = (w - map_.width * p.scale) / 2;
  p.top = 0;
  return p;
}

void SeaMapView::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.fillRect(rect(), QColor(0xF4, 0xF6, 0xF8));
  const Placement p = placement();
  const QRectF mapRect(p.left, p.top, map_.width * p.scale, map_.height * p.scale);
  painter.fillRect(mapRect, rgb(seaweather::kOpenWaterColour));
  auto at = [&](seaweather::MapPoint m) {
    return QPointF(p.left + m.x * p.scale, p.top + m.y * p.scale);
  };
  auto pathOf = [&](const seaweather::SeaMapArea& a) {
    QPainterPath path;
    for (std::size_t i = 0; i < a.outline.size(); ++i)
      i == 0 ? path.moveTo(at(a.outline[i])) : path.lineTo(at(a.outline[i]));
    path.closeSubpath();
    return path;
  };
  for (const seaweather::SeaMapArea& a : map_.areas) {
    painter.setPen(QPen(Qt::white, 1.5));
    painter.setBrush(rgb(a.fill));
    painter.drawPath(pathOf(a));
  }
  painter.setBrush(Qt::NoBrush);
  for (const seaweather::SeaMapArea& a : map_.areas) {
    if (a.warning == seaweather::WarningLevel::None) continue;
    const QPainterPath path = pathOf(a);
    painter.setPen(
        QPen(rgb(seaweather::kWarningEdgeColour), 6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.drawPath(path);
    painter.setPen(QPen(rgb(seaweather::warningColour(a.warning)), 3.5, Qt::SolidLine, Qt::RoundCap,
                        Qt::RoundJoin));
    painter.drawPath(path);
  }
  if (selected_ >= 0 && selected_ < static_cast<int>(map_.areas.size())) {
    painter.setPen(QPen(QColor(0x00, 0x4E, 0xA8), 3, Qt::DashLine));
    painter.drawPath(pathOf(map_.areas[static_cast<std::size_t>(selected_)]));
  }
  if (!landLoaded_) {
    landLoaded_ = true;
    land_.load(landFile_);
  }
  if (!land_.isNull()) {
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(mapRect, land_);
  }
  QFont font = painter.font();
  font.setBold(true);
  font.setPixelSize(std::max(11, static_cast<int>(18 * p.scale)));
  painter.setFont(font);
  for (const seaweather::SeaMapArea& a : map_.areas) {
    const QPointF centre = at(a.label);
    const QColor ink = inkOn(a.fill);
    const double arrowShift = a.arrowDegrees ? 12 * std::max(p.scale, 0.7) : 0;
    if (a.arrowDegrees) {
      painter.save();
      painter.translate(centre.x() - arrowShift, centre.y());
      painter.rotate(*a.arrowDegrees);
      painter.scale(std::max(p.scale, 0.7), std::max(p.scale, 0.7));
      painter.setPen(QPen(ink, 2.5));
      painter.drawLine(QPointF(0, 12), QPointF(0, -5));
      painter.setBrush(ink);
      painter.drawPolygon(QPolygonF({QPointF(-6, -4), QPointF(0, -13), QPointF(6, -4)}));
      painter.restore();
    }
    const double textX = centre.x() + arrowShift;
    // A warned area also shows its warning at the force: along a coast the outline is under
    // the land, and a lagoon's outline may be nearly all there.
    if (a.warning != seaweather::WarningLevel::None) {
      const double half = 14 * std::max(p.scale, 0.7);
      const QRectF badge(textX - half, centre.y() - half, 2 * half, 2 * half);
      painter.setPen(QPen(rgb(seaweather::kWarningEdgeColour), 5));
      painter.setBrush(rgb(a.fill));
      painter.drawRoundedRect(badge, 4, 4);
      painter.setPen(QPen(rgb(seaweather::warningColour(a.warning)), 3));
      painter.drawRoundedRect(badge, 4, 4);
    }
    if (a.bftMax >= 0) {
      painter.setPen(ink);
      const QRectF box(textX - 20, centre.y() - 12, 40, 24);
      painter.drawText(box, Qt::AlignCenter, QString::number(a.bftMax));
    }
  }
  // The legend: the Beaufort scale, then the warning outlines.
  font.setBold(false);
  font.setPixelSize(12);
  painter.setFont(font);
  const int top = height() - kLegendPixels + 6;
  int x = 8;
  painter.setPen(QColor(0x11, 0x11, 0x11));
  painter.drawText(QPoint(x, top + 10), QStringLiteral("Beaufort"));
  x += 62;
  for (int bft = 0; bft <= 12; ++bft, x += 28) {
    painter.fillRect(QRect(x, top, 26, 18), rgb(seaweather::beaufortColour(bft)));
    painter.setPen(inkOn(seaweather::beaufortColour(bft)));
    painter.drawText(QRect(x, top, 26, 18), Qt::AlignCenter, QString::number(bft));
  }
  painter.fillRect(QRect(x, top, 50, 18), rgb(seaweather::kNoForecastColour));
  painter.setPen(QColor(0x11, 0x11, 0x11));
  painter.drawText(QRect(x, top, 50, 18), Qt::AlignCenter, QStringLiteral("keine"));
  x = 8;
  const int row = top + 28;
  for (seaweather::WarningLevel level : kWarningSteps) {
    painter.setPen(QPen(rgb(seaweather::warningColour(level)), 3.5));
    painter.drawRect(QRect(x + 2, row + 2, 16, 12));
    const QString name = QString::fromUtf8(seaweather::levelName(level));
    painter.setPen(QColor(0x11, 0x11, 0x11));
    painter.drawText(QPoint(x + 24, row + 13), name);
    x += 36 + painter.fontMetrics().horizontalAdvance(name);
  }
}

void SeaMapView::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) return;
  const Placement p = placement();
  const QPointF at = event->position();
  const int area =
      seaweather::areaAt(map_, {(at.x() - p.left) / p.scale, (at.y() - p.top) / p.scale});
  if (area >= 0) emit areaClicked(area);
}

}  // namespace tern
