#include "app/screenshot_run.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMouseEvent>
#include <QPixmap>
#include <QScreen>
#include <QTabWidget>
#include <QTimer>
#include <QToolButton>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>
#include <iostream>
#include <optional>
#include <vector>

#include "ui/main_form.h"
#include "ui/page.h"

namespace tern {

namespace {

// Shows the page with this caption, its tree opened and its first message selected.
void showPage(TMainForm& form, const QString& caption) {
  auto* pages = form.findChild<QTabWidget*>(QStringLiteral("PageControl1"));
  for (int i = 0; i < pages->count(); ++i) {
    if (pages->tabText(i) != caption) continue;
    pages->setCurrentIndex(i);
    static_cast<Page*>(pages->widget(i))->Expand();
    if (auto* tree = pages->widget(i)->findChild<QTreeWidget*>()) {
      QTreeWidgetItemIterator it(tree, QTreeWidgetItemIterator::NoChildren);
      while (*it != nullptr && (*it)->data(0, Qt::UserRole + 1).toLongLong() <= 0) ++it;
      if (*it != nullptr) tree->setCurrentItem(*it);
    }
  }
  QApplication::processEvents();
}

// "NAME" or "NAME@X,Y": a widget of the window by its object name, and a point in it (its
// middle without one).
struct Target {
  QWidget* widget = nullptr;
  std::optional<QPointF> point;
};
Target targetOf(TMainForm& form, const QString& named) {
  const QStringList parts = named.split(QLatin1Char('@'));
  Target target{form.findChild<QWidget*>(parts.front()), std::nullopt};
  if (parts.size() == 2) {
    const QStringList xy = parts[1].split(QLatin1Char(','));
    if (xy.size() == 2) target.point = QPointF(xy[0].toDouble(), xy[1].toDouble());
  }
  return target;
}

// A button is clicked as a button; anything else (the alert panel, the wind map) gets a mouse
// click, or with `hover` only a mouse move.
void clickByName(TMainForm& form, const QString& named, bool hover = false) {
  const Target target = targetOf(form, named);
  QWidget* widget = target.widget;
  if (auto* button = qobject_cast<QAbstractButton*>(widget); button != nullptr && !hover)
    return button->click();
  if (widget == nullptr || !widget->isVisible()) return;
  const QPointF at = target.point.value_or(QRectF(widget->rect()).center());
  const auto types =
      hover ? std::vector<QEvent::Type>{QEvent::MouseMove}
            : std::vector<QEvent::Type>{QEvent::MouseButtonPress, QEvent::MouseButtonRelease};
  for (QEvent::Type type : types) {
    QMouseEvent event(type, at, widget->mapToGlobal(at),
                      type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton,
                      type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton,
                      Qt::NoModifier);
    QCoreApplication::sendEvent(widget, &event);
  }
}

}  // namespace

std::string unknownScreenshotName(TMainForm& form, const ScreenshotRun& run) {
  if (!run.page.isEmpty()) {
    auto* pages = form.findChild<QTabWidget*>(QStringLiteral("PageControl1"));
    QStringList captions;
    for (int i = 0; i < pages->count(); ++i) captions << pages->tabText(i);
    if (!captions.contains(run.page))
      return "Keine Seite \"" + run.page.toStdString() +
             "\" (es gibt: " + captions.join(QStringLiteral(", ")).toStdString() + ")";
  }
  for (const QString& name : run.clicks + run.hovers) {
    if (targetOf(form, name).widget == nullptr) {
      QStringList names;
      for (const QToolButton* button : form.findChildren<QToolButton*>())
        if (!button->objectName().isEmpty()) names << button->objectName();
      names.removeDuplicates();
      return "Kein Werkzeugknopf \"" + name.toStdString() +
             "\" (es gibt: " + names.join(QStringLiteral(", ")).toStdString() + ")";
    }
  }
  return {};
}

void scheduleScreenshot(TMainForm& form, const ScreenshotRun& run) {
  QTimer::singleShot(run.delayMs, &form, [&form, &run] {
    showPage(form, run.page);
    // A button may open a modal dialog, whose own loop runs this: then the dialog is taken.
    // A hovered map shows its hint after a second at rest.
    const int settleMs = run.hovers.isEmpty() ? 500 : 1800;
    QTimer::singleShot(settleMs, &form, [&form, &run] {
      QWidget* shown = QApplication::activeModalWidget();
      if (shown == nullptr && QApplication::activeWindow() != &form)
        shown = QApplication::activeWindow();  // a window of its own, such as the alerts
      const QPixmap picture = run.wholeScreen && form.screen() != nullptr
                                  ? form.screen()->grabWindow(0)
                                  : (shown != nullptr ? shown : &form)->grab();
      bool saved = picture.save(run.file);
      if (!saved)
        std::cerr << "tern: " << run.file.toStdString() << " kann nicht geschrieben werden\n";
      QApplication::exit(saved ? 0 : 1);
    });
    for (const QString& name : run.hovers) clickByName(form, name, true);
    for (const QString& name : run.clicks) clickByName(form, name);
  });
}

}  // namespace tern
