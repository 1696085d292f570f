// The window's alerts: a falling barometer, warnings for the user's sea areas and NAVTEX
// warnings kept in the alert list, the
// one that matters most shown in the status bar (and as a notification where the desktop
// has a channel for it), NRX sentences to --nmea-udp; and the service's view of the same
// news, which must come out alike.
#include "ui/alert_notifier.h"

#include <QLabel>
#include <QMouseEvent>
#include <QTest>
#include <QTreeWidget>
#include <mutex>

#include "cli/watch_view.h"
#include "fakes/navtex_appended.h"
#include "fakes/recording_sink.h"
#include "fakes/udp_listener.h"
#include "messages/message_store.h"
#include "poll/hand_over.h"
#include "seaweather/my_sea_areas.h"
#include "ui/alert_list_form.h"
#include "ui/main_form_fixture.h"
#include "ui/status_bar.h"
#include "web/web_site.h"

namespace tern::testing {
namespace {

const QString kPressureAlert =
    QStringLiteral("Luftdruck fällt: \u22124.5 hPa in 3 Stunden. Starkwind möglich.");

class AlertTest : public MainFormTest {
 protected:
  // Four hours falling 2.5 Pa a minute: -4.5 hPa in three hours.
  void fallingBarometer() { fallingBarometer(store()); }
  static void fallingBarometer(MessageStore& into) {
    std::lock_guard lock(into.mutex());
    BaroStore& baro = into.baro();
    for (int i = 0; i < 240; ++i) {
      putU16(&baro.samples()[static_cast<std::size_t>(i) * BaroStore::kSampleSize],
             static_cast<std::uint16_t>(static_cast<std::int16_t>(1000 - i * 5 / 2)));
    }
    putU16(&baro.block()[6], 240);
  }
  NavtexAppended navtexWarning(const std::string& key, const std::string& text) {
    return navtexWarning(store(), key, text);
  }
  NavtexAppended navtexWarning(MessageStore& into, const std::string& key,
                               const std::string& text) {
    return appendNavtex(into, kNavtex518, key, text, clock_.utcNow());
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
  polled().BaroLoaded(400, 80);
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
  // Beside the hint that nothing is chosen, each keeps its part and wraps in it; neither
  // covers the other.
  display().ShowNothingChosen(true);
  const QWidget* hint = statusBar()->findChild<QWidget*>("StatusNotice");
  EXPECT_EQ(label()->geometry().left(),
            statusBar()->panelRect(2).united(statusBar()->panelRect(3)).left());
  EXPECT_EQ(hint->geometry().right() + 1, label()->geometry().left());
  EXPECT_TRUE(label()->wordWrap());
  display().ShowNothingChosen(false);
  QTest::qWait(50);  // the bar shrinks back
  EXPECT_EQ(label()->geometry(), wide);
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
  polled().BaroLoaded(400, 80);  // the same fall: no second alert
  EXPECT_EQ(notifier.History().Entries().size(), 1u);

  // A warning after the list was opened does not push the fall aside while it is in force
  // (the open list shows the warning, so it counts as seen).
  polled().NavtexLoaded({navtexWarning("SB01", "ZCZC SB01\r\nGALE WARNING GERMAN BIGHT\r\nNNNN")});
  EXPECT_EQ(notifier.shownAlert(), kPressureAlert);
  EXPECT_EQ(notifier.History().Entries().front().text,
            "NAVTEX: Wetterwarnung (B) von Pinneberg (S)");
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
  const std::vector<NavtexAppended> appended = {
      navtexWarning("SB01", "ZCZC SB01\r\nGALE WARNING GERMAN BIGHT\r\nNNNN"),
      navtexWarning("SA02", "ZCZC SA02\r\nWRECK IN POSITION 54N 007E\r\nNNNN")};
  // One polling pass: the barometer, then the NAVTEX read-out, no painting between.
  polled().BaroLoaded(400, 80);
  polled().NavtexLoaded(appended);

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

// The same read-outs through the window's wiring and through the service's: the same alert
// history, the same /api/alerts answer, the same datagrams to NMEA and Signal K, and the same
// problem kept for a Signal K target that cannot be used (the broadcast address, which a
// socket may not send to unless it asks for it).
TEST_F(AlertTest, TheWindowAndTheServiceTakeTheSameNewsAlike) {
  struct Wiring {
    UdpListener nmea, signalK;
    BoatNetworkOptions targets() {
      return {{nmea.target()}, {signalK.target(), "255.255.255.255:10110"}};
    }
    std::vector<std::string> received(UdpListener& rx) {
      std::vector<std::string> got;
      while (auto datagram = rx.receive(got.empty() ? 2000 : 200)) got.push_back(*datagram);
      return got;
    }
  } window, service;
  context_.network = window.targets();
  form().show();

  SessionOptions options;
  options.dataFolderOverride = (root_ / "service").string();
  options.programFolder = context_.programFolder;
  options.simulate = true;
  options.network = service.targets();
  ApplicationSession watch(options, clock_);
  RecordingSink sink;
  watch.Open(sink);
  ASSERT_EQ(watch.NetworkProblems().size(), 1u);
  cli::WatchLog log(clock_);
  cli::WatchOptions watchOptions;
  cli::WatchView view(log, watch, watchOptions);
  DirectHandOver handOver;
  watch.Attach(view, handOver, &view);

  const std::vector<std::function<void(MessageStore&, PollingView&)>> readOuts = {
      [this](MessageStore& into, PollingView& polled) {
        polled.NavtexLoaded(
            {navtexWarning(into, "SB01", "ZCZC SB01\r\nGALE WARNING GERMAN BIGHT\r\nNNNN")});
      },
      [](MessageStore& into, PollingView& polled) {
        fallingBarometer(into);
        polled.BaroLoaded(400, 80);
      },
      [this](MessageStore& into, PollingView& polled) {
        polled.NavtexLoaded({
            navtexWarning(into, "SA02", "ZCZC SA02\r\nWRECK IN POSITION 54N 007E\r\nNNNN"),
            navtexWarning(into, "SE03", "ZCZC SE03\r\nFORECAST\r\nNNNN"),  // no alert
        });
      },
  };
  for (const auto& readOut : readOuts) {
    readOut(store(), polled());
    readOut(watch.Store(), watch.PolledView());
    // Sent before the next read-out, as on a boat where they come seconds apart; a failure
    // of the paced sending is told with the next news.
    ASSERT_TRUE(session().Network().WaitSent(std::chrono::seconds(2)));
    ASSERT_TRUE(watch.Network().WaitSent(std::chrono::seconds(2)));
  }

  auto entries = [](const ApplicationSession& session) {
    std::vector<std::string> texts;
    for (const AlertEntry& e : session.News().History().Entries())
      texts.push_back(std::string(alertKindName(e.kind)) + " " + alertTimeText(e.time) + " " +
                      e.text + (e.seen ? " gesehen" : ""));
    return texts;
  };
  const std::vector<std::string> kept = entries(session());
  ASSERT_EQ(kept.size(), 4u) << ::testing::PrintToString(kept);
  EXPECT_EQ(kept, entries(watch));
  EXPECT_EQ(kept[3].rfind("Störung", 0), 0u) << kept[3];
  auto apiAlerts = [](const ApplicationSession& session) {
    WebVerdict verdict;
    verdict.route = WebRoute::Alerts;
    return answerWebRequest(verdict, session.Store(), session.Web().Take()).body;
  };
  EXPECT_EQ(apiAlerts(session()), apiAlerts(watch));
  EXPECT_NE(apiAlerts(watch).find("Navigationswarnung (A)"), std::string::npos);
  const std::vector<std::string> nmea = window.received(window.nmea);
  EXPECT_EQ(nmea.size(), 8u);  // two NRX sentences for each shown message, MDA and XDR
  EXPECT_EQ(nmea, service.received(service.nmea));
  const std::vector<std::string> deltas = window.received(window.signalK);
  EXPECT_EQ(deltas.size(), 4u);  // a notification per alert, the reading and the level
  EXPECT_EQ(deltas, service.received(service.signalK));
  watch.Close();
}

// A gale warning for a ticked sea area alerts once in the window and in the service and
// reaches Signal K; the unticked area's in the same bulletin does not, nor the same bulletin
// read again or its English copy. A falling barometer still heads the status panel.
TEST_F(AlertTest, AWarningForAChosenSeaAreaAlertsOnceInTheWindowAndTheService) {
  UdpListener windowSignalK, serviceSignalK;
  context_.network.signalK = {windowSignalK.target()};
  form().show();
  SessionOptions options;
  options.dataFolderOverride = (root_ / "service").string();
  options.programFolder = context_.programFolder;
  options.simulate = true;
  options.network.signalK = {serviceSignalK.target()};
  ApplicationSession watch(options, clock_);
  RecordingSink sink;
  watch.Open(sink);
  cli::WatchLog log(clock_);
  cli::WatchOptions watchOptions;
  cli::WatchView view(log, watch, watchOptions);
  DirectHandOver handOver;
  watch.Attach(view, handOver, &view);
  for (const ApplicationSession* s : {&session(), &watch})
    ASSERT_TRUE(seaweather::SaveMySeaAreas(s->DataFolder(), {{"westliche-ostsee"}}).ok);

  auto put = [](MessageStore& into, int table, const std::string& text) {
    std::lock_guard lock(into.mutex());
    MessageRecord& r = into.table(table).slot(0, 0);
    r.header = makeHeader(3, static_cast<std::uint32_t>(text.size()), "WODL45",
                          {2026, 12, 8, 18, 2, 0, 0});
    r.data.assign(text.begin(), text.end());
    r.serial = into.nextSerial();
  };
  const std::string head = "WODL45 EDZW 081800\r\r\n";
  const std::vector<std::function<void(MessageStore&, PollingView&)>> readOuts = {
      [&](MessageStore& into, PollingView& polled) {
        put(into, 0,
            head +
                "STARKWIND- UND STURMWARNUNGEN\r\r\nAM 08.12.2026, 18.00 UTC\r\r\n"
                "DEUTSCHE BUCHT: STURM WEST 9.\r\r\n"
                "WESTLICHE OSTSEE: STURM WESTNORDWEST 8.\r\r\n=\r\r\n");
        polled.DwdLoaded();
      },
      [](MessageStore&, PollingView& polled) { polled.DwdLoaded(); },
      [&](MessageStore& into, PollingView& polled) {
        put(into, 1,
            head +
                "STRONG WIND, GALE AND STORM WARNINGS\r\r\nAT 08.12.2026, 18.00 UTC\r\r\n"
                "WESTERN BALTIC: GALE WARNING WEST-NORTHWEST 8.\r\r\n=\r\r\n");
        polled.DwdLoaded();
      },
  };
  ::testing::internal::CaptureStdout();
  for (const auto& readOut : readOuts) {
    readOut(store(), polled());
    readOut(watch.Store(), watch.PolledView());
  }
  const std::string logged = ::testing::internal::GetCapturedStdout();

  const std::string text = "Sturmwarnung Westliche Ostsee: WNW 8 Bft";
  EXPECT_EQ(alerts()->shownAlert().toStdString(), text);
  for (const ApplicationSession* s : {&session(), &watch}) {
    const auto& entries = s->News().History().Entries();
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0].kind, AlertKind::SeaArea);
    EXPECT_EQ(entries[0].text, text);
  }
  EXPECT_NE(logged.find("ALARM: " + text), std::string::npos) << logged;
  EXPECT_EQ(logged.find("ALARM:"), logged.rfind("ALARM:")) << logged;
  for (UdpListener* rx : {&windowSignalK, &serviceSignalK}) {
    std::vector<std::string> got;
    while (auto datagram = rx->receive(got.empty() ? 2000 : 200)) got.push_back(*datagram);
    ASSERT_EQ(got.size(), 1u) << ::testing::PrintToString(got);
    EXPECT_NE(got[0].find("\"notifications.environment.seaArea.westliche-ostsee\""),
              std::string::npos);
    EXPECT_NE(got[0].find("\"state\":\"alarm\""), std::string::npos) << got[0];
  }

  fallingBarometer();
  polled().BaroLoaded(400, 80);
  EXPECT_EQ(alerts()->shownAlert(), kPressureAlert + "  +1");
  watch.Close();
}

}  // namespace
}  // namespace tern::testing
