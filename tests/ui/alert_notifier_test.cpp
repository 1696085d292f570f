// The window's alerts: a falling barometer and a NAVTEX warning shown in the status bar (and
// as a notification where the desktop has a channel for it), NRX sentences to --nmea-udp.
#include "ui/alert_notifier.h"

#include <QLabel>
#include <QMouseEvent>
#include <QTest>
#include <mutex>

#include "fakes/udp_listener.h"
#include "messages/message_store.h"
#include "ui/main_form_fixture.h"
#include "ui/status_bar.h"

namespace tern::testing {
namespace {

TEST_F(MainFormTest, PressureFallAndNavtexWarningAlertAndGoToThePlotter) {
  UdpListener rx;
  ASSERT_TRUE(rx.ok());
  context_.network.nmea = {rx.target()};
  AlertNotifier& notifier = *alerts();
  EXPECT_EQ(notifier.shownAlert(), "");

  {
    // Four hours falling 2.5 Pa a minute: -4.5 hPa in three hours.
    std::lock_guard lock(store().mutex());
    BaroStore& baro = store().baro();
    for (int i = 0; i < 240; ++i) {
      putU16(&baro.samples()[static_cast<std::size_t>(i) * BaroStore::kSampleSize],
             static_cast<std::uint16_t>(static_cast<std::int16_t>(1000 - i * 5 / 2)));
    }
    putU16(&baro.block()[6], 240);
  }
  display().BaroLoaded(400, 80);
  EXPECT_EQ(notifier.shownAlert(),
            "Luftdruck fällt: \u22124.5 hPa in 3 Stunden. Starkwind möglich.");
  EXPECT_FALSE(notifier.lastChannel().isEmpty());
  // The next pass empties the activity panel; the alert stays until clicked, and leaves
  // panel 3 free while that panel has something to say.
  display().ShowConnected();
  EXPECT_FALSE(notifier.shownAlert().isEmpty());
  auto* label = form().findChild<QLabel*>("AlertLabel");
  EXPECT_EQ(label->geometry().right(), statusBar()->panelRect(3).right());
  // Placed again as panel 3's text changes, without a timer.
  statusBar()->setPanelText(3, "Export fehlerhaft!");
  EXPECT_EQ(label->geometry().right(), statusBar()->panelRect(2).right());
  statusBar()->setPanelText(3, "");
  EXPECT_EQ(label->geometry().right(), statusBar()->panelRect(3).right());
  statusBar()->setPanelText(3, "Export fehlerhaft!");
  QTest::mouseClick(label, Qt::LeftButton);
  EXPECT_EQ(notifier.shownAlert(), "");
  display().BaroLoaded(400, 80);  // the same fall: no second alert
  EXPECT_EQ(notifier.shownAlert(), "");

  {
    std::lock_guard lock(store().mutex());
    const std::string text = "ZCZC SB01\r\nGALE WARNING GERMAN BIGHT\r\nNNNN";
    auto header = makeHeader(10, static_cast<std::uint32_t>(text.size()), "SB01", clock_.utcNow());
    store()
        .navtex(kNavtex518)
        .append(header, ByteView(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()),
                store().nextSerial());
  }
  display().NavtexLoaded();
  EXPECT_EQ(notifier.shownAlert(), "NAVTEX: Meteorological warnings (B) von S");

  // The plotter got the barometer reduced to sea level (no height set), then the warning.
  std::vector<std::string> got;
  while (auto datagram = rx.receive(got.empty() ? 2000 : 200))
    got.push_back(datagram->substr(0, 24));
  EXPECT_EQ(got,
            (std::vector<std::string>{"$WIMDA,29.6481,I,1.00400", "$WIXDR,P,1.00400,B,Barom",
                                      "$CRNRX,002,001,00,SB01,2", "$CRNRX,002,002,00,,,,,,,"}));
}

TEST_F(MainFormTest, AnUnreachablePlotterIsToldInTheStatusBar) {
  context_.network.nmea = {"no-such-host.invalid:10110"};
  EXPECT_NE(alerts()->shownAlert().indexOf("no-such-host.invalid"), -1)
      << alerts()->shownAlert().toStdString();
}

}  // namespace
}  // namespace tern::testing
