// A dialog whose contents grow while it is open (the print dialog's options, unfolded) kept
// within the screen: its contents scroll where the screen is too low for them, its buttons
// stay in sight below, and it grows to its contents' size, as far as the screen allows,
// whenever they change.
#pragma once

#include <QRect>

class QDialog;

namespace tern {

// Rebuilds `dialog`'s layout around a scroll area and keeps it within `available` (a
// screen's free area) from now on. A dialog without a layout is left as it is.
void keepWithinScreen(QDialog& dialog, const QRect& available);
// The same on the screen of the dialog's parent (the primary screen without one).
void keepWithinScreen(QDialog& dialog);

}  // namespace tern
