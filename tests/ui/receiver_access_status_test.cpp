// The status bar of a window whose receiver is attached but whose device node this user may
// not open: the polling thread's pass goes through libftdi1 to the libusb stand-in.
#include <QApplication>
#include <QElapsedTimer>

#include "ftdi/fake_usb_tree.h"
#include "ftdi/usb_double.h"
#include "poll/get_data_thread.h"
#include "ui/main_form_fixture.h"
#include "ui/status_bar.h"

namespace tern::testing {
namespace {

TEST_F(MainFormTest, AReceiverThisUserMayNotOpenIsNamedInTheStatusBar) {
  FakeUsbTree usb("tern_ui_usb");
  usb.addReceiver();
  UsbRootsOverride roots(usb);
  usbdouble::Device device;
  device.permitted = false;
  usbdouble::plug(device);
  context_.simulate = false;  // the default access: the FTDI backend

  display().ShowNothingChosen(false);  // settings that record something: no hint beside
  thread()->Start();
  QElapsedTimer waited;
  waited.start();
  while (statusBar()->panelText(5).isEmpty() && waited.elapsed() < 20000)
    QApplication::processEvents(QEventLoop::AllEvents, 5);
  EXPECT_EQ(statusBar()->panelText(5), QStringLiteral("Kein Zugriff auf den Empfänger."));
  const QString text = statusBar()->notice();
  for (const char* part :
       {"Der Empfänger ist angeschlossen, aber dieser Benutzer darf ihn nicht öffnen",
        "60-tern-receiver.rules", "plugdev", "dialout"})
    EXPECT_TRUE(text.contains(QString::fromUtf8(part))) << text.toStdString();
  EXPECT_GT(statusBar()->minimumHeight(), TStatusBar::kHeight) << "room for the whole text";

  // Once the receiver answers, the notice goes and the bar is as before.
  display().ShowConnected();
  EXPECT_TRUE(statusBar()->notice().isEmpty());
  EXPECT_EQ(statusBar()->minimumHeight(), TStatusBar::kHeight);
  form_.reset();
  usbdouble::unplug();
}

}  // namespace
}  // namespace tern::testing
