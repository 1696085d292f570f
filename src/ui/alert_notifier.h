// The window's side of the alerts: after each barometer and NAVTEX read-out it asks the
// session's alert watch (alerts/weather_alerts.h) what is new, shows each alert as a desktop
// notification and in the status bar, and hands the news to the session's boat network
// (alerts/boat_network.h) of `--nmea-udp` and `--signalk`.
//
// Desktop notifications go to the freedesktop notification service over the session D-Bus;
// where none runs (no session bus, or no server registered), the tray icon's balloon is
// used if the desktop has a tray, and otherwise the status bar alone shows the alert.
// In the status bar the newest alert lies in red over panel 2 (the NAVTEX page's status,
// which stays empty) and panel 3 while that one is empty, until it is clicked or
// kAlertShownMs have passed, so the activity panel, rewritten by every polling pass, cannot
// wipe it at once, and the notices of panel 3 stay readable.
#pragma once

#include <QObject>
#include <QString>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "alerts/boat_network.h"
#include "alerts/weather_alerts.h"
#include "common/clock.h"

class QLabel;
class QSystemTrayIcon;
class QTimer;

namespace tern {

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

  // The alert shown in the status bar ("" when none is shown), and how the last one went
  // out: "dbus", "tray" or "statusbar". For tests.
  QString shownAlert() const;
  const QString& lastChannel() const { return lastChannel_; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  // The alert as a notification and in the status bar; problems of the boat network go to
  // the status bar only.
  void raise(const QString& text);
  void showFailures(const std::vector<std::string>& failures);
  void showInStatusBar(const QString& text);
  bool notifyDesktop(const QString& text);
  void placeLabel();
  void hideAlert();

  WeatherWatch& watch_;
  const Clock& clock_;
  TStatusBar& statusBar_;
  BoatNetwork& network_;
  QLabel* label_ = nullptr;  // owned by the status bar
  QTimer* hideTimer_ = nullptr;
  std::unique_ptr<QSystemTrayIcon> tray_;
  QString lastChannel_;
};

}  // namespace tern
