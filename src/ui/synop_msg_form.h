// TSynopMsgForm: the decoded reports of one map cell, or a coastal bulletin with the clicked
// station's line marked, in a fixed-pitch text window that prints and saves them. The map
// fills and shows it modally after each click on a report cell.
#pragma once

#include <QDialog>
#include <string>
#include <vector>

class QPlainTextEdit;
class QPushButton;

namespace tern {

// Thread: window thread only.
class TSynopMsgForm final : public QDialog {
  Q_OBJECT
 public:
  static constexpr int kWidth = 740;
  static constexpr int kHeight = 646;

  explicit TSynopMsgForm(QWidget* parent = nullptr);

  // Replaces the text; `selectedName` is what saving proposes as the file name.
  void SetReport(const std::vector<std::string>& lines, const std::string& selectedName);
  std::vector<std::string> Lines() const;
  // The file name saving proposes: the selected name, made safe for a file name (a call sign
  // is received text), + ".TXT".
  std::string ProposedFileName() const;

  QPlainTextEdit* Memo1 = nullptr;
  QWidget* Panel1 = nullptr;
  QPushButton* PrintButton = nullptr;
  QPushButton* SaveButton = nullptr;
  QPushButton* CloseButton = nullptr;

 protected:
  void showEvent(QShowEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void PrintButtonClick();
  void SaveButtonClick();

  std::string selectedName_;
};

}  // namespace tern
