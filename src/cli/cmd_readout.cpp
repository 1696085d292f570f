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
    std::cerr << "tern-cli: " << detail << '\n';
    writeFailed = true;
  }
  ExportWork ExportStep() override { return {}; }
  bool connected = false;
  bool writeFailed = false;
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
  session.Attach(view, handOver);
  TGetDataThread& pass = *session.Thread();
  pass.SetClockRequest = args.flag("--set-clock");
  pass.SendSettingsRequest = args.flag("--send-settings");
  pass.RunPass();
  // What the pass left undone, kept before the session ends the thread object.
  const TGetDataThread::PassReport done = pass.LastPass;
  const std::string firmware = pass.FirmwareText();
  const std::string serial = pass.SerialText();
  if (std::string failure = session.Close(); !failure.empty()) view.ShowWriteFailure(failure);

  if (!view.connected)
    return fail(done.accessProblem.empty() ? "no receiver answered" : done.accessProblem, 1);
  std::cout << "firmware: " << firmware << "\nserial: " << serial << '\n';
  // Everything the pass left undone is said, and makes the exit status.
  int failures = view.writeFailed ? 1 : 0;
  auto report = [&](const std::string& what) {
    std::cerr << "tern-cli: " << what << '\n';
    ++failures;
  };
  for (const std::string& channel : done.interrupted)
    report("the " + channel + " read-out did not finish (link lost or receiver silent)");
  if (done.barometerFailed) report("the barometer samples could not all be read");
  if (done.clockSetFailed) report("the receiver clock could not be set");
  if (done.settingsFailed) report("the schedule block could not be sent");
  if (done.skippedRecords > 0)
    std::cerr << "tern-cli: " << done.skippedRecords << " damaged record(s) skipped\n";
  for (const MessageStore::LoadProblem& p : session.Store().loadProblems())
    if (p.result == LoadResult::Unreadable) report("left alone, unreadable: " + p.reason);
  if (view.writeFailed) std::cerr << "tern-cli: the data files could not all be written\n";
  return failures > 0 ? 1 : 0;
}

}  // namespace tern::cli
