// The window's alerts: a falling barometer and a NAVTEX warning shown in the status bar (and
// as a notification where the desktop has a channel for it), NRX sentences to --nmea-udp.
#include "ui/alert_notifier.h"

#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QLabel>
#include <QMouseEvent>
#include <QTest>
#include <mutex>

#include "messages/message_store.h"
#include "ui/main_form_fixture.h"
#include "ui/status_bar.h"

namespace tern::testing {
namespace {

TEST_F(MainFormTest, PressureFallAndNavtexWarningAlertAndGoToThePlotter) {
  int rx = ::socket(AF_INET, SOCK_DGRAM, 0);
  sockaddr_in addr{};
  addr.sin_family = AF_INET;
  addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  ASSERT_EQ(::bind(rx, reinterpret_cast<sockaddr*>(&addr), sizeof addr), 0);
  socklen_t len = sizeof addr;
  ::getsockname(rx, reinterpret_cast<sockaddr*>(&addr), &len);
  context_.nmeaUdp = "127.0.0.1:" + std::to_string(ntohs(addr.sin_port));
  AlertNotifier& alerts = *form().Alerts;
  EXPECT_EQ(alerts.shownAlert(), "");

  {
    // Four hours falling 2.5 Pa a minute: -4.5 hPa in three hours.
    std::lock_guard lock(form().Store->mutex());
    BaroStore& baro = form().Store->baro();
    for (int i = 0; i < 240; ++i) {
      putU16(&baro.samples()[static_cast<std::size_t>(i) * BaroStore::kSampleSize],
             static_cast<std::uint16_t>(static_cast<std::int16_t>(1000 - i * 5 / 2)));
    }
    putU16(&baro.block()[6], 240);
  }
  form().BaroLoaded(400, 80);
  EXPECT_EQ(alerts.shownAlert(), "Luftdruck fällt: \u22124.5 hPa in 3 Stunden. Starkwind möglich.");
  EXPECT_FALSE(alerts.lastChannel().isEmpty());
  // The next pass empties the activity panel; the alert stays until clicked, and leaves
  // panel 3 free while that panel has something to say.
  form().ShowConnected();
  EXPECT_FALSE(alerts.shownAlert().isEmpty());
  auto* label = form().findChild<QLabel*>("AlertLabel");
  EXPECT_EQ(label->geometry().right(), form().StatusBar1->panelRect(3).right());
  form().StatusBar1->setPanelText(3, "Export fehlerhaft!");
  QTest::qWait(1100);
  EXPECT_EQ(label->geometry().right(), form().StatusBar1->panelRect(2).right());
  QTest::mouseClick(label, Qt::LeftButton);
  EXPECT_EQ(alerts.shownAlert(), "");
  form().BaroLoaded(400, 80);  // the same fall: no second alert
  EXPECT_EQ(alerts.shownAlert(), "");

  {
    std::lock_guard lock(form().Store->mutex());
    const std::string text = "ZCZC SB01\r\nGALE WARNING GERMAN BIGHT\r\nNNNN";
    auto header = makeHeader(10, static_cast<std::uint32_t>(text.size()), "SB01", clock_.utcNow());
    form()
        .Store->navtex(kNavtex518)
        .append(header, ByteView(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()),
                form().Store->nextSerial());
  }
  form().NavtexLoaded();
  EXPECT_EQ(alerts.shownAlert(), "NAVTEX: Meteorological warnings (B) von S");

  pollfd p{rx, POLLIN, 0};
  ASSERT_EQ(::poll(&p, 1, 2000), 1);
  char buf[512];
  ssize_t n = ::recv(rx, buf, sizeof buf, 0);
  ::close(rx);
  ASSERT_GT(n, 0);
  EXPECT_EQ(std::string(buf, static_cast<std::size_t>(n)).rfind("$CRNRX,SB01,1,3,518,", 0), 0u);
}

TEST_F(MainFormTest, AnUnreachablePlotterIsToldInTheStatusBar) {
  context_.nmeaUdp = "no-such-host.invalid:10110";
  EXPECT_NE(form().Alerts->shownAlert().indexOf("no-such-host.invalid"), -1)
      << form().Alerts->shownAlert().toStdString();
}

}  // namespace
}  // namespace tern::testing
