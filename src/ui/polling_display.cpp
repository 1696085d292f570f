#include "ui/polling_display.h"

#include <QLabel>
#include <QProgressBar>
#include <QTabWidget>

#include "assembly/application_session.h"
#include "presenters/fax_store.h"
#include "ui/barograph_page.h"
#include "ui/empty_tree_note.h"
#include "ui/fax_notice.h"
#include "ui/main_commands.h"
#include "ui/message_pages.h"
#include "ui/status_bar.h"

namespace tern {

namespace {
constexpr int kExportPanel = 3;
constexpr const char* kNoExportFolderText = "Bitte Zielpfad einstellen.";
}  // namespace

void PollingDisplay::ShowConnected() {
  parts_.statusBar.BusyBar()->setValue(0);
  parts_.statusBar.setPanelText(0, QString());
  parts_.statusBar.setPanelText(2, static_cast<Page*>(parts_.pages.currentWidget())->StatusText());
  parts_.barograph.SetLive(true);
  parts_.statusBar.setPanelText(5, QStringLiteral("Empfänger angeschlossen."));
  accessProblem_.clear();
  showNotice();
  parts_.commands.SetReceiverPresent(true);
}

void PollingDisplay::ShowDisconnected() {
  for (int panel : {0, 2}) parts_.statusBar.setPanelText(panel, QString());
  if (exportFailure_.empty()) parts_.statusBar.setPanelText(3, QString());  // export trouble stays
  parts_.statusBar.setPanelText(5, QStringLiteral("Kein Empfänger angeschlossen."));
  accessProblem_.clear();
  showNotice();
  parts_.statusBar.BusyBar()->setValue(0);
  parts_.barograph.SetLive(false);
  parts_.commands.SetParameterText(QString());
  parts_.commands.SetReceiverPresent(false);
}

void PollingDisplay::ShowAccessProblem(const std::string& text) {
  // Too long for a panel: the reason and the remedy lie over the panels that are empty now.
  parts_.statusBar.setPanelText(5, QStringLiteral("Kein Zugriff auf den Empfänger."));
  accessProblem_ = text;
  showNotice();
}

void PollingDisplay::ShowNothingChosen(bool nothing) {
  nothingChosen_ = nothing;
  showNotice();
}

void PollingDisplay::showNotice() {
  parts_.statusBar.setNotice(
      !accessProblem_.empty()
          ? QString::fromStdString(accessProblem_)
          : (nothingChosen_ ? QString::fromUtf8(kNothingChosenHint) : QString()));
}

void PollingDisplay::ShowStatus(const std::string& text) {
  parts_.statusBar.setPanelText(0, QString::fromStdString(text));
}

void PollingDisplay::BaroLoaded(std::int16_t pressure, std::int16_t temperature) {
  parts_.statusBar.setPanelText(0, QStringLiteral("Barometer Daten geladen."));
  parts_.barograph.ShowReadings(pressure, temperature);
  ShowParameters();
}

void PollingDisplay::FaxLoaded() {
  parts_.fax.BuildTree();
  parts_.statusBar.setPanelText(0, QStringLiteral("FAX Daten geladen."));
}

void PollingDisplay::DwdLoaded() {
  for (BulletinPage* page : parts_.bulletins) page->ShowNew();
  parts_.seaWeather.ShowNew();
  parts_.statusBar.setPanelText(0, QStringLiteral("DWD Daten geladen."));
}

void PollingDisplay::NavtexLoaded(const std::vector<NavtexAppended>&) {
  parts_.statusBar.setPanelText(0, QStringLiteral("NAVTEX Daten geladen."));
  parts_.navtex.ShowNew();
  // The filter's count of hidden messages changes with every new message.
  parts_.statusBar.setPanelText(2, static_cast<Page*>(parts_.pages.currentWidget())->StatusText());
}

void PollingDisplay::WarnClock() {
  parts_.messages.showMessage(
      MessageKind::Warning,
      "Die Uhrzeit im Empfänger war ungültig. Evtl. ist die Batterie verbraucht!");
}

void PollingDisplay::ShowWriteFailure(const std::string& detail) {
  parts_.statusBar.setPanelText(0, QStringLiteral("Daten nicht gespeichert!"));
  // Told once per run: the messages stay in memory and every read-out tries again.
  if (writeFailureShown_) return;
  writeFailureShown_ = true;
  parts_.messages.showMessage(
      MessageKind::Warning,
      "Die empfangenen Daten konnten nicht gespeichert werden. Sie bleiben im "
      "Programm erhalten und werden erneut gespeichert.\n\n" +
          detail);
}

void PollingDisplay::ShowSkippedRecords() {
  // Panel 3 keeps it until the receiver goes away; the thread tells it once per session.
  parts_.statusBar.setPanelText(3, QStringLiteral("Beschädigte Nachricht übersprungen."));
}

void PollingDisplay::ShowReadAgain(const std::string& channel) {
  const QString name = QString::fromStdString(channel);
  parts_.statusBar.setPanelText(3, QStringLiteral("%1 neu gelesen").arg(name));
  parts_.statusBar.panel(3)->setToolTip(
      QStringLiteral("Die gespeicherten %1-Daten waren beschädigt. Sie werden einmal vollständig "
                     "neu aus dem Empfänger gelesen.")
          .arg(name));
}

void PollingDisplay::ShowParameters() {
  parts_.commands.SetParameterText(parts_.barograph.ParameterText());
}

PollingView::ExportWork PollingDisplay::PrepareExport(const std::string& folder) {
  ExportInput input;
  input.baroPicture = parts_.barograph.Picture();
  // A chart the receiver marked as badly received is mirrored with its notice, as it is
  // saved by hand.
  input.drawNotice = withNoticeDrawn;
  return parts_.session.PrepareExport(folder, std::move(input));
}

PollingView::ExportWork PollingDisplay::ExportStep() {
  const std::string& folder = parts_.session.Settings().ExportPath();
  if (folder.empty()) {
    askForExportFolder();
    return {};
  }
  // The polling thread runs the writing right after this step and waits for it, so the
  // window stays responsive while the tables stay as they are.
  return PrepareExport(folder);
}

void PollingDisplay::ExportNow(const std::string& folder) {
  if (folder.empty()) return askForExportFolder();
  ExportFinished(PrepareExport(folder)());
}

void PollingDisplay::ExportSwitched(bool on) {
  parts_.session.Polling().SetAutoExport(on);
  if (on && parts_.session.Settings().ExportPath().empty()) {
    askForExportFolder();
  } else if (!on && exportFailure_ == kNoExportFolderText) {
    ExportFinished({});  // nothing asked of the user any more
  }
}

void PollingDisplay::askForExportFolder() {
  exportFailure_ = kNoExportFolderText;  // stays, as a failure would, until a folder is set
  parts_.statusBar.setPanelText(kExportPanel, QString::fromUtf8(kNoExportFolderText));
  parts_.statusBar.panel(kExportPanel)
      ->setToolTip(QStringLiteral("Der automatische Export ist eingeschaltet, aber noch ohne "
                                  "Zielordner: Konfiguration, „Meldungen exportieren“, "
                                  "„Zielpfad einstellen“."));
}

void PollingDisplay::ExportFinished(const std::string& failure) {
  exportFailure_ = failure;
  if (failure.empty()) {
    parts_.statusBar.setPanelText(kExportPanel, QString());
    parts_.statusBar.panel(kExportPanel)->setToolTip(QString());
    return;
  }
  parts_.statusBar.setPanelText(kExportPanel, QStringLiteral("Export fehlerhaft!"));
  parts_.statusBar.panel(kExportPanel)
      ->setToolTip(
          QStringLiteral("Der automatische Export konnte nicht alle Dateien schreiben:\n") +
          QString::fromStdString(failure));
}

}  // namespace tern
