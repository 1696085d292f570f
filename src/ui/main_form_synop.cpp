// The SYNOP page of the main window: the decoder as an application object, the map, the hint
// and the message window, and what activating the page does.
#include "poll/get_data_thread.h"
#include "synop/store_bulletin_source.h"
#include "synop/synop_decoder.h"
#include "ui/hint_form.h"
#include "ui/main_form.h"
#include "ui/synop_msg_form.h"
#include "ui/wind_map_view.h"

namespace tern {

void TMainForm::buildSynopViewer() {
  SynopDecoder = std::make_unique<TSynopDecoder>();
  SynopMsgForm = new TSynopMsgForm(*messages_, this);
  HintForm = new THintForm(this);
  SynopMap->SetHintForm(HintForm);
  SynopMap->SetPaused = [this](bool on) {
    if (GetDataThread) GetDataThread->Paused = on;
  };
  SynopMap->ShowReports = [this](const windmap::CellReports& shown) {
    SynopMsgForm->SetReport(shown.lines, shown.selectedName);
    SynopMsgForm->exec();
  };
}

// Runs on the window thread from the page change, never inside a hand-over: the bulletin
// source copies each row out under the store's lock, and decoding runs outside it.
void TMainForm::showSynopPage() {
  SynopDecoder->RebuildReports(StoreBulletinSource(*Store));
  SynopMap->DrawWindMap(SynopDecoder->ReportList());
  SynopMap->SetTimerActive(true);
}

void TMainForm::destroySynopViewer() {
  SynopMap->ForgetReports();
  SynopMap->SetPaused = nullptr;
  SynopMap->ShowReports = nullptr;
  SynopDecoder.reset();
}

}  // namespace tern
