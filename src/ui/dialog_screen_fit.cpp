#include "ui/dialog_screen_fit.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QEvent>
#include <QGuiApplication>
#include <QLayout>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>

#include "ui/window_placement.h"

namespace tern {

namespace {

// Sizes the dialog to its contents within the screen each time the contents lay themselves
// out anew. A child of the dialog: it ends with it.
// Thread: window thread only.
class ScreenFit final : public QObject {
 public:
  ScreenFit(QDialog& dialog, QScrollArea& scroll, const QRect& available)
      : QObject(&dialog), dialog_(dialog), scroll_(scroll), available_(available) {}

  bool eventFilter(QObject* watched, QEvent* event) override {
    // After the layout has run, so the contents' new size hint counts.
    if (event->type() == QEvent::LayoutRequest || event->type() == QEvent::Show)
      QTimer::singleShot(0, this, [this] { fit(); });
    return QObject::eventFilter(watched, event);
  }

  void fit() {
    QWidget* contents = scroll_.widget();
    if (contents == nullptr) return;
    // What the dialog needs around the scroll area (margins, the buttons) plus the contents
    // themselves, with room for a scroll bar in case the screen is too low.
    const QSize around = dialog_.layout()->sizeHint() - scroll_.sizeHint();
    const QSize wanted = contents->sizeHint() +
                         QSize(scroll_.verticalScrollBar()->sizeHint().width(), 0) +
                         QSize(std::max(0, around.width()), std::max(0, around.height()));
    // Placed again only when the contents' size changed: a dialog the user moved stays.
    if (wanted == placed_) return;
    placed_ = wanted;
    placeWindow(dialog_, available_, wanted);
  }

 private:
  QDialog& dialog_;
  QScrollArea& scroll_;
  const QRect available_;
  QSize placed_;
};

}  // namespace

void keepWithinScreen(QDialog& dialog, const QRect& available) {
  QLayout* old = dialog.layout();
  if (old == nullptr) return;
  auto* contents = new QWidget;
  auto* inner = new QVBoxLayout(contents);
  inner->setContentsMargins(0, 0, 0, 0);
  inner->setSpacing(old->spacing());
  QList<QWidget*> buttons;
  while (QLayoutItem* item = old->takeAt(0)) {
    if (QWidget* widget = item->widget()) {
      if (qobject_cast<QDialogButtonBox*>(widget) != nullptr)
        buttons << widget;
      else
        inner->addWidget(widget);
      delete item;
    } else if (QLayout* layout = item->layout()) {
      layout->setParent(nullptr);
      inner->addLayout(layout);
    } else {
      inner->addItem(item);  // a spacer
    }
  }
  const QMargins margins = old->contentsMargins();
  delete old;

  auto* scroll = new QScrollArea;
  scroll->setFrameShape(QFrame::NoFrame);
  scroll->setWidgetResizable(true);
  scroll->setWidget(contents);
  auto* layout = new QVBoxLayout(&dialog);
  layout->setContentsMargins(margins);
  layout->addWidget(scroll, 1);
  for (QWidget* b : buttons) layout->addWidget(b);

  auto* fit = new ScreenFit(dialog, *scroll, available);
  contents->installEventFilter(fit);
  dialog.installEventFilter(fit);
  fit->fit();
}

void keepWithinScreen(QDialog& dialog) {
  const QWidget* parent = dialog.parentWidget();
  QScreen* screen = parent != nullptr ? parent->screen() : QGuiApplication::primaryScreen();
  if (screen != nullptr) keepWithinScreen(dialog, screen->availableGeometry());
}

}  // namespace tern
