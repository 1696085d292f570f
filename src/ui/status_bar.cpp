#include "ui/status_bar.h"

#include <QLabel>
#include <QProgressBar>
#include <QResizeEvent>
#include <algorithm>

namespace tern {

TStatusBar::TStatusBar(QWidget* parent) : QStatusBar(parent) {
  setObjectName("StatusBar1");
  setSizeGripEnabled(false);
  setMinimumHeight(kHeight);
  for (int i = 0; i < 6; ++i) {
    auto* label = new QLabel(this);
    label->setObjectName(QStringLiteral("StatusPanel%1").arg(i));
    label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    label->setContentsMargins(3, 0, 3, 0);
    label->setTextFormat(Qt::PlainText);
    // Opaque: a new text repaints the panel alone, not the status bar beneath it too.
    label->setAutoFillBackground(true);
    panels_[static_cast<std::size_t>(i)] = label;
  }
  notice_ = new QLabel(this);
  notice_->setObjectName(QStringLiteral("StatusNotice"));
  notice_->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  notice_->setContentsMargins(3, 0, 3, 0);
  notice_->setTextFormat(Qt::PlainText);
  notice_->setWordWrap(true);
  notice_->setAutoFillBackground(true);
  notice_->hide();
  panels_[1]->hide();  // the busy bar's place, shown while something runs
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
  busyBarPlaced_ = true;
}

void TStatusBar::TickBusyBar(bool busy) {
  busyBar_->setVisible(busy && busyBarPlaced_);
  panels_[1]->setVisible(busy);
  if (!busy) {
    busyBar_->setValue(0);
    return;
  }
  const int next = busyBar_->value() + 10;
  busyBar_->setValue(next >= busyBar_->maximum() ? 0 : next);
}

void TStatusBar::setNotice(const QString& text) {
  if (text == notice_->text() && notice_->isHidden() == text.isEmpty()) return;
  notice_->setText(text);
  notice_->setVisible(!text.isEmpty());
  if (!text.isEmpty()) notice_->raise();
  noticeHeight_ = text.isEmpty() ? 0 : notice_->heightForWidth(noticeRect().width()) + 4;
  applyHeight();
  emit noticeChanged();
}

void TStatusBar::setNoticeEnd(int x) {
  if (x == noticeEnd_) return;
  noticeEnd_ = x;
  if (!notice_->isHidden()) noticeHeight_ = notice_->heightForWidth(noticeRect().width()) + 4;
  applyHeight();
}

QRect TStatusBar::noticeRect() const {
  QRect rect = panelRect(0).united(panelRect(3));
  if (noticeEnd_ >= 0 && noticeEnd_ <= rect.right())
    rect.setRight(std::max(rect.left(), noticeEnd_ - 1));
  return rect;
}

void TStatusBar::reserveHeight(int pixels) {
  if (pixels == reservedHeight_) return;
  reservedHeight_ = pixels;
  applyHeight();
}

void TStatusBar::applyHeight() {
  setMinimumHeight(std::max({kHeight, noticeHeight_, reservedHeight_}));
  placePanels();
}

QString TStatusBar::notice() const { return notice_->isHidden() ? QString() : notice_->text(); }

void TStatusBar::setPanelText(int panel, const QString& text) {
  QLabel* label = panels_.at(static_cast<std::size_t>(panel));
  if (label->text() == text) return;
  label->setText(text);
  emit panelTextChanged(panel);
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
  // A fixed size: a new text (the clock's, every second) then asks no layout of the status
  // bar, and through it of the whole window, to run again.
  for (int i = 0; i < 6; ++i) {
    QLabel* label = panels_[static_cast<std::size_t>(i)];
    const QRect rect = panelRect(i);
    label->setFixedSize(rect.size());
    label->move(rect.topLeft());
  }
  if (busyBarPlaced_) busyBar_->setGeometry(panelRect(1));
  if (notice_ != nullptr) notice_->setGeometry(noticeRect());
}

}  // namespace tern
