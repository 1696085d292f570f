// tern-cli readout: one polling pass as the program makes it on a new connection (presence,
// ping, barometer, status, every channel, the clock comparison), writing the data files of
// the data folder. --set-clock and --send-settings add those steps.
#include <iostream>

#include "assembly/application_objects.h"
#include "cli/cli_args.h"
#include "cli/commands.h"
#include "cli/stderr_sink.h"
#include "common/folder_lock.h"
#include "common/folders.h"

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
  auto dataFolder = args.value("--data-folder");
  if (!dataFolder) return fail("readout needs --data-folder DIR");
  auto portPath = args.value("--port");
  bool simulate = args.flag("--simulate");
  if (simulate && portPath) return fail("--simulate and --port exclude each other");
  const std::string data = withTrailingSlash(*dataFolder);
  const std::string program = programFolderOption(args);
  if (!makeFolders(data)) return fail("cannot create the data folder " + data);
  // The window or another readout writing the same folder would lose this one's messages.
  FolderLock lock(data);
  if (lock.state() == FolderLock::State::InUse) return fail(folderInUseMessage(data), 1);

  SystemClock clock;
  StderrSink sink;
  ApplicationObjects objects =
      assembleApplicationObjects(ReceiverAccess{simulate, portPath}, data, program, clock, sink);
  MessageStore& store = *objects.store;

  DirectHandOver handOver;
  PrintingView view;
  TGetDataThread pass(*objects.link, store, clock, handOver, view, objects.scheduleBlock());
  pass.SetClockRequest = args.flag("--set-clock");
  pass.SendSettingsRequest = args.flag("--send-settings");
  pass.RunPass();
  if (!store.SaveFiles()) view.ShowWriteFailure(store.takeWriteFailure());
  const TGetDataThread::PassReport& done = pass.LastPass;

  if (!view.connected)
    return fail(done.accessProblem.empty() ? "no receiver answered" : done.accessProblem, 1);
  std::cout << "firmware: " << pass.FirmwareText() << "\nserial: " << pass.SerialText() << '\n';
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
  for (const MessageStore::LoadProblem& p : store.loadProblems())
    if (p.result == LoadResult::Unreadable) report("left alone, unreadable: " + p.reason);
  if (view.writeFailed) std::cerr << "tern-cli: the data files could not all be written\n";
  return failures > 0 ? 1 : 0;
}

}  // namespace tern::cli
