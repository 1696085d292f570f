// The main window's "Datei" commands on whatever the current page shows: save the shown
// message as text, the barograph, the SYNOP map or the fax chart as a bitmap; load a text
// file into a message memo; print the message, chart, map, fax or help page. The dialogs,
// the overwrite question, the writing and the printing are the shared routines of
// print_export.h; this file only decides, page by page, what to hand them.
#include <QAction>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPrinter>
#include <QTabWidget>
#include <QTextBrowser>
#include <QTextCursor>
#include <QToolButton>

#include "poll/get_data_thread.h"
#include "stores/dwd_store.h"
#include "stores/export_names.h"
#include "stores/fax_store.h"
#include "stores/navtex_store.h"
#include "ui/baro_chart.h"
#include "ui/fax_image_label.h"
#include "ui/main_form.h"
#include "ui/print_export.h"
#include "ui/system_info_form.h"
#include "ui/wind_map_view.h"

namespace tern {

namespace {

constexpr const char* kSelectFirst = "Bitte zuerst eine Meldung auswählen!";

bool isFaxPage(int page) { return page >= TMainForm::FaxDwd && page <= TMainForm::FaxNewOrleans; }

QStringList memoLines(const QPlainTextEdit& memo) {
  return memo.toPlainText().split(QLatin1Char('\n'));
}

}  // namespace

void TMainForm::SaveToolButtonClick() { SaveCurrent(); }
void TMainForm::LoadToolButtonClick() { LoadIntoMemo(); }
void TMainForm::PrintToolButtonClick() { PrintCurrent(); }
void TMainForm::SystemToolButtonClick() { SysteminfoForm->Execute(); }

QPlainTextEdit* TMainForm::currentMemo() const {
  switch (PageControl1->currentIndex()) {
    case WetterDeutsch:
      return DWDDeutschMemo;
    case WetterEnglisch:
      return DWDEnglischMemo;
    case Navtex:
      return NavtexMemo;
    default:
      return nullptr;
  }
}

std::string TMainForm::currentMessageKey() const {
  switch (PageControl1->currentIndex()) {
    case WetterDeutsch:
      return DWDDeutsch->CurrentKey();
    case WetterEnglisch:
      return DWDEnglisch->CurrentKey();
    case Navtex:
      return NavtexStore->CurrentKey();
    default:
      return {};
  }
}

// The wind map's picture; before the map was ever drawn, the page as it stands.
QImage TMainForm::synopPicture() const {
  if (!SynopMap->MapPicture().isNull()) return SynopMap->MapPicture();
  return tabSheets[Synop]->grab().toImage();
}

void TMainForm::SaveCurrent() {
  const int page = PageControl1->currentIndex();
  const ExportContext context{*dialogs_, *messages_};
  if (QPlainTextEdit* memo = currentMemo()) {
    const std::string key = currentMessageKey();
    if (key.empty()) {
      messages_->showMessage(MessageKind::Information, kSelectFirst);
      return;
    }
    saveTextLinesAs(context, QString::fromStdString(textFileName(key)), memoLines(*memo));
  } else if (page == Barograph) {
    saveImageAs(context, QString::fromUtf8(kBarographFileName), Chart1->grab().toImage());
  } else if (page == Synop) {
    saveImageAs(context, QString::fromUtf8(kSynopFileName), synopPicture());
  } else {
    // The fax pages, and the help page with the current fax station's selection.
    if (!Fax->SelectedKey()) {
      messages_->showMessage(MessageKind::Information, kSelectFirst);
      return;
    }
    if (!isFaxPage(page)) return;
    SaveImageAs();
    setFaxZoomButtons();  // the chart is now shown at full size
  }
}

void TMainForm::LoadIntoMemo() {
  QPlainTextEdit* memo = currentMemo();
  if (memo == nullptr) return;
  // Only the memo changes; the store and its tree keep the received message.
  if (std::optional<QStringList> lines = loadTextLines({*dialogs_, *messages_})) {
    memo->setPlainText(lines->join(QLatin1Char('\n')));
  }
}

void TMainForm::PrintCurrent() {
  const int page = PageControl1->currentIndex();
  QPrinter printer(QPrinter::HighResolution);
  if (QPlainTextEdit* memo = currentMemo()) {
    if (currentMessageKey().empty()) {
      messages_->showMessage(MessageKind::Information, kSelectFirst);
      return;
    }
    printer.setPageOrientation(QPageLayout::Portrait);
    if (!dialogs_->confirmPrint(printer, true)) return;
    const QStringList lines = printer.printRange() == QPrinter::Selection
                                  ? selectionLines(memo->textCursor().selectedText())
                                  : memoLines(*memo);
    PrintLines(printer, lines, memo->font(), *messages_);
  } else if (page == Barograph) {
    printer.setPageOrientation(QPageLayout::Landscape);
    if (dialogs_->confirmPrint(printer, false)) PrintWidget(printer, *Chart1, *messages_);
  } else if (page == Hilfe) {
    printer.setPageOrientation(QPageLayout::Portrait);
    if (!dialogs_->confirmPrint(printer, false)) return;
    WebBrowser1->document()->print(&printer);
    if (printer.printerState() == QPrinter::Error) {
      messages_->showMessage(MessageKind::Warning, printFailureText(printer));
    }
  } else if (page == Synop) {
    printer.setPageOrientation(QPageLayout::Landscape);
    if (dialogs_->confirmPrint(printer, false)) {
      PrintImage(printer, synopPicture(), 100, *messages_);
    }
  } else if (isFaxPage(page)) {
    if (Fax->HalfSize()) {
      Fax->RenderImage(false);
      setFaxZoomButtons();
    }
    printer.setPageOrientation(QPageLayout::Landscape);
    if (dialogs_->confirmPrint(printer, false)) {
      PrintImage(printer, FaxImageLabel::toImage(Fax->Picture()), 100, *messages_);
    }
  }
}

}  // namespace tern
