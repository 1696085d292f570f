// What the main window shows for the polling thread: receiver presence and activity in the
// status bar, new data on the pages, and the automatic export with its outcome. The alerts
// and the web page take the session's news (ui/alert_notifier.h).
// Every call runs on the window thread inside a hand-over.
#pragma once

#include <array>
#include <string>

#include "poll/polling_view.h"

class QTabWidget;

namespace tern {

class ApplicationSession;
class BarographPage;
class Page;
class BulletinPage;
class MainCommands;
class MessageSink;
class NavtexPage;
class TFAX;
class TStatusBar;

// Thread: window thread only.
class PollingDisplay final : public PollingView {
 public:
  // Where the window shows things; everything outlives the display's use by the polling
  // thread (the window stops the thread first).
  struct Parts {
    ApplicationSession& session;
    MessageSink& messages;
    TStatusBar& statusBar;
    MainCommands& commands;
    std::array<BulletinPage*, 2> bulletins;
    NavtexPage& navtex;
    BarographPage& barograph;
    TFAX& fax;
    QTabWidget& pages;  // the shown page gives status panel 2 its text
    Page& seaWeather;   // reads the sea weather bulletins again
  };
  explicit PollingDisplay(const Parts& parts) : parts_(parts) {}

  void ShowConnected() override;
  void ShowDisconnected() override;
  void ShowAccessProblem(const std::string& text) override;
  void ShowStatus(const std::string& text) override;
  void BaroLoaded(std::int16_t pressure, std::int16_t temperature) override;
  void FaxLoaded() override;
  void DwdLoaded() override;
  void NavtexLoaded(const std::vector<NavtexAppended>& appended) override;
  void WarnClock() override;
  void ShowWriteFailure(const std::string& detail) override;
  ExportWork ExportStep() override;
  void ExportFinished(const std::string& failure) override;
  void ShowSkippedRecords() override;
  void ShowReadAgain(const std::string& channel) override;

  // The export's part that needs the window (the barograph picture, the notice drawing);
  // the returned writing may run on any thread while the tables stay still.
  ExportWork PrepareExport(const std::string& folder);
  // An export run on the window thread; without a folder it asks for one. (The dialog's
  // save writes on the session's export thread and comes here only without a folder.)
  void ExportNow(const std::string& folder);
  // The export switch of the settings changed.
  void ExportSwitched(bool on);
  // The pressure and tendency line of the tool bar, from the barograph.
  void ShowParameters();
  // Whether the settings record nothing: the status bar then says so (kNothingChosenHint)
  // wherever no access problem is to be read there.
  void ShowNothingChosen(bool nothing);

 private:
  // Without a target folder an export has nowhere to go: the status bar asks for one,
  // which is no failure of the export.
  void askForExportFolder();

  // The status bar's notice: the access problem, else the hint that nothing is chosen.
  void showNotice();

  Parts parts_;
  std::string accessProblem_;
  bool nothingChosen_ = false;
  bool writeFailureShown_ = false;
  std::string exportFailure_;  // shown in status panel 3 until an export succeeds again
};

}  // namespace tern
