// Printed PDF files read back with the poppler tools: the page count, the text, and a page
// rendered to an image at 72 dpi (one pixel per point) to measure where ink landed.
#pragma once

#include <QImage>
#include <QProcess>
#include <QRect>
#include <QString>
#include <QTemporaryDir>

namespace tern::testing {

inline int pdfPageCount(const QString& pdf) {
  QProcess info;
  info.start(QStringLiteral("pdfinfo"), {pdf});
  if (!info.waitForFinished(20000)) return -1;
  for (const QString& line : QString::fromUtf8(info.readAllStandardOutput()).split('\n')) {
    if (line.startsWith(QStringLiteral("Pages:"))) return line.mid(6).trimmed().toInt();
  }
  return -1;
}

inline QString pdfText(const QString& pdf) {
  QProcess text;
  text.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
  text.waitForFinished(20000);
  return QString::fromUtf8(text.readAllStandardOutput());
}

inline QImage renderPdfPage(const QString& pdf, int page) {
  QTemporaryDir dir;
  const QString prefix = dir.filePath(QStringLiteral("page"));
  QProcess render;
  render.start(QStringLiteral("pdftoppm"),
               {QStringLiteral("-png"), QStringLiteral("-r"), QStringLiteral("72"),
                QStringLiteral("-f"), QString::number(page), QStringLiteral("-l"),
                QString::number(page), QStringLiteral("-singlefile"), pdf, prefix});
  if (!render.waitForFinished(20000)) return {};
  return QImage(prefix + QStringLiteral(".png"));
}

// The smallest rectangle holding every pixel darker than light grey.
inline QRect inkBounds(const QImage& image) {
  QRect ink;
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) {
      if (qGray(image.pixel(x, y)) < 160) ink |= QRect(x, y, 1, 1);
    }
  }
  return ink;
}

}  // namespace tern::testing
