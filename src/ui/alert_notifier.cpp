#include "ui/alert_notifier.h"

#include <QApplication>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QEvent>
#include <QLabel>
#include <QSystemTrayIcon>
#include <QTimer>
#include <algorithm>

#include "ui/alert_list_form.h"
#include "ui/status_bar.h"

namespace tern {

namespace {
const QString kService = QStringLiteral("org.freedesktop.Notifications");
}

AlertNotifier::AlertNotifier(ReadoutNews& news, TStatusBar& statusBar)
    : QObject(&statusBar), news_(news), statusBar_(statusBar) {
  setObjectName(QStringLiteral("AlertNotifier"));
  label_ = new QLabel(&statusBar);
  label_->setObjectName(QStringLiteral("AlertLabel"));
  label_->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  label_->setContentsMargins(3, 0, 3, 0);
  label_->setTextFormat(Qt::PlainText);
  label_->setAutoFillBackground(true);
  label_->setCursor(Qt::PointingHandCursor);
  label_->hide();
  label_->installEventFilter(this);
  statusBar.installEventFilter(this);
  hideTimer_ = new QTimer(this);
  hideTimer_->setSingleShot(true);
  hideTimer_->setInterval(kAlertShownMs);
  connect(hideTimer_, &QTimer::timeout, this, &AlertNotifier::shrinkLabel);
  // Panel 3 carries notices of its own now and then; while it does, the alert leaves it free.
  // Placed again only when that text changes, so a shown alert costs nothing while idle.
  connect(&statusBar, &TStatusBar::noticeChanged, this, [this] {
    if (news_.History().Shown() != nullptr) placeLabel();
  });
  connect(&statusBar, &TStatusBar::panelTextChanged, this, [this](int panel) {
    if (panel == 3 && !compact_ && news_.History().Shown() != nullptr) placeLabel();
  });
}

AlertNotifier::~AlertNotifier() { delete list_; }  // a child of the window, which may stay longer

QString AlertNotifier::shownAlert() const {
  return label_->isHidden() ? QString() : label_->text();
}

void AlertNotifier::HistoryChanged() { showHistory(); }

void AlertNotifier::showHistory() {
  compact_ = false;
  hideTimer_->start();
  if (list_ != nullptr && list_->isVisible()) {
    list_->Fill();
    news_.MarkAllSeen();
  }
  placeLabel();
}

void AlertNotifier::AlertRaised(AlertKind, const std::string& alert) {
  const QString text = QString::fromStdString(alert);
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
  if (watched == label_ && event->type() == QEvent::MouseButtonRelease) ShowAlertList();
  return QObject::eventFilter(watched, event);
}

void AlertNotifier::ShowAlertList() {
  if (list_ == nullptr) list_ = new TAlertListForm(news_.History(), statusBar_.window());
  list_->Fill();
  news_.MarkAllSeen();
  placeLabel();
  list_->show();
  list_->raise();
  list_->activateWindow();
}

void AlertNotifier::shrinkLabel() {
  if (news_.History().Unseen() > 0) return;  // an unseen alert stays in full
  compact_ = true;
  placeLabel();
}

void AlertNotifier::placeLabel() {
  const AlertHistory& history = news_.History();
  const AlertEntry* shown = history.Shown();
  if (shown == nullptr) {
    label_->hide();
    statusBar_.reserveHeight(0);
    statusBar_.setNoticeEnd(-1);
    return;
  }
  const bool unseen = history.Unseen() > 0;
  label_->setStyleSheet(unseen ? QStringLiteral("QLabel { color: #b00000; font-weight: bold; }")
                               : QString());
  label_->ensurePolished();
  const QMargins margins = label_->contentsMargins() + QMargins(2, 0, 2, 0);
  const int extra = margins.left() + margins.right() + 2 * label_->frameWidth();
  const QRect panel2 = statusBar_.panelRect(2);
  if (compact_) {
    label_->setWordWrap(false);
    label_->setText(
        QStringLiteral("Warnungen: %1").arg(static_cast<qulonglong>(history.Entries().size())));
    const int width = label_->fontMetrics().horizontalAdvance(label_->text()) + extra;
    label_->setGeometry(statusBar_.width() - width, panel2.top(), width, panel2.height());
    statusBar_.reserveHeight(0);
    statusBar_.setNoticeEnd(-1);
  } else {
    label_->setText(QString::fromStdString(alertPanelText(history)));
    // It ends where panel 3 ends (panel 2 while panel 3 has a notice) and grows to the left,
    // over the activity and busy panels, up to half the window; beyond that it wraps and the
    // bar grows for it. The clock and the receiver panel stay in sight.
    const QRect base =
        statusBar_.panelText(3).isEmpty() ? panel2.united(statusBar_.panelRect(3)) : panel2;
    // Beside a notice (nothing chosen to record, no access) it keeps to its panels, and the
    // notice ends where it begins.
    const bool notice = !statusBar_.notice().isEmpty();
    const int widest =
        notice ? base.width()
               : std::min(base.right() + 1, std::max(base.width(), statusBar_.width() / 2));
    const int wanted = label_->fontMetrics().horizontalAdvance(label_->text()) + extra;
    const int width = std::clamp(wanted, base.width(), widest);
    label_->setWordWrap(wanted > width);
    const int height = wanted > width ? label_->heightForWidth(width) : 0;
    statusBar_.reserveHeight(height > 0 ? height + 2 : 0);
    label_->setGeometry(base.right() + 1 - width, base.top(), width,
                        std::max(height, statusBar_.panelRect(2).height()));
    statusBar_.setNoticeEnd(notice ? label_->x() : -1);
  }
  label_->setToolTip(
      QStringLiteral("<p>%1</p><p>%2, %3. Klick zeigt alle Warnungen dieser Sitzung.</p>")
          .arg(QString::fromStdString(shown->text).toHtmlEscaped(),
               QString::fromStdString(alertTimeText(shown->time)), alertKindCaption(shown->kind)));
  label_->show();
  label_->raise();
}

}  // namespace tern
