// Closing the window while the polling thread waits in a hand-over, and while the user drags
// the wind map: nothing waits for the other, and nothing reaches a destroyed object.
#include <QApplication>
#include <QElapsedTimer>
#include <chrono>
#include <thread>

#include "poll/get_data_thread.h"
#include "ui/main_form_fixture.h"
#include "ui/wind_map_view.h"

namespace tern::testing {
namespace {

// Closes the window; true when that took less than `seconds`.
bool closesWithin(std::unique_ptr<TMainForm>& form, int seconds) {
  QElapsedTimer took;
  took.start();
  form.reset();
  // Whatever the polling thread queued for the window comes now, to nobody.
  QApplication::processEvents();
  return took.elapsed() < seconds * 1000;
}

TEST_F(MainFormTest, ClosingWhileAHandOverWaitsForTheWindowDropsTheStep) {
  thread()->SetClockRequest = false;
  thread()->Start();
  // The window thread takes up no step here, so the thread's first hand-over (the receiver
  // connected) stays queued; its identity texts are published just before.
  QElapsedTimer waited;
  waited.start();
  while (thread()->FirmwareText().empty() && waited.elapsed() < 20000)
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  ASSERT_EQ(thread()->FirmwareText(), "1.2.4");
  std::this_thread::sleep_for(std::chrono::milliseconds(100));
  EXPECT_EQ(statusBar()->panelText(5), "") << "the step waits for the window";
  EXPECT_TRUE(closesWithin(form_, 10));
  EXPECT_TRUE(std::filesystem::exists(root_ / "share/TERN-Simulation/baro_data.bin"));
}

TEST_F(MainFormTest, ClosingInTheMiddleOfADragOnTheWindMapEndsThePausedThread) {
  // In the program's order: the start-up check first, then the polling thread.
  showAndStart();
  form().StartupTimerTimer();
  thread()->SetClockRequest = false;
  session().Polling().Start();
  QElapsedTimer waited;
  waited.start();
  while (statusBar()->panelText(5).isEmpty() && waited.elapsed() < 20000)
    QApplication::processEvents(QEventLoop::AllEvents, 5);
  tabs()->setCurrentIndex(MainTab::Synop);
  WindMapView& map = *synopPage()->Map();
  map.Image1MouseDown(Qt::LeftButton, 400, 2);  // in the top margin: no report, a drag
  ASSERT_TRUE(map.Dragging());
  EXPECT_TRUE(thread()->Paused);
  map.Image1MouseMove(450, 40);
  EXPECT_TRUE(closesWithin(form_, 10));
  // The lock went with the window: the folder is free for the next start.
  EXPECT_FALSE(ApplicationSession(context_, clock_).FolderInUse());
}

}  // namespace
}  // namespace tern::testing
