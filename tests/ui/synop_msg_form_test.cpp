// The SYNOP message window's saving and printing through the shared routines.
#include "ui/synop_msg_form.h"

#include <gtest/gtest.h>

#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextCursor>
#include <filesystem>
#include <fstream>

#include "fakes/recording_sink.h"
#include "fakes/scratch_folder.h"
#include "ui/fake_export_dialogs.h"
#include "ui/pdf_pages.h"

namespace tern::testing {
namespace {

class SynopMsgFormTest : public ::testing::Test {
 protected:
  void SetUp() override {
    form_.SetDialogs(&dialogs_);
    form_.SetReport({"  ZCZC 005", "* HELGOLAND SUEDWEST 5 18 KM", "  DEN HELDER NORD 4"},
                    "SXEN40");
  }
  QString path(const char* name) const { return QString::fromStdString((dir_ / name).string()); }
  std::string contentOf(const char* name) const {
    std::ifstream in(dir_ / name, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }

  ScratchFolder dir_{"tern_synop_msg"};
  FakeExportDialogs dialogs_;
  RecordingSink sink_;
  TSynopMsgForm form_{sink_};
};

TEST_F(SynopMsgFormTest, SaveProposesTheBulletinNameAndKeepsAFileTheUserKeeps) {
  dialogs_.saveAnswer = path("SXEN40.TXT");
  form_.SaveButton->click();
  EXPECT_EQ(dialogs_.proposed, "SXEN40.TXT");
  EXPECT_EQ(contentOf("SXEN40.TXT"),
            "  ZCZC 005\n* HELGOLAND SUEDWEST 5 18 KM\n  DEN HELDER NORD 4\n");

  form_.SetReport({"other"}, "SXEN40");
  sink_.answer = false;  // "Datei überschreiben?" No
  form_.SaveButton->click();
  ASSERT_EQ(sink_.questions.size(), 1u);
  EXPECT_EQ(sink_.questions[0], "Die Datei SXEN40.TXT existiert bereits! Datei überschreiben?");
  EXPECT_EQ(contentOf("SXEN40.TXT"),
            "  ZCZC 005\n* HELGOLAND SUEDWEST 5 18 KM\n  DEN HELDER NORD 4\n");
}

TEST_F(SynopMsgFormTest, PrintsAllLinesOrOnlyTheSelection) {
  dialogs_.pdfPath = path("all.pdf");
  form_.PrintButton->click();
  EXPECT_TRUE(dialogs_.selectionOffered);
  ASSERT_EQ(pdfPageCount(path("all.pdf")), 1);
  const QRect all = inkBounds(renderPdfPage(path("all.pdf"), 1));

  QTextCursor cursor = form_.Memo1->textCursor();
  cursor.setPosition(2);
  cursor.setPosition(6, QTextCursor::KeepAnchor);  // "ZCZC"
  form_.Memo1->setTextCursor(cursor);
  dialogs_.printSelection = true;
  dialogs_.pdfPath = path("selection.pdf");
  form_.PrintButton->click();
  ASSERT_EQ(pdfPageCount(path("selection.pdf")), 1);
  const QRect selection = inkBounds(renderPdfPage(path("selection.pdf"), 1));
  EXPECT_FALSE(selection.isEmpty());
  EXPECT_LT(selection.height(), all.height() / 2);  // one line, not three
  EXPECT_LT(selection.width(), all.width() / 2);
  EXPECT_TRUE(sink_.texts.empty());

  dialogs_.printAnswer = false;  // cancelled: nothing printed
  dialogs_.pdfPath = path("none.pdf");
  form_.PrintButton->click();
  EXPECT_FALSE(std::filesystem::exists(dir_ / "none.pdf"));
}

}  // namespace
}  // namespace tern::testing
