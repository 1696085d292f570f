// TSynopMsgForm: the decoded reports of one map cell, or a coastal bulletin with the clicked
// station's line marked, in a fixed-pitch text window that prints and saves them. The map
// fills and shows it modally after each click on a report cell.
#pragma once

#include <QDialog>
#include <memory>
#include <string>
#include <vector>

#include "common/message_sink.h"

class QPlainTextEdit;
class QPushButton;

namespace tern {

class ExportDialogs;

// Thread: window thread only.
class TSynopMsgForm final : public QDialog {
  Q_OBJECT
 public:
  static constexpr int kWidth = 740;
  static constexpr int kHeight = 646;

  // Saving and printing report failures to `messages`, which outlives the window.
  TSynopMsgForm(MessageSink& messages, QWidget* parent = nullptr);
  ~TSynopMsgForm() override;

  // The file and print dialogs (the desktop's own unless a test puts in others; not owned).
  void SetDialogs(ExportDialogs* dialogs) { dialogs_ = dialogs; }

  // Replaces the text; `selectedName` is what saving proposes as the file name.
  void SetReport(const std::vector<std::string>& lines, const std::string& selectedName);
  std::vector<std::string> Lines() const;
  // The file name saving proposes: the selected name, made safe for a file name (a call sign
  // is received text), + ".TXT".
  std::string ProposedFileName() const;

  // "Drucken": the print dialog, with the choice of printing only the selected text; all
  // lines or the selection are printed in the window's font, one printed line per line.
  void PrintButtonClick();
  // "Speichern": the save dialog proposing ProposedFileName, the overwrite question, then
  // the lines as a text file.
  void SaveButtonClick();

  QPlainTextEdit* Memo1 = nullptr;
  QWidget* Panel1 = nullptr;
  QPushButton* PrintButton = nullptr;
  QPushButton* SaveButton = nullptr;
  QPushButton* CloseButton = nullptr;

 protected:
  void showEvent(QShowEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  MessageSink& messages_;
  std::unique_ptr<ExportDialogs> ownDialogs_;
  ExportDialogs* dialogs_ = nullptr;
  std::string selectedName_;
};

}  // namespace tern
