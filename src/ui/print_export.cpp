#include "ui/print_export.h"

#include <QBuffer>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QTextLayout>
#include <QWidget>
#include <algorithm>

#include "common/page_fit.h"
#include "common/text_file.h"
#include "ui/dialog_screen_fit.h"

namespace tern {

namespace {

// The wait cursor for the length of a print job, restored on every way out.
class WaitCursor {
 public:
  WaitCursor() { QGuiApplication::setOverrideCursor(Qt::WaitCursor); }
  ~WaitCursor() { QGuiApplication::restoreOverrideCursor(); }
  WaitCursor(const WaitCursor&) = delete;
  WaitCursor& operator=(const WaitCursor&) = delete;
};

std::string nameOf(const QString& path) { return QFileInfo(path).fileName().toStdString(); }

std::vector<std::string> toUtf8Lines(const QStringList& lines) {
  std::vector<std::string> out;
  out.reserve(static_cast<std::size_t>(lines.size()));
  for (const QString& line : lines) out.push_back(line.toStdString());
  return out;
}

// Ends the painter's job and tells whether the printer took it.
bool finish(QPainter& painter, QPrinter& printer, MessageSink& messages) {
  const bool ended = painter.end();
  if (!ended || printer.printerState() == QPrinter::Error) {
    messages.showMessage(MessageKind::Warning, printFailureText(printer));
    return false;
  }
  return true;
}

bool begin(QPainter& painter, QPrinter& printer, MessageSink& messages) {
  if (painter.begin(&printer)) return true;
  messages.showMessage(MessageKind::Warning, printFailureText(printer));
  return false;
}

}  // namespace

QString textFileFilter() { return QStringLiteral("Textdateien (*.txt);;Alle Dateien (*.*)"); }
QString bitmapFileFilter() { return QStringLiteral("Bilddateien (*.bmp);;Alle Dateien (*.*)"); }

std::optional<QString> QtExportDialogs::saveFileName(const QString& proposedName,
                                                     const QString& filter) {
  const QString file =
      QFileDialog::getSaveFileName(parent_, QStringLiteral("Speichern unter"), proposedName, filter,
                                   nullptr, QFileDialog::DontConfirmOverwrite);
  if (file.isEmpty()) return std::nullopt;
  return file;
}

std::optional<QString> QtExportDialogs::openFileName(const QString& filter) {
  const QString file =
      QFileDialog::getOpenFileName(parent_, QStringLiteral("Öffnen"), QString(), filter);
  if (file.isEmpty()) return std::nullopt;
  return file;
}

std::optional<QString> QtExportDialogs::chooseFolder(const QString& start) {
  const QString folder = QFileDialog::getExistingDirectory(
      parent_, QStringLiteral("Verzeichnis wählen"), start, QFileDialog::ShowDirsOnly);
  if (folder.isEmpty()) return std::nullopt;
  return folder;
}

bool QtExportDialogs::confirmPrint(QPrinter& printer, bool allowSelection) {
  QPrintDialog dialog(&printer, parent_);
  dialog.setOption(QAbstractPrintDialog::PrintSelection, allowSelection);
  if (allowSelection) dialog.setPrintRange(QAbstractPrintDialog::AllPages);
  // Unfolded ("Optionen >>"), the dialog is taller than a small screen.
  keepWithinScreen(dialog);
  return dialog.exec() == QDialog::Accepted;
}

std::optional<QString> askSaveTarget(const ExportContext& context, const QString& proposedName,
                                     const QString& filter) {
  std::optional<QString> file = context.dialogs.saveFileName(proposedName, filter);
  if (!file) return std::nullopt;
  if (QFileInfo::exists(*file) &&
      !context.messages.askYesNo(
          "Die Datei " + nameOf(*file) + " existiert bereits! Datei überschreiben?", true)) {
    return std::nullopt;
  }
  return file;
}

bool writeFileReporting(MessageSink& messages, const QString& path, ByteView bytes,
                        const FileReplacer& replace) {
  const FileStatus written = replace(path.toStdString(), bytes);
  if (written) return true;
  messages.showMessage(
      MessageKind::Warning,
      "Die Datei " + path.toStdString() + " konnte nicht gespeichert werden.\n" + written.message);
  return false;
}

Bytes textFileBytes(const QStringList& lines) { return encodeTextFile(toUtf8Lines(lines)); }

Bytes bmpFileBytes(const QImage& image) {
  if (image.isNull()) return {};
  QByteArray data;
  QBuffer buffer(&data);
  buffer.open(QIODevice::WriteOnly);
  if (!image.save(&buffer, "BMP")) return {};
  return Bytes(data.begin(), data.end());
}

ExportResult saveTextLinesAs(const ExportContext& context, const QString& proposedName,
                             const QStringList& lines, const FileReplacer& replace) {
  const std::optional<QString> file = askSaveTarget(context, proposedName, textFileFilter());
  if (!file) return ExportResult::Cancelled;
  return writeFileReporting(context.messages, *file, textFileBytes(lines), replace)
             ? ExportResult::Done
             : ExportResult::Failed;
}

ExportResult saveImageAs(const ExportContext& context, const QString& proposedName,
                         const QImage& image) {
  const std::optional<QString> file = askSaveTarget(context, proposedName, bitmapFileFilter());
  if (!file) return ExportResult::Cancelled;
  const Bytes bytes = bmpFileBytes(image);
  if (bytes.empty()) {
    context.messages.showMessage(
        MessageKind::Warning,
        "Die Datei " + file->toStdString() + " konnte nicht gespeichert werden: kein Bild.");
    return ExportResult::Failed;
  }
  return writeFileReporting(context.messages, *file, bytes) ? ExportResult::Done
                                                            : ExportResult::Failed;
}

std::optional<QStringList> loadTextLines(const ExportContext& context) {
  const std::optional<QString> file = context.dialogs.openFileName(textFileFilter());
  if (!file) return std::nullopt;
  const FileData read = readWholeFile(file->toStdString(), kMaxTextFileBytes);
  if (!read.status) {
    const std::string reason = read.status.error == EFBIG
                                   ? " ist zu groß (höchstens " +
                                         std::to_string(kMaxTextFileBytes / (1024 * 1024)) + " MB)."
                                   : " konnte nicht gelesen werden.\n" + read.status.message;
    context.messages.showMessage(MessageKind::Warning, "Die Datei " + file->toStdString() + reason);
    return std::nullopt;
  }
  QStringList lines;
  for (const std::string& line : decodeTextFile(read.bytes))
    lines.append(QString::fromStdString(line));
  return lines;
}

QStringList selectionLines(const QString& selectedText) {
  QString text = selectedText;
  text.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
  text.replace(QChar::LineSeparator, QLatin1Char('\n'));
  return text.split(QLatin1Char('\n'));
}

std::string printFailureText(const QPrinter& printer) {
  const QString target =
      printer.outputFileName().isEmpty() ? printer.printerName() : printer.outputFileName();
  return "Der Druck auf " + target.toStdString() + " ist fehlgeschlagen.";
}

bool PrintLines(QPrinter& printer, const QStringList& lines, const QFont& font,
                MessageSink& messages) {
  QPainter painter;
  if (!begin(painter, printer, messages)) return false;
  const QFont printFont(font, &printer);
  painter.setFont(printFont);
  const QFontMetricsF metrics(printFont, &printer);
  const qreal pageWidth = painter.viewport().width();
  const qreal pageHeight = painter.viewport().height();
  const qreal lineHeight = metrics.lineSpacing();
  qreal y = 0;
  for (const QString& line : lines) {
    // An empty line still takes its place; a long one continues on the next printed line.
    QTextLayout layout(line, printFont, &printer);
    layout.beginLayout();
    for (QTextLine part = layout.createLine(); part.isValid(); part = layout.createLine()) {
      part.setLineWidth(pageWidth);
      part.setPosition(QPointF(0, 0));
    }
    layout.endLayout();
    const int parts = std::max(layout.lineCount(), 1);
    for (int k = 0; k < parts; ++k) {
      if (y > 0 && y + lineHeight > pageHeight) {
        if (!printer.newPage()) {
          painter.end();
          messages.showMessage(MessageKind::Warning, printFailureText(printer));
          return false;
        }
        y = 0;
      }
      if (k < layout.lineCount()) {
        layout.lineAt(k).draw(&painter, QPointF(0, y));
      }
      y += lineHeight;
    }
  }
  return finish(painter, printer, messages);
}

bool PrintImage(QPrinter& printer, const QImage& image, int percent, MessageSink& messages) {
  const WaitCursor wait;
  const QRect page = printer.pageLayout().paintRectPixels(printer.resolution());
  const FittedSize size =
      fitToPage(image.width(), image.height(), page.width(), page.height(), percent);
  if (size.empty()) return true;
  QPainter painter;
  if (!begin(painter, printer, messages)) return false;
  painter.drawImage(QRect(0, 0, size.width, size.height), image);
  return finish(painter, printer, messages);
}

bool PrintWidget(QPrinter& printer, QWidget& widget, MessageSink& messages) {
  const WaitCursor wait;
  const QRect page = printer.pageLayout().paintRectPixels(printer.resolution());
  const FittedSize size =
      fitToPage(widget.width(), widget.height(), page.width(), page.height(), 100);
  if (size.empty()) return true;
  QPainter painter;
  if (!begin(painter, printer, messages)) return false;
  painter.scale(static_cast<double>(size.width) / widget.width(),
                static_cast<double>(size.height) / widget.height());
  widget.render(&painter, QPoint(), QRegion(), QWidget::DrawChildren);
  return finish(painter, printer, messages);
}

}  // namespace tern
