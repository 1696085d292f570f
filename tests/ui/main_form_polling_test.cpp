// What the window shows for the polling thread, and the real thread handing over through the
// window's event loop.
#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineSeries>
#include <QProgressBar>
#include <QToolButton>

#include "messages/message_store.h"
#include "poll/get_data_thread.h"
#include "ui/main_form_fixture.h"
#include "ui/status_bar.h"

namespace tern::testing {
namespace {

TEST_F(MainFormTest, ConnectedAndDisconnectedStates) {
  statusBar()->setPanelText(2, "NAVTEX");
  statusBar()->setPanelText(3, "x");
  named<QLabel>("ParameterLabel")->setText("1013,2 hPa");
  display().ShowConnected();
  EXPECT_EQ(statusBar()->panelText(5), "Empfänger angeschlossen.");
  EXPECT_TRUE(button("ReceiveTestToolButton")->isEnabled());
  EXPECT_TRUE(action("EmpfangstestItem")->isEnabled());
  EXPECT_EQ(barograph()->Chart()->series()->color(), QColor(0, 0, 255));

  display().ShowStatus("Lade DWD Daten ...");
  EXPECT_EQ(statusBar()->panelText(0), "Lade DWD Daten ...");
  polled().DwdLoaded();
  EXPECT_EQ(statusBar()->panelText(0), "DWD Daten geladen.");

  display().ShowDisconnected();
  EXPECT_EQ(statusBar()->panelText(5), "Kein Empfänger angeschlossen.");
  for (int panel : {0, 2, 3}) EXPECT_TRUE(statusBar()->panelText(panel).isEmpty()) << panel;
  EXPECT_TRUE(named<QLabel>("ParameterLabel")->text().isEmpty());
  EXPECT_FALSE(button("ReceiveTestToolButton")->isEnabled());
  EXPECT_FALSE(action("EmpfangstestItem")->isEnabled());
  EXPECT_EQ(barograph()->Chart()->series()->color(), QColor(0, 0, 0));
}

TEST_F(MainFormTest, DamagedDataIsToldInStatusPanelThree) {
  display().ShowSkippedRecords();
  EXPECT_EQ(statusBar()->panelText(3), "Beschädigte Nachricht übersprungen.");
  display().ShowReadAgain("NAVTEX");
  EXPECT_EQ(statusBar()->panelText(3), "NAVTEX neu gelesen");
  EXPECT_TRUE(statusBar()->panel(3)->toolTip().contains("NAVTEX-Daten waren beschädigt"));
}

TEST_F(MainFormTest, PollingThreadReachesTheWindowThroughItsEventLoop) {
  thread()->SetClockRequest = false;
  thread()->Start();
  QElapsedTimer waited;
  waited.start();
  while (statusBar()->panelText(5).isEmpty() && waited.elapsed() < 20000) {
    QApplication::processEvents(QEventLoop::AllEvents, 5);
  }
  EXPECT_EQ(statusBar()->panelText(5), "Empfänger angeschlossen.");
  EXPECT_EQ(thread()->FirmwareText(), "1.2.4");
  // Closing while the thread polls: it ends without waiting for the window.
  form_.reset();
  EXPECT_TRUE(std::filesystem::exists(root_ / "share/TERN-Simulation/dwd_d_data.bin"));
}

}  // namespace
}  // namespace tern::testing
