#include "cli/watch_view.h"

#include <iomanip>
#include <sstream>

#include "common/latin1.h"

namespace tern::cli {

void WatchView::ShowConnected() {
  accessProblem_.clear();
  if (connected_) return;
  connected_ = true;
  const TGetDataThread* pass = session_.Thread();
  auto identity = [](const std::string& text) { return text.empty() ? "nicht gelesen" : text; };
  log_.line("Empfänger verbunden (Firmware " + identity(pass ? pass->FirmwareText() : "") +
            ", Seriennummer " + identity(pass ? pass->SerialText() : "") + ")");
}

void WatchView::ShowDisconnected() {
  if (connected_.has_value() && !*connected_) return;
  connected_ = false;
  log_.line("Kein Empfänger");
}

void WatchView::ShowAccessProblem(const std::string& text) {
  if (text == accessProblem_) return;  // once, not every second
  accessProblem_ = text;
  log_.line(text);
}

void WatchView::BaroLoaded(std::int16_t pressure, std::int16_t) {
  std::ostringstream text;
  text << "Barometer gelesen: " << std::fixed << std::setprecision(1)
       << (pressure + 100000.0) / 100.0 << " hPa am Empfänger";
  log_.line(text.str());
}

void WatchView::WarnClock() {
  log_.line("Die Uhrzeit im Empfänger war ungültig. Evtl. ist die Batterie verbraucht!");
}

PollingView::ExportWork WatchView::ExportStep() {
  const std::string& folder = session_.Settings().ExportPath();
  if (folder.empty()) {
    log_.line("Export eingeschaltet, aber ohne Zielordner: nichts exportiert");
    return {};
  }
  return session_.PrepareExport(folder, {});
}

void WatchView::ExportFinished(const std::string& failure) {
  log_.line(failure.empty() ? "Export geschrieben nach " + session_.Settings().ExportPath()
                            : "Fehler beim Export: " + failure);
}

void WatchView::ShowReadAgain(const std::string& channel) {
  log_.line("Die gespeicherten " + channel +
            "-Daten waren beschädigt; sie werden vollständig neu aus dem Empfänger gelesen");
}

void WatchView::NavtexArrived(const std::vector<NavtexArrival>& arrivals) {
  std::string keys;
  for (const auto& a : arrivals) {
    // The key came over the air: control bytes escaped, so it cannot break the line.
    keys += (keys.empty() ? ": " : ", ") + printableLatin1(a.record.keyText()) + " " +
            std::to_string(a.frequencyKhz) + " kHz" + (a.shown ? "" : " (ausgeblendet)");
  }
  log_.line("Neue NAVTEX-Meldungen gespeichert" + keys);
}

void WatchView::AlertRaised(AlertKind, const std::string& alert) {
  log_.line("ALARM: " + alert);
  if (!options_.onAlert) return;
  if (auto failure = startAlertCommand(*options_.onAlert, alert); !failure.empty()) {
    log_.line("Fehler: " + failure);
  }
}

}  // namespace tern::cli
