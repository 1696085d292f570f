// What the main window shows for the polling thread: receiver presence, activity, the busy
// bar and the reception-test entries. Runs on the window thread inside hand-overs.
#include <QAction>
#include <QLabel>
#include <QLineSeries>
#include <QProgressBar>
#include <QTabWidget>
#include <QToolButton>

#include "link/ttern.h"
#include "stores/barograph_store.h"
#include "stores/dwd_store.h"
#include "stores/fax_store.h"
#include "stores/navtex_store.h"
#include "ui/alert_notifier.h"
#include "ui/main_form.h"
#include "ui/qt_message_sink.h"
#include "ui/status_bar.h"

namespace tern {

namespace {
const QColor kLiveChart(0, 0, 255);
const QColor kStoredChart(0, 0, 0);
}  // namespace

void TMainForm::ShowConnected() {
  BusyProgressBar->setValue(0);
  StatusBar1->setPanelText(0, QString());
  if (PageControl1->currentIndex() == Navtex) {
    StatusBar1->setPanelText(2, QString::fromStdString(NavtexStore->StatusText()));
  }
  Series1->setColor(kLiveChart);
  StatusBar1->setPanelText(5, QStringLiteral("Empfänger angeschlossen."));
  StatusBar1->setNotice(QString());
  EmpfangstestItem->setEnabled(true);
  ReceiveTestToolButton->setEnabled(true);
}

void TMainForm::ShowDisconnected() {
  for (int panel : {0, 2}) StatusBar1->setPanelText(panel, QString());
  if (exportFailure_.empty()) StatusBar1->setPanelText(3, QString());  // export trouble stays
  StatusBar1->setPanelText(5, QStringLiteral("Kein Empfänger angeschlossen."));
  StatusBar1->setNotice(QString());
  BusyProgressBar->setValue(0);
  Series1->setColor(kStoredChart);
  ParameterLabel->clear();
  EmpfangstestItem->setEnabled(false);
  ReceiveTestToolButton->setEnabled(false);
}

void TMainForm::ShowAccessProblem(const std::string& text) {
  // Too long for a panel: the reason and the remedy lie over the panels that are empty now.
  StatusBar1->setPanelText(5, QStringLiteral("Kein Zugriff auf den Empfänger."));
  StatusBar1->setNotice(QString::fromStdString(text));
}

void TMainForm::ShowStatus(const std::string& text) {
  StatusBar1->setPanelText(0, QString::fromStdString(text));
}

void TMainForm::BaroLoaded(std::int16_t pressure, std::int16_t temperature) {
  StatusBar1->setPanelText(0, QStringLiteral("Barometer Daten geladen."));
  Baro->SetReadings(pressure, temperature);
  Baro->DrawChart();
  showParameters();
  Alerts->BarometerRead(pressure, temperature, Baro->StationHeight);
}

void TMainForm::FaxLoaded() {
  Fax->BuildTree();
  StatusBar1->setPanelText(0, QStringLiteral("FAX Daten geladen."));
}

void TMainForm::DwdLoaded() {
  DWDDeutsch->BuildTree();
  DWDEnglisch->BuildTree();
  StatusBar1->setPanelText(0, QStringLiteral("DWD Daten geladen."));
}

void TMainForm::NavtexLoaded() {
  StatusBar1->setPanelText(0, QStringLiteral("NAVTEX Daten geladen."));
  NavtexStore->BuildTree();
  Alerts->NavtexRead();
}

void TMainForm::WarnClock() {
  messages_->showMessage(
      MessageKind::Warning,
      "Die Uhrzeit im Empfänger war ungültig. Evtl. ist die Batterie verbraucht!");
}

void TMainForm::ShowWriteFailure(const std::string& detail) {
  StatusBar1->setPanelText(0, QStringLiteral("Daten nicht gespeichert!"));
  // Told once per run: the messages stay in memory and every read-out tries again.
  if (writeFailureShown_) return;
  writeFailureShown_ = true;
  messages_->showMessage(MessageKind::Warning,
                         "Die empfangenen Daten konnten nicht gespeichert werden. Sie bleiben im "
                         "Programm erhalten und werden erneut gespeichert.\n\n" +
                             detail);
}

void TMainForm::ShowSkippedRecords() {
  // Panel 3 keeps it until the receiver goes away; the thread tells it once per session.
  StatusBar1->setPanelText(3, QStringLiteral("Beschädigte Nachricht übersprungen."));
}

}  // namespace tern
