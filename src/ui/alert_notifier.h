// The window's side of the alerts: after each barometer and NAVTEX read-out it asks the
// session's alert watch (alerts/weather_alerts.h) what is new, keeps every alert in the
// session's history (alerts/alert_history.h), shows each as a desktop notification and hands
// the news to the session's boat network (alerts/boat_network.h) of `--nmea-udp` and
// `--signalk`.
//
// Desktop notifications go to the freedesktop notification service over the session D-Bus;
// where none runs (no session bus, or no server registered), the tray icon's balloon is
// used if the desktop has a tray, and otherwise the status bar alone shows the alert.
// In the status bar the alert panel lies over panel 2 (the page's status) and panel 3 while
// that one is empty, widened to the left to its text up to half the window and wrapped onto
// more lines beyond that, so no alert is ever cut. It shows the history's choice with the count of
// the others not yet seen, in red while any is unseen; a click opens the list of all alerts. Once
// everything is seen it stays kAlertShownMs after the newest alert, then leaves the page's status
// free and shrinks to a short "Warnungen: N" at the bar's right end, from which the list still
// opens.
#pragma once

#include <QObject>
#include <QPointer>
#include <QString>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "alerts/alert_history.h"
#include "alerts/boat_network.h"
#include "alerts/weather_alerts.h"
#include "common/clock.h"
#include "web/web_site.h"

class QLabel;
class QSystemTrayIcon;
class QTimer;

namespace tern {

class TAlertListForm;
class TStatusBar;

// Thread: window thread only (the hand-over steps of the polling thread call it there).
class AlertNotifier : public QObject {
  Q_OBJECT
 public:
  static constexpr int kAlertShownMs = 15 * 60 * 1000;

  // `watch`, `network` (the session's) and `clock` outlive the notifier. `networkProblems`
  // (targets the network could not open) are shown in the status bar once.
  AlertNotifier(WeatherWatch& watch, BoatNetwork& network, const Clock& clock,
                TStatusBar& statusBar, const std::vector<std::string>& networkProblems);
  ~AlertNotifier() override;

  // The receiver's current readings and the barometer height of the settings.
  void BarometerRead(std::int16_t pressure, std::int16_t temperature, int heightM);
  void NavtexRead();

  // The alert panel's text ("" when hidden), and how the last alert went out: "dbus",
  // "tray" or "statusbar". For tests.
  QString shownAlert() const;
  const QString& lastChannel() const { return lastChannel_; }
  const AlertHistory& History() const { return history_; }

  // The list of every alert; showing it marks them all as seen.
  void ShowAlertList();
  // Hands a copy of the history to the web page after every change; nullptr: to none.
  void ShareHistory(WebData* web);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  // The alert kept, as a notification and in the status bar; problems of the boat network
  // are kept and shown in the status bar only.
  void raise(AlertKind kind, const std::string& text);
  void showFailures(const std::vector<std::string>& failures);
  void showHistory();
  bool notifyDesktop(const QString& text);
  void placeLabel();
  void shrinkLabel();

  WeatherWatch& watch_;
  AlertHistory history_;
  bool compact_ = false;  // the short form at the bar's right end
  const Clock& clock_;
  TStatusBar& statusBar_;
  BoatNetwork& network_;
  QLabel* label_ = nullptr;  // owned by the status bar
  QTimer* hideTimer_ = nullptr;
  QPointer<TAlertListForm> list_;  // made when first opened, a child of the window
  std::unique_ptr<QSystemTrayIcon> tray_;
  QString lastChannel_;
  WebData* web_ = nullptr;  // the session's
};

}  // namespace tern
