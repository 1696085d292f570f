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
  form().StatusBar1->setPanelText(2, "NAVTEX");
  form().StatusBar1->setPanelText(3, "x");
  form().ParameterLabel->setText("1013,2 hPa");
  form().ShowConnected();
  EXPECT_EQ(form().StatusBar1->panelText(5), "Empfänger angeschlossen.");
  EXPECT_TRUE(form().ReceiveTestToolButton->isEnabled());
  EXPECT_TRUE(form().EmpfangstestItem->isEnabled());
  EXPECT_EQ(form().Series1->color(), QColor(0, 0, 255));

  form().ShowStatus("Lade DWD Daten ...");
  EXPECT_EQ(form().StatusBar1->panelText(0), "Lade DWD Daten ...");
  form().DwdLoaded();
  EXPECT_EQ(form().StatusBar1->panelText(0), "DWD Daten geladen.");

  form().ShowDisconnected();
  EXPECT_EQ(form().StatusBar1->panelText(5), "Kein Empfänger angeschlossen.");
  for (int panel : {0, 2, 3}) EXPECT_TRUE(form().StatusBar1->panelText(panel).isEmpty()) << panel;
  EXPECT_TRUE(form().ParameterLabel->text().isEmpty());
  EXPECT_FALSE(form().ReceiveTestToolButton->isEnabled());
  EXPECT_FALSE(form().EmpfangstestItem->isEnabled());
  EXPECT_EQ(form().Series1->color(), QColor(0, 0, 0));
}

TEST_F(MainFormTest, PollingThreadReachesTheWindowThroughItsEventLoop) {
  form().GetDataThread->SetClockRequest = false;
  form().GetDataThread->Start();
  QElapsedTimer waited;
  waited.start();
  while (form().StatusBar1->panelText(5).isEmpty() && waited.elapsed() < 20000) {
    QApplication::processEvents(QEventLoop::AllEvents, 5);
  }
  EXPECT_EQ(form().StatusBar1->panelText(5), "Empfänger angeschlossen.");
  EXPECT_EQ(form().GetDataThread->FirmwareText(), "1.2.4");
  // Closing while the thread polls: it ends without waiting for the window.
  form_.reset();
  EXPECT_TRUE(std::filesystem::exists(root_ / "share/TERN-Simulation/dwd_d_data.bin"));
}

}  // namespace
}  // namespace tern::testing
