// Saving, loading and printing by hand, shared by every window that offers it: the main
// window's "Datei" commands, the configuration dialog's summary and the SYNOP message
// window. The routines talk to the user only through two seams, the dialogs (ExportDialogs)
// and the message boxes (MessageSink), so offscreen tests can answer for the user.
//
// The rules every caller gets for free:
// - A save asks "Die Datei <name> existiert bereits! Datei überschreiben?" (warning, Yes/No)
//   when the chosen file exists; No writes nothing.
// - A save goes to a temporary file renamed over the target, so a failed save never leaves a
//   half-written file in place of a good one; a failure is reported in German naming the file.
// - Texts are written as UTF-8 with "\n" line ends (see common/text_file.h); a printer that
//   fails is reported in German naming the printer or output file.
// Nothing is reported as done that was not: every routine returns what happened.
#pragma once

#include <QFont>
#include <QImage>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>
#include <string>

#include "common/bytes.h"
#include "common/file_io.h"
#include "common/message_sink.h"

class QPrinter;
class QWidget;

namespace tern {

// The file filters of the save and open dialogs, first entry preselected.
QString textFileFilter();    // "Textdateien (*.txt)" and "Alle Dateien (*.*)"
QString bitmapFileFilter();  // "Bilddateien (*.bmp)" and "Alle Dateien (*.*)"

// The dialogs the routines show, and the folder dialog of the configuration.
// Thread: window thread only.
class ExportDialogs {
 public:
  virtual ~ExportDialogs() = default;
  // The save dialog proposing `proposedName` with `filter`; the chosen path, or nothing when
  // cancelled. It never asks about overwriting itself: the routines ask their own question.
  virtual std::optional<QString> saveFileName(const QString& proposedName,
                                              const QString& filter) = 0;
  // The open dialog with `filter`; the chosen path, or nothing when cancelled.
  virtual std::optional<QString> openFileName(const QString& filter) = 0;
  // The print dialog for `printer` (its orientation already set); false when cancelled.
  // With `allowSelection` the user may choose to print the selection only; the choice is
  // left in printer.printRange().
  virtual bool confirmPrint(QPrinter& printer, bool allowSelection) = 0;
  // The folder dialog ("Verzeichnis wählen") opened at `start`; the chosen folder, or
  // nothing when cancelled.
  virtual std::optional<QString> chooseFolder(const QString& start) = 0;
};

// The desktop's own file and print dialogs, modal to `parent`.
class QtExportDialogs final : public ExportDialogs {
 public:
  explicit QtExportDialogs(QWidget* parent) : parent_(parent) {}
  std::optional<QString> saveFileName(const QString& proposedName, const QString& filter) override;
  std::optional<QString> openFileName(const QString& filter) override;
  bool confirmPrint(QPrinter& printer, bool allowSelection) override;
  std::optional<QString> chooseFolder(const QString& start) override;

 private:
  QWidget* parent_;
};

// What the routines need to talk to the user; both outlive the call.
struct ExportContext {
  ExportDialogs& dialogs;
  MessageSink& messages;
};

enum class ExportResult { Done, Cancelled, Failed };

// Writes the bytes of a whole file through a temporary file renamed over the target. Tests
// put in one that fails part-way.
using FileReplacer = std::function<FileStatus(const std::string& path, ByteView data)>;

// The save dialog with `proposedName` and `filter`, then the overwrite question for an
// existing file. The path to write, or nothing when the user cancelled or answered No.
std::optional<QString> askSaveTarget(const ExportContext& context, const QString& proposedName,
                                     const QString& filter);

// Writes `bytes` to `path`; a failure is told to the user naming the file. True when written.
bool writeFileReporting(MessageSink& messages, const QString& path, ByteView bytes,
                        const FileReplacer& replace = replaceFileAtomically);

// Save dialog (text filter), overwrite question, then the lines as a text file.
ExportResult saveTextLinesAs(const ExportContext& context, const QString& proposedName,
                             const QStringList& lines,
                             const FileReplacer& replace = replaceFileAtomically);
// Save dialog (bitmap filter), overwrite question, then the image as a BMP file.
ExportResult saveImageAs(const ExportContext& context, const QString& proposedName,
                         const QImage& image);

// The bytes of a text file of `lines` and of a BMP file of `image` (empty when the image is
// null).
Bytes textFileBytes(const QStringList& lines);
Bytes bmpFileBytes(const QImage& image);

// Open dialog (text filter), then the file's lines: UTF-8 when the file is valid UTF-8, else
// Latin-1. Nothing when cancelled; a file too large or unreadable is told to the user.
std::optional<QStringList> loadTextLines(const ExportContext& context);

// The lines of a text selection as a text widget reports it: paragraph separators (U+2029)
// and line separators (U+2028) become line ends; nothing else changes.
QStringList selectionLines(const QString& selectedText);

// Prints each line as one printed line in `font` (a line longer than the page continues on
// the next printed line rather than being cut off), starting new pages as needed. The caller
// got `printer` through the print dialog. False, told to the user, when the printer fails.
bool PrintLines(QPrinter& printer, const QStringList& lines, const QFont& font,
                MessageSink& messages);

// Prints `image` from the page's top-left corner, keeping its proportions: a picture wider
// than the printable area's proportion fills the page width, any other the page height, then
// both are scaled by `percent` / 100 (common/page_fit.h). A picture of zero width or height
// prints nothing and counts as done. Shows the wait cursor meanwhile. False, told to the
// user, when the printer fails.
bool PrintImage(QPrinter& printer, const QImage& image, int percent, MessageSink& messages);

// Prints what `widget` shows (a chart), drawn at the printer's resolution rather than copied
// from the screen, fitted onto the printable area as PrintImage fits a picture. A widget of
// zero size prints nothing. False, told to the user, when the printer fails.
bool PrintWidget(QPrinter& printer, QWidget& widget, MessageSink& messages);

// The German report of a failed print job, naming the output file or the printer.
std::string printFailureText(const QPrinter& printer);

}  // namespace tern
