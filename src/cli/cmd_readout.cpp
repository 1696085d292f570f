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
  void ShowStatus(const std::string& text) override { std::cout << "status: " << text << '\n'; }
  void BaroLoaded(std::int16_t, std::int16_t) override { std::cout << "loaded: barometer\n"; }
  void FaxLoaded() override { std::cout << "loaded: fax\n"; }
  void DwdLoaded() override { std::cout << "loaded: dwd\n"; }
  void NavtexLoaded() override { std::cout << "loaded: navtex\n"; }
  void WarnClock() override { std::cout << "warning: receiver clock is off\n"; }
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
  if (args.missingValue()) return fail(*args.missingValue() + " needs a value");
  if (auto unknown = args.firstUnknown({"--simulate", "--set-clock", "--send-settings"}))
    return fail("unknown option " + *unknown);
  if (!args.positional().empty()) return fail("unexpected argument " + args.positional().front());
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
    return fail(done.accessProblem.empty() ? "no receiver answered" : done.accessProblem, 1);
  auto identity = [](const std::string& text) { return text.empty() ? "not read" : text; };
  std::cout << "firmware: " << identity(firmware) << "\nserial: " << identity(serial) << '\n';
  // Everything the pass left undone is said, and makes the exit status.
  int failures = view.writeFailed ? 1 : 0;
  auto report = [&](const std::string& what) {
    std::cerr << "tern-cli: " << what << '\n';
    ++failures;
  };
  for (const std::string& channel : done.interrupted)
    report("the " + channel + " read-out did not finish (link lost, receiver silent or cut " +
           "inside a record); what is missing is read at the next read-out");
  for (const std::string& channel : done.readAgain)
    report("the " + channel + " messages were read to the end of the receiver's log: their " +
           "data file or the read-out marks were damaged");
  if (done.barometerFailed)
    report("the barometer samples could not all be read; the previous ones are kept");
  if (done.clockSetFailed) report("the receiver clock could not be set");
  if (done.settingsFailed) report("the schedule block could not be sent");
  if (sendSettings && !session.Settings().SettingsUsable())
    report(unusableSettingsText(session.Settings().SettingsPath()));
  if (done.skippedRecords > 0)
    std::cerr << "tern-cli: " << done.skippedRecords << " damaged record(s) skipped\n";
  for (const MessageStore::LoadProblem& p : session.Store().loadProblems()) {
    report(p.result == LoadResult::Unreadable ? "left alone, unreadable: " + p.reason
                                              : "damaged: " + p.reason);
  }
  if (view.writeFailed) std::cerr << "tern-cli: the data files could not all be written\n";
  return failures > 0 ? 1 : 0;
}

}  // namespace tern::cli
