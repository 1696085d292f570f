// The text seam on a read-only QPlainTextEdit. Message bytes are Latin-1; a CR inside a
// line (DWD bulletins end their lines CR CR LF) is not drawn, so the text reads as sent.
#pragma once

#include <QPlainTextEdit>

#include "common/text_view.h"

namespace tern {

// Thread: window thread only.
class QtTextView final : public TextView {
 public:
  explicit QtTextView(QPlainTextEdit* memo) : memo_(memo) {}
  void setLines(const std::vector<std::string>& lines) override;
  void clear() override { memo_->clear(); }
  // The text as shown, for saving and printing.
  static QString displayText(const std::vector<std::string>& lines);

 private:
  QPlainTextEdit* memo_;
};

}  // namespace tern
