// Saving, loading and printing on every page of the main window, with the simulated
// receiver's messages, fake file and print dialogs, and printing into PDF files.
#include <QAction>
#include <QImage>
#include <QLabel>
#include <QPlainTextEdit>
#include <QProcess>
#include <QTabWidget>
#include <QTextBlock>
#include <QTextCursor>
#include <QToolButton>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "common/page_fit.h"
#include "fakes/recording_sink.h"
#include "fax/fax_image.h"
#include "link/ttern.h"
#include "messages/channels.h"
#include "messages/message_store.h"
#include "presenters/dwd_store.h"
#include "presenters/fax_store.h"
#include "readout/readouts.h"
#include "ui/fake_export_dialogs.h"
#include "ui/main_form_fixture.h"
#include "ui/pdf_pages.h"

namespace tern::testing {
namespace {

constexpr const char* kSelectFirst = "Bitte zuerst eine Meldung auswählen!";

std::string contentOf(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

class ExportTest : public MainFormTest {
 protected:
  void SetUp() override {
    MainFormTest::SetUp();
    context_.messages = &sink;
    context_.dialogs = &dialogs;
    {
      PollingOwner::ExclusiveLink taken = takeLink();
      TTERN& link = taken.Link();
      ASSERT_TRUE(ReadDwd(link, store(), clock_, true));
      ASSERT_TRUE(ReadFax(link, store(), clock_, true));
      ASSERT_TRUE(ReadBarometer(link, store(), clock_));
      polled().DwdLoaded();
      polled().FaxLoaded();
      polled().BaroLoaded(link.Pressure, link.Temperature);
    }
    form().show();
    form().StartupTimerTimer();
  }
  QString path(const char* name) const { return QString::fromStdString((root_ / name).string()); }
  // Opens a page and selects the first leaf of `tree` that carries a message.
  void selectFirst(int page, QTreeWidget* tree) {
    tabs()->setCurrentIndex(page);
    QTreeWidgetItemIterator it(tree, QTreeWidgetItemIterator::NoChildren);
    while (*it != nullptr && (*it)->data(0, Qt::UserRole + 1).toLongLong() <= 0) ++it;
    ASSERT_NE(*it, nullptr);
    tree->setCurrentItem(*it);
  }
  void openFirstChart() { selectFirst(MainTab::FaxDwd, faxPage(0)->Tree()); }

  RecordingSink sink;
  FakeExportDialogs dialogs;
};

TEST_F(ExportTest, MessagePagesWithoutASelectionAskForOne) {
  for (int page : {MainTab::WetterDeutsch, MainTab::WetterEnglisch, MainTab::Navtex}) {
    tabs()->setCurrentIndex(page);
    sink.texts.clear();
    button("SaveToolButton")->click();
    button("PrintToolButton")->click();
    EXPECT_EQ(sink.texts, (std::vector<std::string>{kSelectFirst, kSelectFirst})) << page;
    EXPECT_EQ(sink.kinds.back(), MessageKind::Information);
  }
  EXPECT_EQ(dialogs.saveCalls + dialogs.printCalls, 0);
}

TEST_F(ExportTest, SavingABulletinProposesItsKeyAndAsksBeforeOverwriting) {
  selectFirst(MainTab::WetterDeutsch, named<QTreeWidget>("DWDDeutschTreeView"));
  const std::string key = bulletins(0).CurrentKey();
  ASSERT_FALSE(key.empty());

  button("SaveToolButton")->click();  // cancelled
  EXPECT_EQ(dialogs.proposed.toStdString(), key + ".TXT");
  EXPECT_EQ(dialogs.saveFilter, textFileFilter());
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(root_.path()), {}), 1);  // share/

  dialogs.saveAnswer = path("bulletin.txt");
  action("SpeichernItem")->trigger();
  const std::string memo = named<QPlainTextEdit>("DWDDeutschMemo")->toPlainText().toStdString();
  EXPECT_EQ(contentOf(root_ / "bulletin.txt"), memo + "\n");

  { std::ofstream(root_ / "bulletin.txt") << "old"; }
  sink.answer = false;
  button("SaveToolButton")->click();
  ASSERT_EQ(sink.questions.size(), 1u);
  EXPECT_EQ(sink.questions[0], "Die Datei bulletin.txt existiert bereits! Datei überschreiben?");
  EXPECT_EQ(contentOf(root_ / "bulletin.txt"), "old");
  sink.answer = true;
  button("SaveToolButton")->click();
  EXPECT_EQ(contentOf(root_ / "bulletin.txt"), memo + "\n");
  EXPECT_TRUE(sink.texts.empty());
}

TEST_F(ExportTest, FqewBulletinProposesFqew22Txt) {
  {
    std::lock_guard lock(store().mutex());
    MessageRecord& r = store().table(1).slot(0, 0);
    r.header = makeHeader(4, 5, "FQEW22", {2026, 12, 8, 10, 0, 0, 0});
    r.data = Bytes{'G', 'A', 'L', 'E', '='};
    r.newFlag = 1;
    r.serial = store().nextSerial();
  }
  polled().DwdLoaded();
  QTreeWidget* tree = named<QTreeWidget>("DWDEnglischDeutschTreeView");
  tabs()->setCurrentIndex(MainTab::WetterEnglisch);
  QTreeWidgetItemIterator it(tree);
  while (*it != nullptr && bulletins(1).CurrentKey() != "FQEW22") {
    if ((*it)->data(0, Qt::UserRole + 1).toLongLong() > 0) tree->setCurrentItem(*it);
    ++it;
  }
  ASSERT_EQ(bulletins(1).CurrentKey(), "FQEW22");
  button("SaveToolButton")->click();
  EXPECT_EQ(dialogs.proposed, "FQEW22.TXT");
}

TEST_F(ExportTest, LoadReplacesTheMemoOnlyOnMessagePages) {
  selectFirst(MainTab::WetterDeutsch, named<QTreeWidget>("DWDDeutschTreeView"));
  const std::string key = bulletins(0).CurrentKey();
  {
    std::ofstream(root_ / "old.txt", std::ios::binary) << "Nordsee: S\xFC"
                                                          "d 6\r\n";
  }
  dialogs.openAnswer = path("old.txt");
  button("LoadToolButton")->click();
  EXPECT_EQ(dialogs.openFilter, textFileFilter());
  EXPECT_EQ(named<QPlainTextEdit>("DWDDeutschMemo")->toPlainText(),
            QStringLiteral("Nordsee: Süd 6"));
  EXPECT_EQ(bulletins(0).CurrentKey(), key);  // the store is not changed

  for (int page : {MainTab::Barograph, MainTab::Synop, MainTab::FaxDwd, MainTab::Hilfe}) {
    tabs()->setCurrentIndex(page);
    currentPage().Load();  // the button is disabled there; the command does nothing
  }
  EXPECT_EQ(dialogs.openCalls, 1);
}

TEST_F(ExportTest, PrintingPartOfAnEnglishBulletinPrintsOnlyTheSelection) {
  selectFirst(MainTab::WetterEnglisch, named<QTreeWidget>("DWDEnglischDeutschTreeView"));
  QPlainTextEdit* memo = named<QPlainTextEdit>("DWDEnglischMemo");
  ASSERT_GE(memo->blockCount(), 3);
  // Select the second and third lines.
  QTextCursor cursor(memo->document()->findBlockByNumber(1));
  cursor.movePosition(QTextCursor::NextBlock, QTextCursor::KeepAnchor);
  cursor.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
  memo->setTextCursor(cursor);
  const QString second = memo->document()->findBlockByNumber(1).text().trimmed();
  const QString first = memo->document()->findBlockByNumber(0).text().trimmed();
  ASSERT_FALSE(second.isEmpty());

  dialogs.pdfPath = path("selection.pdf");
  dialogs.printSelection = true;
  button("PrintToolButton")->click();
  EXPECT_TRUE(dialogs.selectionOffered);
  EXPECT_EQ(dialogs.orientation, QPageLayout::Portrait);
  const QString printed = pdfText(path("selection.pdf"));
  EXPECT_TRUE(printed.contains(second)) << printed.toStdString();
  EXPECT_FALSE(printed.contains(first)) << printed.toStdString();

  dialogs.pdfPath = path("all.pdf");
  dialogs.printSelection = false;
  action("DruckenItem")->trigger();
  EXPECT_TRUE(pdfText(path("all.pdf")).contains(first));
  EXPECT_EQ(pdfPageCount(path("all.pdf")), 1);
  EXPECT_TRUE(sink.texts.empty());
}

TEST_F(ExportTest, BarographSavesABitmapAndPrintsOneLandscapePage) {
  tabs()->setCurrentIndex(MainTab::Barograph);
  dialogs.saveAnswer = path("Barographdaten.bmp");
  button("SaveToolButton")->click();
  EXPECT_EQ(dialogs.proposed, "Barographdaten.bmp");
  EXPECT_EQ(dialogs.saveFilter, bitmapFileFilter());
  EXPECT_FALSE(QImage(path("Barographdaten.bmp"), "BMP").isNull());
  sink.answer = false;
  button("SaveToolButton")->click();  // the second save into the same folder asks
  EXPECT_EQ(sink.questions.size(), 1u);

  dialogs.pdfPath = path("baro.pdf");
  button("PrintToolButton")->click();
  EXPECT_EQ(dialogs.orientation, QPageLayout::Landscape);
  EXPECT_FALSE(dialogs.selectionOffered);
  EXPECT_EQ(pdfPageCount(path("baro.pdf")), 1);
  EXPECT_FALSE(inkBounds(renderPdfPage(path("baro.pdf"), 1)).isEmpty());
}

TEST_F(ExportTest, SynopPageSavesAndPrintsWhatItShows) {
  showSynopPage();
  dialogs.saveAnswer = path("Synopdaten.bmp");
  button("SaveToolButton")->click();
  EXPECT_EQ(dialogs.proposed, "Synopdaten.bmp");
  EXPECT_FALSE(QImage(path("Synopdaten.bmp"), "BMP").isNull());
  dialogs.pdfPath = path("synop.pdf");
  button("PrintToolButton")->click();
  EXPECT_EQ(dialogs.orientation, QPageLayout::Landscape);
  EXPECT_EQ(pdfPageCount(path("synop.pdf")), 1);
}

TEST_F(ExportTest, FaxSaveAndPrintShowTheChartAtFullSize) {
  openFirstChart();
  ASSERT_TRUE(fax().HalfSize());
  dialogs.saveAnswer.reset();
  button("SaveToolButton")->click();  // even a cancelled save leaves the chart at full size
  EXPECT_FALSE(fax().HalfSize());
  EXPECT_FALSE(button("BaroZoomInToolButton")->isEnabled());
  EXPECT_FALSE(action("ZoomInItem")->isEnabled());
  EXPECT_TRUE(button("BaroZoomOutToolButton")->isEnabled());
  EXPECT_TRUE(action("ZoomOutItem")->isEnabled());

  button("BaroZoomOutToolButton")->click();
  ASSERT_TRUE(fax().HalfSize());
  dialogs.printAnswer = false;
  button("PrintToolButton")->click();
  EXPECT_FALSE(fax().HalfSize());
  EXPECT_FALSE(button("BaroZoomInToolButton")->isEnabled());
  EXPECT_TRUE(action("ZoomOutItem")->isEnabled());
  EXPECT_FALSE(std::filesystem::exists(root_ / "fax.pdf"));

  dialogs.printAnswer = true;
  dialogs.pdfPath = path("fax.pdf");
  button("PrintToolButton")->click();
  EXPECT_EQ(dialogs.orientation, QPageLayout::Landscape);
  EXPECT_EQ(pdfPageCount(path("fax.pdf")), 1);
  // The README's sample of a printed page is taken from here.
  if (const char* keep = std::getenv("TERN_KEEP_PRINTED_FAX")) {
    std::filesystem::copy_file(root_ / "fax.pdf", keep,
                               std::filesystem::copy_options::overwrite_existing);
  }
  // The chart (1800 x lines) lies inside the rectangle the fitting gives, from the corner.
  const FaxPicture& chart = fax().Picture();
  QPrinter printer(QPrinter::HighResolution);
  printer.setPageOrientation(QPageLayout::Landscape);
  printer.setOutputFormat(QPrinter::PdfFormat);
  const QRectF paint = printer.pageLayout().paintRect(QPageLayout::Point);
  const FittedSize fit =
      fitToPage(chart.width, chart.height, qRound(paint.width()), qRound(paint.height()), 100);
  const QRect ink = inkBounds(renderPdfPage(path("fax.pdf"), 1));
  ASSERT_FALSE(ink.isEmpty());
  EXPECT_GE(ink.left(), paint.left() - 1);
  EXPECT_GE(ink.top(), paint.top() - 1);
  EXPECT_LE(ink.right(), paint.left() + fit.width + 1);
  EXPECT_LE(ink.bottom(), paint.top() + fit.height + 1);
}

TEST_F(ExportTest, FaxPagesWithoutARecordingAskForOneAndTheHelpPageSavesNothing) {
  tabs()->setCurrentIndex(MainTab::FaxDwd);
  faxPage(0)->Tree()->setCurrentItem(nullptr);
  button("SaveToolButton")->click();
  EXPECT_EQ(sink.last(), kSelectFirst);
  // The button is disabled on the help page; the page has nothing to save, with or
  // without a chart selected on a fax page.
  tabs()->setCurrentIndex(MainTab::Hilfe);
  currentPage().Save();
  openFirstChart();
  tabs()->setCurrentIndex(MainTab::Hilfe);
  currentPage().Save();
  EXPECT_EQ(sink.texts.size(), 1u);
  EXPECT_EQ(dialogs.saveCalls, 0);
}

TEST_F(ExportTest, HelpPagePrintsThroughTheBrowser) {
  tabs()->setCurrentIndex(MainTab::Hilfe);
  dialogs.pdfPath = path("hilfe.pdf");
  button("PrintToolButton")->click();
  EXPECT_EQ(dialogs.orientation, QPageLayout::Portrait);
  EXPECT_GE(pdfPageCount(path("hilfe.pdf")), 1);
}

TEST_F(ExportTest, ABadlyReceivedChartIsSavedWithItsNotice) {
  {
    std::lock_guard lock(store().mutex());
    for (int row = 0; row < store().table(kFirstFaxTable).rowCount(); ++row) {
      for (int slot = 0; slot < MessageTable::kSlots; ++slot) {
        MessageRecord& r = store().table(kFirstFaxTable).slot(row, slot);
        if (r.serial != 0) r.header[25] |= kQualityFlagBit;
      }
    }
  }
  openFirstChart();
  dialogs.saveAnswer = path("bad.bmp");
  button("SaveToolButton")->click();
  const QImage saved(path("bad.bmp"), "BMP");
  ASSERT_EQ(saved.size(), QSize(1800, 2400));
  // Ink where the notice stands, the rest of the picture white.
  EXPECT_FALSE(inkBounds(saved.copy(30, 30, 600, 30)).isEmpty());
  EXPECT_TRUE(inkBounds(saved.copy(0, 100, 1800, 2300)).isEmpty());
}

}  // namespace
}  // namespace tern::testing
