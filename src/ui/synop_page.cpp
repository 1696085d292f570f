#include "ui/synop_page.h"

#include <QCoreApplication>
#include <QPointer>
#include <QPrinter>

#include "assembly/application_session.h"
#include "presenters/export_names.h"
#include "synop/store_bulletin_source.h"
#include "ui/hint_form.h"
#include "ui/print_export.h"
#include "ui/synop_msg_form.h"
#include "ui/wind_map_view.h"

namespace tern {

SynopPage::SynopPage(const PageContext& context, QWidget* window)
    : Page("SynopTabSheet", context),
      map_(new WindMapView(context.session.ProgramFolder())),
      messageForm_(new TSynopMsgForm(context.messages, window)),
      hint_(new THintForm(window)),
      reports_(std::make_shared<const std::vector<TSynopType>>()) {
  refresher_.setMaxThreadCount(1);
  setContent(map_);
  map_->SetHintForm(hint_);
  ApplicationSession* session = &context.session;
  connect(map_, &WindMapView::pauseRequested, &links_,
          [session](bool on) { session->PausePolling(on); });
  connect(map_, &WindMapView::reportsClicked, &links_, [this](const windmap::CellReports& shown) {
    messageForm_->SetReport(shown.lines, shown.selectedName);
    messageForm_->exec();
  });
}

SynopPage::~SynopPage() {
  // A refresh still running uses the session, not the page; its answer finds no page.
  refresher_.waitForDone();
  // The map outlives the reports for a moment.
  map_->ForgetReports();
}

PageCommands SynopPage::Commands() const { return {.save = true, .print = true}; }

void SynopPage::Shown() {
  shown_ = true;
  reports_ = context_.session.Synop().Current();
  map_->DrawWindMap(*reports_);
  map_->SetTimerActive(true);
  if (refreshing_) return;  // the refresh under way answers for this showing too
  refreshing_ = true;
  SynopReports* synop = &context_.session.Synop();
  MessageStore* store = &context_.session.Store();
  refresher_.start([synop, store, page = QPointer<SynopPage>(this)] {
    synop->Refresh(StoreBulletinSource(*store));
    QMetaObject::invokeMethod(
        qApp,
        [page] {
          if (page) page->refreshDone();
        },
        Qt::QueuedConnection);
  });
}

void SynopPage::refreshDone() {
  refreshing_ = false;
  if (!shown_) return;  // the next showing takes the new list
  SynopReportList now = context_.session.Synop().Current();
  if (now == reports_) return;
  reports_ = std::move(now);
  map_->DrawWindMap(*reports_);
}

void SynopPage::Hidden() {
  shown_ = false;
  map_->SetTimerActive(false);
}

QImage SynopPage::picture() {
  if (!map_->MapPicture().isNull()) return map_->MapPicture();
  return grab().toImage();
}

void SynopPage::Save() {
  saveImageAs({context_.dialogs, context_.messages}, QString::fromUtf8(kSynopFileName), picture());
}

void SynopPage::Print() {
  QPrinter printer(QPrinter::HighResolution);
  printer.setPageOrientation(QPageLayout::Landscape);
  if (context_.dialogs.confirmPrint(printer, false)) {
    PrintImage(printer, picture(), 100, context_.messages);
  }
}

}  // namespace tern
