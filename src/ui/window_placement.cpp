#include "ui/window_placement.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <algorithm>

namespace tern {

void placeWindow(QWidget& window, const QRect& available, const QSize& usual) {
  // Before the window is shown its frame is unknown; leave room for a usual title bar and
  // border, so the title bar stays within reach.
  const QRect outside = window.frameGeometry();
  const QRect inside = window.geometry();
  const QMargins frame =
      outside != inside
          ? QMargins(inside.left() - outside.left(), inside.top() - outside.top(),
                     outside.right() - inside.right(), outside.bottom() - inside.bottom())
          : QMargins(4, 30, 4, 4);
  const QSize room = available.marginsRemoved(frame).size();
  const QSize size = usual.boundedTo(room);
  window.setMinimumSize(window.minimumSize().boundedTo(size));
  window.resize(size);
  const QSize outer = window.size().grownBy(frame);
  const int x = available.left() + std::max(0, (available.width() - outer.width()) / 2);
  const int y = available.top() + std::max(0, (available.height() - outer.height()) / 2);
  window.move(x, y);
}

void placeOnScreen(QWidget& window, const QSize& usual) {
  const QWidget* parent = window.parentWidget();
  QScreen* screen = parent != nullptr ? parent->screen() : QGuiApplication::primaryScreen();
  if (screen == nullptr) {
    window.resize(usual);
    return;
  }
  placeWindow(window, screen->availableGeometry(), usual);
}

}  // namespace tern
