// User-interface tests run on Qt's offscreen platform with one QApplication for the run,
// with the program's wheel guard. Its screen is a usual desktop's, 1280 x 800, so the window
// gets its normal size; tests of smaller screens hand the main window their available area
// themselves.
#include <gtest/gtest.h>

#include <QApplication>
#include <QTemporaryFile>

#include "ui/wheel_guard.h"

int main(int argc, char** argv) {
  QTemporaryFile screens;
  if (screens.open()) {
    screens.write(R"({"screens": [{"name": "Desktop", "x": 0, "y": 0, "width": 1280,
                    "height": 800, "logicalDpi": 96, "logicalBaseDpi": 96, "dpr": 1}]})");
    screens.flush();
    qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" + screens.fileName().toLocal8Bit());
  } else {
    qputenv("QT_QPA_PLATFORM", "offscreen");
  }
  QApplication app(argc, argv);
  tern::installWheelGuard(app);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
