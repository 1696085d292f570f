// tern-cli watch: the polling thread without a window, for a boat computer without a screen.
// It runs the same passes as the window (the first connected pass sets the clock and sends
// the schedule block of the settings file; read-outs, ageing and data files as there) and
// logs every event with a UTC time stamp. With the automatic export switched on in the
// settings it runs the export after passes that brought data, as the window does (without
// the barograph picture, which only the window draws). Pressure falls and NAVTEX warnings
// (as the NAVTEX filter of the data folder chooses them) are logged as alerts and may start
// a command; the barometer, the alerts and the new NAVTEX messages go to the boat network
// (alerts/boat_network.h): all of it the session's news (assembly/readout_news.h), handed out
// as in the window, which the service only logs. The data-folder lock keeps the window and the
// service off each other's folder. With --http the service serves the read-only web page of the
// data folder (web/web_server.h), fed by the same news.
//
// SIGTERM, SIGINT and SIGHUP (the terminal of an ssh session closed) are blocked in every
// thread and taken by sigwait on the main thread, so no work happens inside a signal
// handler: the main thread closes the session, which stops the polling thread (it finishes
// its exchange with the receiver) and writes every data file.
#include <signal.h>

#include <memory>
#include <optional>

#include "assembly/application_session.h"
#include "cli/cli_args.h"
#include "cli/commands.h"
#include "cli/stderr_sink.h"
#include "cli/watch_log.h"
#include "cli/watch_view.h"
#include "common/udp_sender.h"
#include "web/web_access.h"

namespace tern::cli {

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
  sigaddset(&stopSignals, SIGHUP);
  pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);

  WatchLog log(clock);
  StderrSink sink;
  session.Open(sink);
  DirectHandOver handOver;
  WatchView view(log, session, options);
  session.Attach(view, handOver, &view);
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
  log.line(std::string("Signal ") +
           (signal == SIGTERM  ? "SIGTERM"
            : signal == SIGHUP ? "SIGHUP"
                               : "SIGINT") +
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
