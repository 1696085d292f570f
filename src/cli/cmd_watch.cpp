// tern-cli watch: the polling thread without a window, for a boat computer without a screen.
// It runs the same passes as the window (the first connected pass sets the clock and sends
// the schedule block of the settings file; read-outs, ageing and data files as there) and
// logs every event with a UTC time stamp. With the automatic export switched on in the
// settings it runs the export after passes that brought data, as the window does (without
// the barograph picture, which only the window draws). Pressure falls and NAVTEX warnings
// are logged as alerts and may start a command; new NAVTEX messages go out as NRX sentences
// over UDP. The data-folder lock keeps the window and the service off each other's folder.
//
// SIGTERM and SIGINT are blocked in every thread and taken by sigwait on the main thread,
// so no work happens inside a signal handler: the main thread stops the polling thread,
// which finishes its exchange with the receiver, and then writes every data file.
#include <signal.h>

#include <iomanip>
#include <memory>
#include <optional>
#include <sstream>

#include "alerts/weather_alerts.h"
#include "assembly/application_objects.h"
#include "cli/cli_args.h"
#include "cli/commands.h"
#include "cli/stderr_sink.h"
#include "cli/watch_log.h"
#include "common/folder_lock.h"
#include "common/folders.h"
#include "common/udp_sender.h"
#include "config/tree_control.h"
#include "export/export_run.h"

namespace tern::cli {

namespace {

struct WatchOptions {
  std::optional<std::string> onAlert;
  std::optional<UdpTarget> nmea;
};

// What the window would show, as log lines. Runs on the polling thread (direct hand-over).
class LoggingView final : public PollingView {
 public:
  LoggingView(WatchLog& log, const Clock& clock, MessageStore& store, const TTreeControl& settings,
              const WatchOptions& options, UdpSender& udp)
      : log_(log),
        clock_(clock),
        store_(store),
        settings_(settings),
        watch_(store),
        options_(options),
        udp_(udp) {}

  void ShowConnected() override {
    accessProblem_.clear();
    if (connected_) return;
    connected_ = true;
    log_.line("Empfänger verbunden (Firmware " + (pass ? pass->FirmwareText() : "") +
              ", Seriennummer " + (pass ? pass->SerialText() : "") + ")");
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
  void BaroLoaded(std::int16_t pressure, std::int16_t) override {
    std::ostringstream text;
    text << "Barometer gelesen: " << std::fixed << std::setprecision(1)
         << (pressure + 100000.0) / 100.0 << " hPa am Empfänger";
    log_.line(text.str());
    for (const auto& alert : watch_.BarometerRead()) raise(alert);
  }
  void FaxLoaded() override { log_.line("Neue Wetterkarten gespeichert"); }
  void DwdLoaded() override { log_.line("Neue DWD-Meldungen gespeichert"); }
  void NavtexLoaded() override {
    auto news = watch_.NavtexRead(clock_.utcNow());
    std::string keys;
    for (const auto& key : news.received) keys += (keys.empty() ? ": " : ", ") + key;
    log_.line("Neue NAVTEX-Meldungen gespeichert" + keys);
    for (const auto& alert : news.alerts) raise(alert);
    if (!udp_.isOpen()) return;
    for (const auto& sentence : news.sentences) {
      if (auto failure = udp_.send(sentence); !failure.empty()) {
        log_.line("Fehler: " + failure);
        break;
      }
    }
  }
  void WarnClock() override {
    log_.line("Die Uhrzeit im Empfänger war ungültig. Evtl. ist die Batterie verbraucht!");
  }
  void ShowWriteFailure(const std::string& detail) override { log_.line("Fehler: " + detail); }
  ExportWork ExportStep() override {
    auto input = std::make_shared<ExportInput>();
    const TTreeControl* settings = &settings_;
    input->faxTurn = [settings](int station) {
      return settings->FaxTurn(kFirstFaxTable + station);
    };
    input->calibrations.emplace(store_.dataFolder());
    return [this, input, folder = settings_.ExportPath()] {
      return RunExport(folder, store_, *input, clock_.utcNow());
    };
  }
  void ExportFinished(const std::string& failure) override {
    log_.line(failure.empty() ? "Export geschrieben nach " + settings_.ExportPath()
                              : "Fehler beim Export: " + failure);
  }
  void ShowSkippedRecords() override { log_.line("Beschädigte Nachricht übersprungen"); }

  const TGetDataThread* pass = nullptr;

 private:
  void raise(const std::string& alert) {
    log_.line("ALARM: " + alert);
    if (!options_.onAlert) return;
    if (auto failure = startAlertCommand(*options_.onAlert, alert); !failure.empty()) {
      log_.line("Fehler: " + failure);
    }
  }

  WatchLog& log_;
  const Clock& clock_;
  MessageStore& store_;
  const TTreeControl& settings_;
  WeatherWatch watch_;
  const WatchOptions& options_;
  UdpSender& udp_;
  std::optional<bool> connected_;
  std::string accessProblem_;  // the last one logged
};

}  // namespace

int cmdWatch(const Words& words) {
  Args args(words, {"--data-folder", "--program-folder", "--port", "--on-alert", "--nmea-udp"});
  if (args.missingValue()) return fail(*args.missingValue() + " needs a value");
  if (auto unknown = args.firstUnknown({"--simulate"})) return fail("unknown option " + *unknown);
  if (!args.positional().empty()) return fail("unexpected argument " + args.positional().front());
  auto dataFolder = args.value("--data-folder");
  if (!dataFolder) return fail("watch needs --data-folder DIR");
  auto portPath = args.value("--port");
  const bool simulate = args.flag("--simulate");
  if (simulate && portPath) return fail("--simulate and --port exclude each other");
  WatchOptions options;
  options.onAlert = args.value("--on-alert");
  if (auto target = args.value("--nmea-udp")) {
    options.nmea = parseUdpTarget(*target);
    if (!options.nmea) return fail("--nmea-udp needs HOST:PORT, not '" + *target + "'");
  }
  const std::string data = withTrailingSlash(*dataFolder);
  const std::string program = programFolderOption(args);
  if (!makeFolders(data)) return fail("cannot create the data folder " + data);
  // The window or a readout writing the same folder would lose the other's messages.
  FolderLock lock(data);
  if (lock.state() == FolderLock::State::InUse) return fail(folderInUseMessage(data), 1);

  // Blocked before any thread starts, so every thread inherits the mask and only sigwait
  // below receives them.
  sigset_t stopSignals;
  sigemptyset(&stopSignals);
  sigaddset(&stopSignals, SIGTERM);
  sigaddset(&stopSignals, SIGINT);
  pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);

  SystemClock clock;
  WatchLog log(clock);
  UdpSender udp;
  if (options.nmea) {
    if (auto failure = udp.open(*options.nmea); !failure.empty()) return fail(failure, 1);
  }
  StderrSink sink;
  ApplicationObjects objects =
      assembleApplicationObjects(ReceiverAccess{simulate, portPath}, data, program, clock, sink);
  MessageStore& store = *objects.store;

  DirectHandOver handOver;
  LoggingView view(log, clock, store, *objects.settings, options, udp);
  TGetDataThread pass(*objects.link, store, clock, handOver, view, objects.scheduleBlock(),
                      objects.settings->ExportOn());
  view.pass = &pass;
  log.line("TERN-Dienst gestartet, Datenordner " + data);
  pass.Start();

  int signal = 0;
  sigwait(&stopSignals, &signal);
  log.line(std::string("Signal ") + (signal == SIGTERM ? "SIGTERM" : "SIGINT") +
           " empfangen, beende");
  pass.Stop();
  const bool saved = store.SaveFiles();
  if (!saved) log.line("Fehler: " + store.takeWriteFailure());
  reapAlertCommands();
  log.line(saved ? "Alle Datendateien geschrieben, beendet" : "Beendet, nicht alles geschrieben");
  return saved ? 0 : 1;
}

}  // namespace tern::cli
