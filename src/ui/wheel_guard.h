// A mouse wheel never changes a setting by passing over it: scrolling a dialog's page over a
// combo box once set "6 Min. später beginnen" and shifted every recording time. Combo boxes,
// spin boxes and sliders of every window take the wheel only while they have the keyboard
// focus (a click or Tab gives it); otherwise the wheel goes on to what holds them, so a
// scrolled page scrolls. They no longer take the focus from the wheel either.
#pragma once

class QApplication;
class QObject;

namespace tern {

// Installs the guard on `app` for every widget of the program (owned by `app`).
QObject* installWheelGuard(QApplication& app);

}  // namespace tern
