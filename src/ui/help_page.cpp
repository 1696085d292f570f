#include "ui/help_page.h"

#include <QPrinter>
#include <QTextBrowser>
#include <QUrl>

#include "assembly/application_session.h"
#include "ui/print_export.h"

namespace tern {

HelpPage::HelpPage(const PageContext& context)
    : Page("HilfeTabSheet", context), browser_(new QTextBrowser) {
  browser_->setObjectName("WebBrowser1");
  browser_->setOpenExternalLinks(true);
  setContent(browser_);
}

PageCommands HelpPage::Commands() const { return {.print = true}; }

void HelpPage::Shown() { ShowManual(); }

void HelpPage::ShowManual() {
  // Read and laid out when first asked for, not while the window starts: 40 KB of HTML.
  if (!browser_->source().isEmpty()) return;
  browser_->setSource(QUrl::fromLocalFile(
      QString::fromStdString(context_.session.ProgramFolder() + "Hilfe/Bedienung.htm")));
}

void HelpPage::Print() {
  ShowManual();
  QPrinter printer(QPrinter::HighResolution);
  printer.setPageOrientation(QPageLayout::Portrait);
  if (!context_.dialogs.confirmPrint(printer, false)) return;
  browser_->document()->print(&printer);
  if (printer.printerState() == QPrinter::Error) {
    context_.messages.showMessage(MessageKind::Warning, printFailureText(printer));
  }
}

}  // namespace tern
