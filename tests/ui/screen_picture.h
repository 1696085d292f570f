// Pictures of a window as it lies on a small screen, for looking at what the tests check:
// with TERN_UI_SHOTS=FOLDER set, the window is drawn at its place on a screen of `screen`'s
// size (the rest dark) and saved as FOLDER/NAME.png; without it nothing is written.
#pragma once

#include <QColor>
#include <QImage>
#include <QPainter>
#include <QWidget>
#include <cstdlib>

namespace tern::testing {

inline void saveScreenPicture(QWidget& window, const QRect& screen, const char* name) {
  const char* folder = std::getenv("TERN_UI_SHOTS");
  if (folder == nullptr || *folder == '\0') return;
  QImage picture(screen.size(), QImage::Format_RGB32);
  picture.fill(QColor(40, 44, 52));
  {
    QPainter painter(&picture);
    painter.drawPixmap(window.pos() - screen.topLeft(), window.grab());
  }
  picture.save(QString::fromLocal8Bit(folder) + "/" + QString::fromUtf8(name) + ".png");
}

// Whether `child` lies whole within `window` (a button cut by the window's edge does not).
inline bool wholeInside(const QWidget& child, const QWidget& window) {
  return window.rect().contains(QRect(child.mapTo(&window, QPoint(0, 0)), child.size()));
}

}  // namespace tern::testing
