// The program's pictures of itself, for the README and the tests: the main window (or the
// dialog or window a click opened) taken some seconds after the start, with a page shown,
// widgets hovered and buttons clicked first; then the program ends.
#pragma once

#include <QString>
#include <QStringList>
#include <string>

namespace tern {

class TMainForm;

// The --screenshot options.
struct ScreenshotRun {
  QString file;              // empty: no screenshot
  QString page;              // caption of the page to show
  QStringList clicks;        // tool buttons (or other widgets) to click before it, by object name
  QStringList hovers;        // widgets the mouse is moved over (NAME@X,Y) before the clicks
  bool wholeScreen = false;  // the screen, with every window on it, instead of the window
  int delayMs = 5000;
};

// The names --page, --click and --hover take must exist: a mistyped one would otherwise give
// a picture of something else without a word. Empty when they do; else what to say.
std::string unknownScreenshotName(TMainForm& form, const ScreenshotRun& run);

// Takes the picture after `run.delayMs` and ends the program with status 0 when it was
// saved. `form` and `run` outlive the message loop.
void scheduleScreenshot(TMainForm& form, const ScreenshotRun& run);

}  // namespace tern
