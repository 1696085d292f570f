// Stand-ins for the file and print dialogs: they answer as a test says and remember what
// they were offered. A confirmed print goes into a PDF file.
#pragma once

#include <QPageLayout>
#include <QPrinter>
#include <optional>

#include "ui/print_export.h"

namespace tern::testing {

class FakeExportDialogs final : public ExportDialogs {
 public:
  std::optional<QString> saveFileName(const QString& proposedName, const QString& filter) override {
    ++saveCalls;
    proposed = proposedName;
    saveFilter = filter;
    return saveAnswer;
  }
  std::optional<QString> openFileName(const QString& filter) override {
    ++openCalls;
    openFilter = filter;
    return openAnswer;
  }
  bool confirmPrint(QPrinter& printer, bool allowSelection) override {
    ++printCalls;
    selectionOffered = allowSelection;
    orientation = printer.pageLayout().orientation();
    if (!printAnswer) return false;
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(pdfPath);
    printer.setPrintRange(printSelection ? QPrinter::Selection : QPrinter::AllPages);
    return true;
  }

  std::optional<QString> chooseFolder(const QString& start) override {
    ++folderCalls;
    folderStart = start;
    return folderAnswer;
  }

  // Answers: nothing is Cancel.
  std::optional<QString> saveAnswer;
  std::optional<QString> openAnswer;
  std::optional<QString> folderAnswer;
  bool printAnswer = true;
  bool printSelection = false;
  QString pdfPath;
  // What the dialogs were offered.
  int saveCalls = 0, openCalls = 0, printCalls = 0, folderCalls = 0;
  QString proposed, saveFilter, openFilter, folderStart;
  bool selectionOffered = false;
  QPageLayout::Orientation orientation = QPageLayout::Portrait;
};

}  // namespace tern::testing
