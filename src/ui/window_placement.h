// Where a main window goes on a screen: its usual size where that fits, smaller where it does
// not, centred, never partly outside, with room for the window manager's frame.
#pragma once

#include <QRect>
#include <QSize>

class QWidget;

namespace tern {

// Sizes and centres `window` inside a screen's available area.
void placeWindow(QWidget& window, const QRect& available, const QSize& usual);
// The same on the screen of the window's parent (the primary screen without one); `usual`
// is the size of the window's contents.
void placeOnScreen(QWidget& window, const QSize& usual);

}  // namespace tern
