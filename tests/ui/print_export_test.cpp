// The shared saving, loading and printing routines, with fake dialogs and printing into
// PDF files that are rendered back to images.
#include "ui/print_export.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QApplication>
#include <QDialogButtonBox>
#include <QFileInfo>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QTranslator>
#include <filesystem>
#include <fstream>

#include "common/file_io.h"
#include "fakes/recording_sink.h"
#include "fakes/scratch_folder.h"
#include "ui/dialog_screen_fit.h"
#include "ui/fake_export_dialogs.h"
#include "ui/pdf_pages.h"
#include "ui/qt_translations.h"
#include "ui/screen_picture.h"

namespace tern::testing {
namespace {

std::string contentOf(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

class PrintExportTest : public ::testing::Test {
 protected:
  QString path(const char* name) const { return QString::fromStdString((dir_ / name).string()); }
  ExportContext context() { return {dialogs_, sink_}; }
  // A printer as the fake dialog leaves it: PDF into `name`.
  std::unique_ptr<QPrinter> pdfPrinter(const char* name, QPageLayout::Orientation orientation) {
    auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    printer->setPageSize(QPageSize(QPageSize::A4));
    printer->setPageOrientation(orientation);
    dialogs_.pdfPath = path(name);
    EXPECT_TRUE(dialogs_.confirmPrint(*printer, false));
    return printer;
  }

  ScratchFolder dir_{"tern_print_export"};
  FakeExportDialogs dialogs_;
  RecordingSink sink_;
};

TEST_F(PrintExportTest, SaveProposesTheNameAsksBeforeOverwritingAndWritesUtf8Lines) {
  dialogs_.saveAnswer = path("FQEW22.TXT");
  EXPECT_EQ(saveTextLinesAs(context(), "FQEW22.TXT", {"Böen", "", "Ende"}), ExportResult::Done);
  EXPECT_EQ(dialogs_.proposed, "FQEW22.TXT");
  EXPECT_EQ(dialogs_.saveFilter, textFileFilter());
  EXPECT_TRUE(sink_.questions.empty());
  EXPECT_EQ(contentOf(dir_ / "FQEW22.TXT"), "Böen\n\nEnde\n");

  sink_.answer = false;
  EXPECT_EQ(saveTextLinesAs(context(), "FQEW22.TXT", {"neu"}), ExportResult::Cancelled);
  ASSERT_EQ(sink_.questions.size(), 1u);
  EXPECT_EQ(sink_.questions[0], "Die Datei FQEW22.TXT existiert bereits! Datei überschreiben?");
  EXPECT_EQ(contentOf(dir_ / "FQEW22.TXT"), "Böen\n\nEnde\n");

  sink_.answer = true;
  EXPECT_EQ(saveTextLinesAs(context(), "FQEW22.TXT", {"neu"}), ExportResult::Done);
  EXPECT_EQ(contentOf(dir_ / "FQEW22.TXT"), "neu\n");

  dialogs_.saveAnswer.reset();
  EXPECT_EQ(saveTextLinesAs(context(), "X.TXT", {"a"}), ExportResult::Cancelled);
  EXPECT_TRUE(sink_.texts.empty());
}

TEST_F(PrintExportTest, SaveIntoAReadOnlyFolderReportsTheFileAndLeavesNothing) {
  // Root writes into any folder whose mode says read-only; /proc refuses new files to all.
  const bool root = ::geteuid() == 0;
  const QString target = root ? QStringLiteral("/proc/tern-save-test.txt") : path("a.txt");
  if (!root) ::chmod(dir_.c_str(), 0555);
  dialogs_.saveAnswer = target;
  EXPECT_EQ(saveTextLinesAs(context(), "a.txt", {"x"}), ExportResult::Failed);
  ::chmod(dir_.c_str(), 0755);
  EXPECT_FALSE(QFileInfo::exists(target));
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir_), {}), 0);
  ASSERT_EQ(sink_.texts.size(), 1u);
  EXPECT_EQ(sink_.texts[0].rfind(
                "Die Datei " + target.toStdString() + " konnte nicht gespeichert werden.", 0),
            0u);
}

TEST_F(PrintExportTest, SaveIntoAMissingFolderReportsTheFile) {
  dialogs_.saveAnswer = path("gone/a.bmp");
  QImage image(4, 4, QImage::Format_RGB32);
  image.fill(Qt::white);
  EXPECT_EQ(saveImageAs(context(), "a.bmp", image), ExportResult::Failed);
  EXPECT_EQ(dialogs_.saveFilter, bitmapFileFilter());
  ASSERT_EQ(sink_.texts.size(), 1u);
  EXPECT_NE(sink_.texts[0].find("gone/a.bmp konnte nicht gespeichert werden."), std::string::npos);
}

TEST_F(PrintExportTest, ASaveInterruptedAfterTheTemporaryWriteLeavesTheOldFileWhole) {
  { std::ofstream(dir_ / "old.txt") << "old content\n"; }
  // The write reaches the temporary file, then the program dies before the rename.
  std::string temporary;
  const FileReplacer interrupted = [&](const std::string& target, ByteView data) {
    temporary = target + ".tmp-crash";
    replaceFileAtomically(temporary, data);
    return FileStatus::failure(EIO, "interrupted");
  };
  dialogs_.saveAnswer = path("old.txt");
  sink_.answer = true;
  EXPECT_EQ(saveTextLinesAs(context(), "old.txt", {"new content"}, interrupted),
            ExportResult::Failed);
  EXPECT_EQ(contentOf(dir_ / "old.txt"), "old content\n");
  EXPECT_EQ(contentOf(temporary), "new content\n");
  EXPECT_NE(sink_.last().find("old.txt konnte nicht gespeichert werden."), std::string::npos);
}

TEST_F(PrintExportTest, SavedImageIsABitmapOfTheSameSize) {
  QImage image(30, 20, QImage::Format_RGB32);
  image.fill(Qt::red);
  dialogs_.saveAnswer = path("Barographdaten.bmp");
  EXPECT_EQ(saveImageAs(context(), "Barographdaten.bmp", image), ExportResult::Done);
  QImage back(path("Barographdaten.bmp"), "BMP");
  EXPECT_EQ(back.size(), QSize(30, 20));
  EXPECT_EQ(back.pixelColor(5, 5), QColor(Qt::red));
}

TEST_F(PrintExportTest, LoadReadsUtf8OrLatin1AndRefusesHugeOrMissingFiles) {
  EXPECT_FALSE(loadTextLines(context()));  // cancelled
  EXPECT_EQ(dialogs_.openFilter, textFileFilter());
  {
    std::ofstream(dir_ / "latin1.txt", std::ios::binary) << "B\xF6"
                                                            "en\r\nSee";
  }
  dialogs_.openAnswer = path("latin1.txt");
  EXPECT_EQ(loadTextLines(context()), (QStringList{"Böen", "See"}));

  { std::ofstream(dir_ / "big.txt", std::ios::binary) << std::string(5 * 1024 * 1024, 'x'); }
  dialogs_.openAnswer = path("big.txt");
  EXPECT_FALSE(loadTextLines(context()));
  EXPECT_EQ(sink_.last(),
            "Die Datei " + path("big.txt").toStdString() + " ist zu groß (höchstens 4 MB).");
  dialogs_.openAnswer = path("none.txt");
  EXPECT_FALSE(loadTextLines(context()));
  EXPECT_EQ(sink_.last().rfind(
                "Die Datei " + path("none.txt").toStdString() + " konnte nicht gelesen werden.", 0),
            0u);
}

TEST_F(PrintExportTest, SelectionSeparatorsBecomeLineEnds) {
  EXPECT_EQ(selectionLines(QStringLiteral("a\u2029b\u2028c")), (QStringList{"a", "b", "c"}));
  EXPECT_EQ(selectionLines(QStringLiteral("  x  ")), (QStringList{"  x  "}));
}

TEST_F(PrintExportTest, WideImageFillsThePageWidthTallOneTheHeight) {
  struct Case {
    const char* file;
    QSize size;
    bool fillsWidth;
  };
  for (const Case& c :
       {Case{"wide.pdf", {2400, 600}, true}, Case{"tall.pdf", {1800, 2400}, false}}) {
    SCOPED_TRACE(c.file);
    auto printer = pdfPrinter(c.file, QPageLayout::Landscape);
    QImage image(c.size, QImage::Format_RGB32);
    image.fill(Qt::black);
    ASSERT_TRUE(PrintImage(*printer, image, 100, sink_));
    EXPECT_EQ(pdfPageCount(path(c.file)), 1);
    const QRectF paint = printer->pageLayout().paintRect(QPageLayout::Point);
    const QRect ink = inkBounds(renderPdfPage(path(c.file), 1));
    EXPECT_NEAR(ink.left(), paint.left(), 2);
    EXPECT_NEAR(ink.top(), paint.top(), 2);
    if (c.fillsWidth) {
      EXPECT_NEAR(ink.width(), paint.width(), 2);
      EXPECT_NEAR(ink.height(), paint.width() * c.size.height() / c.size.width(), 2);
    } else {
      EXPECT_NEAR(ink.height(), paint.height(), 2);
      EXPECT_NEAR(ink.width(), paint.height() * c.size.width() / c.size.height(), 2);
    }
  }
  EXPECT_TRUE(sink_.texts.empty());
}

TEST_F(PrintExportTest, EmptyImagePrintsNothing) {
  auto printer = pdfPrinter("empty.pdf", QPageLayout::Landscape);
  EXPECT_TRUE(PrintImage(*printer, QImage(), 100, sink_));
  EXPECT_TRUE(PrintImage(*printer, QImage(0, 50, QImage::Format_RGB32), 100, sink_));
  EXPECT_FALSE(std::filesystem::exists(dir_ / "empty.pdf"));
}

TEST_F(PrintExportTest, LinesRunOntoFurtherPagesAndLongLinesAreNotCutOff) {
  auto printer = pdfPrinter("lines.pdf", QPageLayout::Portrait);
  QStringList lines;
  for (int i = 0; i < 150; ++i) lines << QStringLiteral("Zeile %1").arg(i);
  lines << QString(400, QLatin1Char('W'));
  ASSERT_TRUE(PrintLines(*printer, lines, QFont(QStringLiteral("Courier New"), 10), sink_));
  EXPECT_GE(pdfPageCount(path("lines.pdf")), 3);
  const QRectF paint = printer->pageLayout().paintRect(QPageLayout::Point);
  const QRect ink = inkBounds(renderPdfPage(path("lines.pdf"), 1));
  EXPECT_GE(ink.left(), paint.left() - 1);
  EXPECT_LE(ink.bottom(), paint.bottom() + 1);
}

TEST_F(PrintExportTest, APrinterThatFailsIsReportedByName) {
  QPrinter printer;
  printer.setOutputFormat(QPrinter::PdfFormat);
  printer.setOutputFileName(path("missing/out.pdf"));
  EXPECT_FALSE(PrintLines(printer, {"x"}, QFont(), sink_));
  EXPECT_EQ(sink_.last(),
            "Der Druck auf " + path("missing/out.pdf").toStdString() + " ist fehlgeschlagen.");
  QImage image(10, 10, QImage::Format_RGB32);
  EXPECT_FALSE(PrintImage(printer, image, 100, sink_));
  EXPECT_EQ(sink_.texts.size(), 2u);
}

// The print dialog unfolded ("Optionen >>") on an 800 x 480 panel: its contents scroll, its
// buttons stay in sight; on a desktop it grows to show every option without scrolling.
TEST(PrintDialogOnScreen, UnfoldedItKeepsWithinTheScreenAndItsButtonsInSight) {
  // In German, as the program shows it: the German captions are the wider ones.
  QTranslator* german = installGermanQtTexts(*QCoreApplication::instance());
  // 360 px high: lower than the unfolded dialog wherever it is drawn.
  for (const QRect screen :
       {QRect(0, 0, 800, 480), QRect(0, 0, 800, 360), QRect(0, 0, 1920, 1080)}) {
    QPrinter printer;
    QPrintDialog dialog(&printer);
    keepWithinScreen(dialog, screen);
    dialog.show();
    QApplication::processEvents();
    auto* box = dialog.findChild<QDialogButtonBox*>();
    ASSERT_NE(box, nullptr);
    QPushButton* unfold = nullptr;
    for (QAbstractButton* b : box->buttons())
      if (box->buttonRole(b) == QDialogButtonBox::ResetRole) unfold = qobject_cast<QPushButton*>(b);
    ASSERT_NE(unfold, nullptr);
    const int folded = dialog.height();
    unfold->click();
    for (int i = 0; i < 5; ++i) QApplication::processEvents();
    const std::string on = std::to_string(screen.height());
    EXPECT_GT(dialog.height(), folded) << on;
    EXPECT_TRUE(screen.contains(dialog.frameGeometry())) << on;
    for (QAbstractButton* b : box->buttons())
      EXPECT_TRUE(wholeInside(*b, dialog)) << on << " " << b->text().toStdString();
    auto* scroll = dialog.findChild<QScrollArea*>();
    ASSERT_NE(scroll, nullptr);
    if (screen.height() == 480) {
      saveScreenPicture(dialog, screen, "print-dialog-800x480");
    } else {
      EXPECT_EQ(scroll->verticalScrollBar()->isVisible(), screen.height() == 360) << on;
    }
  }
  if (german != nullptr) {
    QCoreApplication::removeTranslator(german);
    delete german;
  }
}

}  // namespace
}  // namespace tern::testing
