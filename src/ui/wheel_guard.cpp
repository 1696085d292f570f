#include "ui/wheel_guard.h"

#include <QAbstractSlider>
#include <QAbstractSpinBox>
#include <QApplication>
#include <QComboBox>
#include <QEvent>

namespace tern {

namespace {

bool isSetting(const QObject* object) {
  return qobject_cast<const QComboBox*>(object) != nullptr ||
         qobject_cast<const QAbstractSpinBox*>(object) != nullptr ||
         qobject_cast<const QAbstractSlider*>(object) != nullptr;
}

// Thread: the window thread (it sees only that thread's events).
class WheelGuard final : public QObject {
 public:
  using QObject::QObject;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::Polish && isSetting(watched)) {
      // A wheel gives a widget of "wheel focus" the focus before it sees the event.
      auto* widget = static_cast<QWidget*>(watched);
      if (widget->focusPolicy() == Qt::WheelFocus) widget->setFocusPolicy(Qt::StrongFocus);
    } else if (event->type() == QEvent::Wheel && isSetting(watched) &&
               !static_cast<QWidget*>(watched)->hasFocus()) {
      // Handled here but not accepted: the toolkit hands the wheel on to the parent.
      event->ignore();
      return true;
    }
    return QObject::eventFilter(watched, event);
  }
};

}  // namespace

QObject* installWheelGuard(QApplication& app) {
  auto* guard = new WheelGuard(&app);
  app.installEventFilter(guard);
  return guard;
}

}  // namespace tern
