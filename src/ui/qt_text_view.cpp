#include "ui/qt_text_view.h"

#include "common/latin1.h"

namespace tern {

QString QtTextView::displayText(const std::vector<std::string>& lines) {
  return QString::fromUtf8(shownText(lines));
}

void QtTextView::setLines(const std::vector<std::string>& lines) {
  memo_->setPlainText(displayText(lines));
}

}  // namespace tern
