// The window's alerts: a falling barometer and NAVTEX warnings kept in the alert list, the
// one that matters most shown in the status bar (and as a notification where the desktop
// has a channel for it), NRX sentences to --nmea-udp.
#include "ui/alert_notifier.h"

#include <QLabel>
#include <QMouseEvent>
#include <QTest>
#include <QTreeWidget>
#include <mutex>

#include "fakes/udp_listener.h"
#include "messages/message_store.h"
#include "ui/alert_list_form.h"
#include "ui/main_form_fixture.h"
#include "ui/status_bar.h"

namespace tern::testing {
namespace {

const QString kPressureAlert =
    QStringLiteral("Luftdruck fällt: \u22124.5 hPa in 3 Stunden. Starkwind möglich.");

class AlertTest : public MainFormTest {
 protected:
  // Four hours falling 2.5 Pa a minute: -4.5 hPa in three hours.
  void fallingBarometer() {
    std::lock_guard lock(store().mutex());
    BaroStore& baro = store().baro();
    for (int i = 0; i < 240; ++i) {
      putU16(&baro.samples()[static_cast<std::size_t>(i) * BaroStore::kSampleSize],
             static_cast<std::uint16_t>(static_cast<std::int16_t>(1000 - i * 5 / 2)));
    }
    putU16(&baro.block()[6], 240);
  }
  void navtexWarning(const std::string& key, const std::string& text) {
    std::lock_guard lock(store().mutex());
    auto header = makeHeader(10, static_cast<std::uint32_t>(text.size()), key, clock_.utcNow());
    store()
        .navtex(kNavtex518)
        .append(header, ByteView(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()),
                store().nextSerial());
  }
  QLabel* label() { return form().findChild<QLabel*>("AlertLabel"); }
  TAlertListForm* list() { return form().findChild<TAlertListForm*>("AlertListForm"); }
};

TEST_F(AlertTest, PressureFallAndNavtexWarningAlertAndGoToThePlotter) {
  UdpListener rx;
  ASSERT_TRUE(rx.ok());
  context_.network.nmea = {rx.target()};
  AlertNotifier& notifier = *alerts();
  form().show();
  EXPECT_EQ(notifier.shownAlert(), "");

  fallingBarometer();
  display().BaroLoaded(400, 80);
  EXPECT_EQ(notifier.shownAlert(), kPressureAlert);
  EXPECT_FALSE(notifier.lastChannel().isEmpty());
  // Widened to the left to its whole text, at most to half the window, on one line; the
  // clock and the receiver panel stay free.
  const QRect wide = label()->geometry();
  EXPECT_EQ(wide.right(), statusBar()->panelRect(3).right());
  EXPECT_GE(wide.width(), label()->fontMetrics().horizontalAdvance(kPressureAlert));
  EXPECT_LE(wide.width(), form().width() / 2);
  EXPECT_FALSE(label()->wordWrap());
  // The next pass empties the activity panel; the alert stays, and leaves a notice of
  // panel 3 readable.
  display().ShowConnected();
  EXPECT_EQ(notifier.shownAlert(), kPressureAlert);
  // Placed again as panel 3's text changes, without a timer.
  statusBar()->setPanelText(3, "Export fehlerhaft!");
  EXPECT_EQ(label()->geometry().right(), statusBar()->panelRect(2).right());
  statusBar()->setPanelText(3, QString());
  EXPECT_EQ(label()->geometry().right(), statusBar()->panelRect(3).right());
  // In a narrow window it wraps and the bar grows for it: nothing is cut.
  form().resize(640, form().height());
  QTest::qWait(1100);
  EXPECT_TRUE(label()->wordWrap());
  EXPECT_LE(label()->width(), 320);
  EXPECT_GT(statusBar()->minimumHeight(), TStatusBar::kHeight);

  // A click opens the list; the alert counts as seen but stays in the panel.
  QTest::mouseClick(label(), Qt::LeftButton);
  ASSERT_NE(list(), nullptr);
  EXPECT_TRUE(list()->isVisible());
  EXPECT_EQ(list()->AlertListView->topLevelItemCount(), 1);
  EXPECT_EQ(notifier.History().Unseen(), 0u);
  display().BaroLoaded(400, 80);  // the same fall: no second alert
  EXPECT_EQ(notifier.History().Entries().size(), 1u);

  navtexWarning("SB01", "ZCZC SB01\r\nGALE WARNING GERMAN BIGHT\r\nNNNN");
  display().NavtexLoaded();
  EXPECT_EQ(notifier.shownAlert(), "NAVTEX: Meteorological warnings (B) von S");
  // The open list follows.
  EXPECT_EQ(list()->AlertListView->topLevelItemCount(), 2);

  // The plotter got the barometer reduced to sea level (no height set), then the warning.
  std::vector<std::string> got;
  while (auto datagram = rx.receive(got.empty() ? 2000 : 200))
    got.push_back(datagram->substr(0, 24));
  EXPECT_EQ(got,
            (std::vector<std::string>{"$WIMDA,29.6481,I,1.00400", "$WIXDR,P,1.00400,B,Barom",
                                      "$CRNRX,002,001,00,SB01,2", "$CRNRX,002,002,00,,,,,,,"}));
}

TEST_F(AlertTest, ThreeAlertsInOneHandOverLeaveThreeEntriesAndThePressureAlertInThePanel) {
  AlertNotifier& notifier = *alerts();
  form().show();
  fallingBarometer();
  navtexWarning("SB01", "ZCZC SB01\r\nGALE WARNING GERMAN BIGHT\r\nNNNN");
  navtexWarning("SA02", "ZCZC SA02\r\nWRECK IN POSITION 54N 007E\r\nNNNN");
  // One polling pass: the barometer, then the NAVTEX read-out, no painting between.
  display().BaroLoaded(400, 80);
  display().NavtexLoaded();

  ASSERT_EQ(notifier.History().Entries().size(), 3u);
  EXPECT_EQ(notifier.shownAlert(), kPressureAlert + "  +2");
  EXPECT_EQ(label()->palette().color(QPalette::WindowText), QColor(0xb0, 0x00, 0x00));
  EXPECT_TRUE(label()->toolTip().contains(kPressureAlert));

  notifier.ShowAlertList();
  QTreeWidget* rows = list()->AlertListView;
  ASSERT_EQ(rows->topLevelItemCount(), 3);
  // Newest first, each with its time, kind and whole text; unseen ones bold.
  EXPECT_EQ(rows->topLevelItem(0)->text(1), "NAVTEX");
  EXPECT_EQ(rows->topLevelItem(2)->text(1), "Luftdruck");
  EXPECT_EQ(rows->topLevelItem(2)->text(2), kPressureAlert);
  EXPECT_EQ(rows->topLevelItem(2)->text(0), "08.12.2026 18:05");
  EXPECT_TRUE(rows->topLevelItem(2)->font(2).bold());
  if (const QByteArray dir = qgetenv("TERN_SCREENSHOT_DIR"); !dir.isEmpty()) {
    EXPECT_TRUE(list()->grab().save(QString::fromUtf8(dir) + "/alert-list-three.png"));
  }
  // Seen now: no count, no red.
  EXPECT_FALSE(notifier.shownAlert().contains("+"));
  EXPECT_NE(label()->palette().color(QPalette::WindowText), QColor(0xb0, 0x00, 0x00));
}

TEST_F(AlertTest, AnUnreachablePlotterIsToldInTheStatusBar) {
  context_.network.nmea = {"no-such-host.invalid:10110"};
  EXPECT_NE(alerts()->shownAlert().indexOf("no-such-host.invalid"), -1)
      << alerts()->shownAlert().toStdString();
}

}  // namespace
}  // namespace tern::testing
