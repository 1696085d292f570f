#include "ui/qt_message_sink.h"

#include <QMessageBox>

namespace tern {

void QtMessageSink::showMessage(MessageKind kind, const std::string& text) {
  QMessageBox::Icon icon = kind == MessageKind::Information ? QMessageBox::Information
                           : kind == MessageKind::Warning   ? QMessageBox::Warning
                                                            : QMessageBox::NoIcon;
  QMessageBox box(icon, QStringLiteral("TERN"), QString::fromStdString(text), QMessageBox::Ok,
                  parent_);
  box.exec();
}

bool QtMessageSink::askYesNo(const std::string& text, bool warning) {
  QMessageBox box(warning ? QMessageBox::Warning : QMessageBox::Question, QStringLiteral("TERN"),
                  QString::fromStdString(text), QMessageBox::Yes | QMessageBox::No, parent_);
  box.setDefaultButton(QMessageBox::No);
  return box.exec() == QMessageBox::Yes;
}

}  // namespace tern
