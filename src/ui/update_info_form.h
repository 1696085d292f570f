// TUpdateInfoForm: the fixed text shown after a successful firmware update, telling the user
// that the receiver is formatting its memory and the program must be started again.
#pragma once

#include <QDialog>

class QPlainTextEdit;
class QPushButton;

namespace tern {

// Thread: window thread only.
class TUpdateInfoForm final : public QDialog {
  Q_OBJECT
 public:
  // The memo's lines, with their blanks.
  static const char* const kLines[7];

  explicit TUpdateInfoForm(QWidget* parent = nullptr);

  QPlainTextEdit* Memo1 = nullptr;
  QPushButton* SchliessenButton = nullptr;
};

}  // namespace tern
