#include "ui/status_bar.h"

#include <QLabel>
#include <QProgressBar>
#include <QResizeEvent>

namespace tern {

TStatusBar::TStatusBar(QWidget* parent) : QStatusBar(parent) {
  setObjectName("StatusBar1");
  setSizeGripEnabled(false);
  setMinimumHeight(24);
  for (int i = 0; i < 6; ++i) {
    auto* label = new QLabel(this);
    label->setObjectName(QStringLiteral("StatusPanel%1").arg(i));
    label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    label->setContentsMargins(3, 0, 3, 0);
    label->setTextFormat(Qt::PlainText);
    panels_[static_cast<std::size_t>(i)] = label;
  }
  placePanels();
  busyBar_ = new QProgressBar(this);
  busyBar_->setObjectName("BusyProgressBar");
  busyBar_->setRange(0, 100);
  busyBar_->setValue(0);
  busyBar_->setTextVisible(false);
  busyBar_->hide();
}

void TStatusBar::ShowBusyBar() {
  busyBar_->setGeometry(panelRect(1));
  busyBar_->show();
}

void TStatusBar::TickBusyBar(bool busy) {
  if (!busy) {
    busyBar_->setValue(0);
    return;
  }
  const int next = busyBar_->value() + 10;
  busyBar_->setValue(next >= busyBar_->maximum() ? 0 : next);
}

void TStatusBar::setPanelText(int panel, const QString& text) {
  panels_.at(static_cast<std::size_t>(panel))->setText(text);
}

QString TStatusBar::panelText(int panel) const {
  return panels_.at(static_cast<std::size_t>(panel))->text();
}

QRect TStatusBar::panelRect(int panel) const {
  int left = 0;
  for (int i = 0; i < panel; ++i) left += kPanelWidths[static_cast<std::size_t>(i)];
  int panelHeight = std::max(height(), minimumHeight()) - 2;
  return QRect(left, 1, kPanelWidths.at(static_cast<std::size_t>(panel)), panelHeight);
}

void TStatusBar::resizeEvent(QResizeEvent* event) {
  QStatusBar::resizeEvent(event);
  placePanels();
}

void TStatusBar::placePanels() {
  for (int i = 0; i < 6; ++i) panels_[static_cast<std::size_t>(i)]->setGeometry(panelRect(i));
}

}  // namespace tern
