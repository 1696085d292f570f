// tern-cli readout: one polling pass as the program makes it on a new connection (presence,
// ping, barometer, status, every channel, the clock comparison), writing the data files of
// the data folder. --set-clock and --send-settings add those steps.
#include <iostream>

#include "assembly/application_session.h"
#include "cli/cli_args.h"
#include "cli/commands.h"
#include "cli/stderr_sink.h"

namespace tern::cli {

namespace {

// Prints what the window would show, one line each.
class PrintingView final : public PollingView {
 public:
  void ShowConnected() override { connected = true; }
  void ShowDisconnected() override { connected = false; }
  void ShowStatus(const std::string& text) override { std::cout << "Status: " << text << '\n'; }
  void BaroLoaded(std::int16_t, std::int16_t) override { std::cout << "Geladen: Barometer\n"; }
  void FaxLoaded() override { std::cout << "Geladen: Fax\n"; }
  void DwdLoaded() override { std::cout << "Geladen: DWD\n"; }
  void NavtexLoaded(const std::vector<NavtexAppended>&) override {
    std::cout << "Geladen: NAVTEX\n";
  }
  void WarnClock() override { std::cout << "Warnung: Die Uhrzeit im Empfänger war ungültig\n"; }
  void ShowWriteFailure(const std::string& detail) override {
    // The pass and the final save may fail on the same file for the same reason: said once.
    if (detail != lastFailure_) std::cerr << "tern-cli: " << detail << '\n';
    lastFailure_ = detail;
    writeFailed = true;
  }
  ExportWork ExportStep() override { return {}; }
  bool connected = false;
  bool writeFailed = false;

 private:
  std::string lastFailure_;
};

}  // namespace

int cmdReadout(const Words& words) {
  Args args(words, {"--data-folder", "--program-folder", "--port"});
  if (int status = refuseOptions(args, {"--simulate", "--set-clock", "--send-settings"}, "readout"))
    return status;
  if (int status = refuseArguments(args)) return status;
  int status = 0;
  const std::optional<SessionOptions> options = writerSessionOptions(args, "readout", status);
  if (!options) return status;
  SystemClock clock;
  ApplicationSession session(*options, clock);
  if (int refused = requireOwnDataFolder(session)) return refused;

  StderrSink sink;
  session.Open(sink);
  DirectHandOver handOver;
  PrintingView view;
  // An unusable settings file gives an empty block: the receiver keeps its schedule.
  const bool sendSettings = args.flag("--send-settings");
  session.Attach(view, handOver);
  TGetDataThread& pass = *session.Thread();
  pass.SetClockRequest = args.flag("--set-clock");
  pass.SendSettingsRequest = sendSettings;
  pass.RunPass();
  // What the pass left undone, kept before the session ends the thread object.
  const TGetDataThread::PassReport done = pass.LastPass;
  const std::string firmware = pass.FirmwareText();
  const std::string serial = pass.SerialText();
  if (std::string failure = session.Close(); !failure.empty()) view.ShowWriteFailure(failure);

  if (!view.connected)
    return fail(done.accessProblem.empty() ? "Kein Empfänger hat geantwortet" : done.accessProblem,
                1);
  auto identity = [](const std::string& text) { return text.empty() ? "nicht gelesen" : text; };
  std::cout << "Firmware: " << identity(firmware) << "\nSeriennummer: " << identity(serial) << '\n';
  // Everything the pass left undone is said, and makes the exit status.
  int failures = view.writeFailed ? 1 : 0;
  auto report = [&](const std::string& what) {
    std::cerr << "tern-cli: " << what << '\n';
    ++failures;
  };
  for (const std::string& channel : done.interrupted)
    report("Das Auslesen von " + channelCaption(channel) +
           " wurde nicht beendet (Verbindung verloren, Empfänger stumm oder mitten in einer "
           "Nachricht abgeschnitten); was fehlt, wird beim nächsten Auslesen gelesen");
  for (const std::string& channel : done.readAgain)
    report("Die " + channelCaption(channel) +
           "-Nachrichten wurden bis zum Ende des Empfängerspeichers gelesen: ihre Datendatei "
           "oder die Lesemarken waren beschädigt");
  if (done.barometerFailed)
    report("Die Barometerwerte konnten nicht alle gelesen werden; die bisherigen bleiben");
  if (done.clockSetFailed) report("Die Uhr des Empfängers konnte nicht gestellt werden");
  if (done.settingsFailed) report("Der Sendeplan konnte nicht übertragen werden");
  if (sendSettings && !session.Settings().SettingsUsable())
    report(unusableSettingsText(session.Settings().SettingsPath()));
  if (done.skippedRecords > 0)
    std::cerr << "tern-cli: " << done.skippedRecords << " beschädigte Nachricht(en) übersprungen\n";
  for (const MessageStore::LoadProblem& p : session.Store().loadProblems()) {
    report(p.result == LoadResult::Unreadable ? "Nicht lesbar, bleibt unverändert: " + p.reason
                                              : "Beschädigt: " + p.reason);
  }
  if (view.writeFailed)
    std::cerr << "tern-cli: Die Datendateien konnten nicht alle geschrieben werden\n";
  return failures > 0 ? 1 : 0;
}

}  // namespace tern::cli
