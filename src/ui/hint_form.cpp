#include "ui/hint_form.h"

#include <QEvent>
#include <QPlainTextEdit>
#include <QVBoxLayout>

namespace tern {

THintForm::THintForm(QWidget* focusOwner)
    : QWidget(focusOwner, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint |
                              Qt::WindowDoesNotAcceptFocus),
      focusOwner_(focusOwner) {
  setObjectName("HintForm");
  setAttribute(Qt::WA_ShowWithoutActivating);
  setFocusPolicy(Qt::NoFocus);
  setFixedSize(kWidth, kHeight);

  Memo1 = new QPlainTextEdit(this);
  Memo1->setObjectName("Memo1");
  Memo1->setReadOnly(true);
  Memo1->setFrameShape(QFrame::NoFrame);
  Memo1->setFocusPolicy(Qt::NoFocus);
  Memo1->setLineWrapMode(QPlainTextEdit::NoWrap);
  Memo1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  Memo1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  Memo1->setTextInteractionFlags(Qt::NoTextInteraction);
  Memo1->document()->setDocumentMargin(1);
  QFont font = Memo1->font();
  font.setPixelSize(11);  // four lines in 53 pixels
  Memo1->setFont(font);
  QPalette colours = Memo1->palette();
  colours.setColor(QPalette::Base, colours.color(QPalette::ToolTipBase));
  colours.setColor(QPalette::Text, colours.color(QPalette::ToolTipText));
  Memo1->setPalette(colours);
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(Memo1);
}

void THintForm::ShowLines(const std::array<std::string, 4>& lines, const QPoint& globalTopLeft) {
  QStringList text;
  for (const auto& line : lines) text << QString::fromStdString(line);
  Memo1->setPlainText(text.join('\n'));
  move(globalTopLeft);
  show();
  raise();
}

QStringList THintForm::Lines() const { return Memo1->toPlainText().split('\n'); }

bool THintForm::event(QEvent* event) {
  // A click into the hint must not take the focus from the main window.
  if (event->type() == QEvent::WindowActivate && focusOwner_ != nullptr) {
    focusOwner_->activateWindow();
  }
  return QWidget::event(event);
}

}  // namespace tern
