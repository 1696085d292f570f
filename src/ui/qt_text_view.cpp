#include "ui/qt_text_view.h"

namespace tern {

QString QtTextView::displayText(const std::vector<std::string>& lines) {
  QString text;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (i != 0) text += QLatin1Char('\n');
    QString line = QString::fromLatin1(lines[i].data(), static_cast<qsizetype>(lines[i].size()));
    line.remove(QLatin1Char('\r'));
    text += line;
  }
  return text;
}

void QtTextView::setLines(const std::vector<std::string>& lines) {
  memo_->setPlainText(displayText(lines));
}

}  // namespace tern
