#include "ui/alert_notifier.h"

#include <QApplication>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QEvent>
#include <QLabel>
#include <QSystemTrayIcon>
#include <QTimer>

#include "ui/status_bar.h"

namespace tern {

namespace {
const QString kService = QStringLiteral("org.freedesktop.Notifications");
}

AlertNotifier::AlertNotifier(WeatherWatch& watch, BoatNetwork& network, const Clock& clock,
                             TStatusBar& statusBar, const std::vector<std::string>& networkProblems)
    : QObject(&statusBar), watch_(watch), clock_(clock), statusBar_(statusBar), network_(network) {
  setObjectName(QStringLiteral("AlertNotifier"));
  label_ = new QLabel(&statusBar);
  label_->setObjectName(QStringLiteral("AlertLabel"));
  label_->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  label_->setContentsMargins(3, 0, 3, 0);
  label_->setTextFormat(Qt::PlainText);
  label_->setAutoFillBackground(true);
  label_->setStyleSheet(QStringLiteral("QLabel { color: #b00000; font-weight: bold; }"));
  label_->hide();
  label_->installEventFilter(this);
  statusBar.installEventFilter(this);
  hideTimer_ = new QTimer(this);
  hideTimer_->setSingleShot(true);
  hideTimer_->setInterval(kAlertShownMs);
  connect(hideTimer_, &QTimer::timeout, this, &AlertNotifier::hideAlert);
  // Panel 3 carries notices of its own now and then; while it does, the alert leaves it free.
  // Placed again only when that text changes, so a shown alert costs nothing while idle.
  connect(&statusBar, &TStatusBar::panelTextChanged, this, [this](int panel) {
    if (panel == 3 && !label_->isHidden()) placeLabel();
  });
  placeLabel();

  showFailures(networkProblems);
}

AlertNotifier::~AlertNotifier() = default;

void AlertNotifier::BarometerRead(std::int16_t pressure, std::int16_t temperature, int heightM) {
  const CivilTime now = clock_.utcNow();
  auto news = watch_.BarometerRead(pressure, temperature, heightM, now);
  for (const auto& alert : news.alerts) raise(QString::fromStdString(alert));
  showFailures(network_.Send(news, now));
}

void AlertNotifier::NavtexRead() {
  const CivilTime now = clock_.utcNow();
  auto news = watch_.NavtexRead(now);
  for (const auto& arrival : news.arrivals) {
    if (arrival.alert) raise(QString::fromStdString(*arrival.alert));
  }
  showFailures(news.problems);
  showFailures(network_.Send(news, now));
}

void AlertNotifier::showFailures(const std::vector<std::string>& failures) {
  for (const auto& failure : failures) showInStatusBar(QString::fromStdString(failure));
}

QString AlertNotifier::shownAlert() const {
  return label_->isHidden() ? QString() : label_->text();
}

void AlertNotifier::showInStatusBar(const QString& text) {
  label_->setText(text);
  const CivilTime t = clock_.utcNow();
  label_->setToolTip(QStringLiteral("%1 (%2:%3 UTC; Klick blendet aus)")
                         .arg(text)
                         .arg(t.hour, 2, 10, QLatin1Char('0'))
                         .arg(t.minute, 2, 10, QLatin1Char('0')));
  placeLabel();
  label_->show();
  label_->raise();
  hideTimer_->start();
}

void AlertNotifier::raise(const QString& text) {
  showInStatusBar(text);
  if (notifyDesktop(text)) {
    lastChannel_ = QStringLiteral("dbus");
  } else if (QSystemTrayIcon::isSystemTrayAvailable()) {
    if (!tray_) {
      tray_ = std::make_unique<QSystemTrayIcon>(QApplication::windowIcon());
      tray_->setToolTip(QStringLiteral("TERN"));
      tray_->show();
    }
    tray_->showMessage(QStringLiteral("TERN"), text, QSystemTrayIcon::Warning);
    lastChannel_ = QStringLiteral("tray");
  } else {
    lastChannel_ = QStringLiteral("statusbar");
  }
}

bool AlertNotifier::notifyDesktop(const QString& text) {
  QDBusConnection bus = QDBusConnection::sessionBus();
  if (!bus.isConnected() || bus.interface() == nullptr ||
      !bus.interface()->isServiceRegistered(kService).value()) {
    return false;
  }
  QDBusMessage call =
      QDBusMessage::createMethodCall(kService, QStringLiteral("/org/freedesktop/Notifications"),
                                     kService, QStringLiteral("Notify"));
  QVariantMap hints;
  hints.insert(QStringLiteral("urgency"), QVariant::fromValue(static_cast<uchar>(2)));
  hints.insert(QStringLiteral("desktop-entry"), QStringLiteral("tern"));
  // app name, replaces id, icon, summary, body, actions, hints, timeout (-1: the server's).
  call << QStringLiteral("TERN") << 0u << QStringLiteral("tern") << QStringLiteral("TERN – Warnung")
       << text << QStringList() << hints << -1;
  // Asynchronous: a slow notification server must not hold up the window.
  return bus.send(call);
}

bool AlertNotifier::eventFilter(QObject* watched, QEvent* event) {
  if (watched == &statusBar_ && event->type() == QEvent::Resize) placeLabel();
  if (watched == label_ && event->type() == QEvent::MouseButtonRelease) hideAlert();
  return QObject::eventFilter(watched, event);
}

void AlertNotifier::hideAlert() { label_->hide(); }

void AlertNotifier::placeLabel() {
  const QRect panel2 = statusBar_.panelRect(2);
  const QRect place =
      statusBar_.panelText(3).isEmpty() ? panel2.united(statusBar_.panelRect(3)) : panel2;
  if (label_->geometry() != place) label_->setGeometry(place);
}

}  // namespace tern
