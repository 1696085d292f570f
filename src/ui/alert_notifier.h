// The window's side of the alerts: it listens to the session's news of the read-outs
// (assembly/readout_news.h), which keeps every alert in the session's history
// (alerts/alert_history.h) and feeds the boat network and the web page, and shows each alert
// as a desktop notification and the history in the status bar.
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
#include "assembly/readout_news.h"

class QLabel;
class QSystemTrayIcon;
class QTimer;

namespace tern {

class TAlertListForm;
class TStatusBar;

// Thread: window thread only (the hand-over steps of the polling thread call it there).
class AlertNotifier : public QObject, public NewsListener {
  Q_OBJECT
 public:
  static constexpr int kAlertShownMs = 15 * 60 * 1000;

  // `news` (the session's) outlives the notifier.
  AlertNotifier(ReadoutNews& news, TStatusBar& statusBar);
  ~AlertNotifier() override;

  void AlertRaised(AlertKind kind, const std::string& text) override;
  void HistoryChanged() override;

  // The alert panel's text ("" when hidden), and how the last alert went out: "dbus",
  // "tray" or "statusbar". For tests.
  QString shownAlert() const;
  const QString& lastChannel() const { return lastChannel_; }
  const AlertHistory& History() const { return news_.History(); }

  // The list of every alert; showing it marks them all as seen.
  void ShowAlertList();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void showHistory();
  bool notifyDesktop(const QString& text);
  void placeLabel();
  void shrinkLabel();

  ReadoutNews& news_;
  bool compact_ = false;  // the short form at the bar's right end
  TStatusBar& statusBar_;
  QLabel* label_ = nullptr;  // owned by the status bar
  QTimer* hideTimer_ = nullptr;
  QPointer<TAlertListForm> list_;  // made when first opened, a child of the window
  std::unique_ptr<QSystemTrayIcon> tray_;
  QString lastChannel_;
};

}  // namespace tern
