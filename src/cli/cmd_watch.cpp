// tern-cli watch: the polling thread without a window, for a boat computer without a screen.
// It runs the same passes as the window (the first connected pass sets the clock and sends
// the schedule block of the settings file; read-outs, ageing and data files as there) and
// logs every event with a UTC time stamp. With the automatic export switched on in the
// settings it runs the export after passes that brought data, as the window does (without
// the barograph picture, which only the window draws). Pressure falls and NAVTEX warnings
// (as the NAVTEX filter of the data folder chooses them) are logged as alerts and may start
// a command; the barometer, the alerts and the new NAVTEX messages go to the boat network
// (alerts/boat_network.h). The data-folder lock keeps the window and the service off each
// other's folder. With --http the service serves the read-only web page of the data folder
// (web/web_server.h); the view hands it the alerts and each arrival of new data.
//
// SIGTERM and SIGINT are blocked in every thread and taken by sigwait on the main thread,
// so no work happens inside a signal handler: the main thread closes the session, which stops
// the polling thread (it finishes its exchange with the receiver) and writes every data file.
#include <signal.h>

#include <iomanip>
#include <memory>
#include <optional>
#include <sstream>

#include "assembly/application_session.h"
#include "cli/cli_args.h"
#include "cli/commands.h"
#include "cli/stderr_sink.h"
#include "cli/watch_log.h"
#include "common/latin1.h"
#include "common/udp_sender.h"
#include "web/web_access.h"

namespace tern::cli {

namespace {

struct WatchOptions {
  std::optional<std::string> onAlert;
  std::optional<ListenAddress> http;
};

// What the window would show, as log lines. Runs on the polling thread (direct hand-over).
class LoggingView final : public PollingView {
 public:
  LoggingView(WatchLog& log, const Clock& clock, ApplicationSession& session,
              const WatchOptions& options)
      : log_(log), clock_(clock), session_(session), options_(options) {}

  void ShowConnected() override {
    accessProblem_.clear();
    if (connected_) return;
    connected_ = true;
    const TGetDataThread* pass = session_.Thread();
    auto identity = [](const std::string& text) { return text.empty() ? "nicht gelesen" : text; };
    log_.line("Empfänger verbunden (Firmware " + identity(pass ? pass->FirmwareText() : "") +
              ", Seriennummer " + identity(pass ? pass->SerialText() : "") + ")");
  }
  void ShowDisconnected() override {
    if (connected_.has_value() && !*connected_) return;
    connected_ = false;
    log_.line("Kein Empfänger");
  }
  void ShowAccessProblem(const std::string& text) override {
    if (text == accessProblem_) return;  // once, not every second
    accessProblem_ = text;
    log_.line(text);
  }
  void ShowStatus(const std::string&) override {}
  void BaroLoaded(std::int16_t pressure, std::int16_t temperature) override {
    std::ostringstream text;
    text << "Barometer gelesen: " << std::fixed << std::setprecision(1)
         << (pressure + 100000.0) / 100.0 << " hPa am Empfänger";
    log_.line(text.str());
    const CivilTime now = clock_.utcNow();
    auto news = session_.Alerts().BarometerRead(pressure, temperature,
                                                session_.Settings().BaroHeight(), now);
    session_.Web().SetBarometer(session_.Settings().BaroHeight(), temperature / 10.0);
    session_.Web().NoteNewData();
    for (const auto& alert : news.alerts) raise(AlertKind::Pressure, alert);
    logFailures(session_.Network().Send(news, now));
  }
  void FaxLoaded() override {
    log_.line("Neue Wetterkarten gespeichert");
    session_.Web().NoteNewData();
  }
  void DwdLoaded() override {
    log_.line("Neue DWD-Meldungen gespeichert");
    session_.Web().NoteNewData();
  }
  void NavtexLoaded() override {
    const CivilTime now = clock_.utcNow();
    auto news = session_.Alerts().NavtexRead(now);
    std::string keys;
    for (const auto& a : news.arrivals) {
      // The key came over the air: control bytes escaped, so it cannot break the line.
      keys += (keys.empty() ? ": " : ", ") + printableLatin1(a.record.keyText()) + " " +
              std::to_string(a.frequencyKhz) + " kHz" + (a.shown ? "" : " (ausgeblendet)");
    }
    log_.line("Neue NAVTEX-Meldungen gespeichert" + keys);
    session_.Web().NoteNewData();
    for (const auto& a : news.arrivals) {
      if (a.alert) raise(AlertKind::Navtex, *a.alert);
    }
    logFailures(news.problems);
    logFailures(session_.Network().Send(news, now));
  }
  void WarnClock() override {
    log_.line("Die Uhrzeit im Empfänger war ungültig. Evtl. ist die Batterie verbraucht!");
  }
  void ShowWriteFailure(const std::string& detail) override { log_.line("Fehler: " + detail); }
  ExportWork ExportStep() override {
    const std::string& folder = session_.Settings().ExportPath();
    if (folder.empty()) {
      log_.line("Export eingeschaltet, aber ohne Zielordner: nichts exportiert");
      return {};
    }
    return session_.PrepareExport(folder, {});
  }
  void ExportFinished(const std::string& failure) override {
    log_.line(failure.empty() ? "Export geschrieben nach " + session_.Settings().ExportPath()
                              : "Fehler beim Export: " + failure);
  }
  void ShowSkippedRecords() override { log_.line("Beschädigte Nachricht übersprungen"); }
  void ShowReadAgain(const std::string& channel) override {
    log_.line("Die gespeicherten " + channel +
              "-Daten waren beschädigt; sie werden vollständig neu aus dem Empfänger gelesen");
  }

 private:
  void logFailures(const std::vector<std::string>& failures) {
    for (const auto& failure : failures) log_.line("Fehler: " + failure);
  }
  void raise(AlertKind kind, const std::string& alert) {
    log_.line("ALARM: " + alert);
    history_.Add(kind, alert, clock_.utcNow());
    session_.Web().SetAlerts(history_.Entries());
    if (!options_.onAlert) return;
    if (auto failure = startAlertCommand(*options_.onAlert, alert); !failure.empty()) {
      log_.line("Fehler: " + failure);
    }
  }

  WatchLog& log_;
  const Clock& clock_;
  ApplicationSession& session_;
  const WatchOptions& options_;
  std::optional<bool> connected_;
  std::string accessProblem_;  // the last one logged
  AlertHistory history_;       // for the web page
};

}  // namespace

int cmdWatch(const Words& words) {
  Args args(words, {"--data-folder", "--program-folder", "--port", "--on-alert", "--nmea-udp",
                    "--signalk", "--http"});
  if (int status = refuseOptions(args, {"--simulate"}, "watch")) return status;
  if (int status = refuseArguments(args)) return status;
  int status = 0;
  std::optional<SessionOptions> chosen = writerSessionOptions(args, "watch", status);
  if (!chosen) return status;
  WatchOptions options;
  options.onAlert = args.value("--on-alert");
  chosen->network = {args.values("--nmea-udp"), args.values("--signalk")};
  for (const char* option : {"--nmea-udp", "--signalk"}) {
    for (const auto& target : args.values(option)) {
      if (!parseUdpTarget(target)) {
        return fail(std::string(option) + " braucht HOST:PORT, nicht '" + target + "'");
      }
    }
  }
  if (auto http = args.value("--http")) {
    ListenAddressText address = parseListenAddress(*http);
    if (!address.address) return fail("--http: " + address.problem);
    options.http = address.address;
  }
  SystemClock clock;
  ApplicationSession session(*chosen, clock);
  if (int refused = requireOwnDataFolder(session)) return refused;
  const std::string& data = session.DataFolder();

  // Blocked before any thread starts, so every thread inherits the mask and only sigwait
  // below receives them.
  sigset_t stopSignals;
  sigemptyset(&stopSignals);
  sigaddset(&stopSignals, SIGTERM);
  sigaddset(&stopSignals, SIGINT);
  pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);

  WatchLog log(clock);
  StderrSink sink;
  session.Open(sink);
  if (!session.NetworkProblems().empty()) return fail(session.NetworkProblems().front(), 1);
  DirectHandOver handOver;
  LoggingView view(log, clock, session, options);
  session.Attach(view, handOver);
  log.line("TERN-Dienst gestartet, Datenordner " + data);
  for (const MessageStore::LoadProblem& p : session.Store().loadProblems()) {
    log.line(std::string(p.result == LoadResult::Unreadable ? "Nicht lesbar, bleibt unverändert: "
                                                            : "Beschädigt: ") +
             p.reason);
  }
  if (!session.Settings().SettingsUsable())
    log.line(unusableSettingsText(session.Settings().SettingsPath()));
  if (!session.FilterProblem().empty()) log.line("Fehler: " + session.FilterProblem());
  if (options.http) {
    // A page that was asked for and cannot be served ends the service, as a boat network
    // target does: the service manager shows why instead of a service without its page.
    const WebPageStart web =
        session.StartWebPage(*options.http, [&log](const std::string& line) { log.line(line); });
    if (!web.problem.empty()) return fail(web.problem, 1);
    log.line("Web-Seite: " + web.url);
    if (!web.warning.empty()) log.line("Web-Seite: " + web.warning);
    if (!web.tokenFile.empty() && web.url.find("?token=") == std::string::npos)
      log.line("Web-Seite: der Zugangsschlüssel steht in " + web.tokenFile);
  }
  session.Polling().Start();

  int signal = 0;
  sigwait(&stopSignals, &signal);
  log.line(std::string("Signal ") + (signal == SIGTERM ? "SIGTERM" : "SIGINT") +
           " empfangen, beende");
  const std::string failure = session.Close();
  const bool saved = failure.empty();
  if (!saved) log.line("Fehler: " + failure);
  reapAlertCommands();
  // A stop in the middle of a read-out leaves the files at the state before it; the last
  // line must not claim everything was read and written.
  std::string cut;
  const TGetDataThread::PassReport& last = session.FinalPass();
  if (last.barometerFailed) cut = "Barometer";
  for (const std::string& channel : last.interrupted)
    cut += (cut.empty() ? "" : ", ") + channelCaption(channel);
  if (!saved) {
    log.line("Beendet, nicht alles geschrieben");
  } else if (!cut.empty()) {
    log.line("Beendet, Lesen unterbrochen (" + cut + "); geschrieben ist, was ganz gelesen war");
  } else {
    log.line("Alle Datendateien geschrieben, beendet");
  }
  return saved ? 0 : 1;
}

}  // namespace tern::cli
