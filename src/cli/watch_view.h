// What `tern-cli watch` shows of the polling thread and of the session's news: log lines
// where the window has its status bar, pages and notifications. The alerts, the alert
// history, the boat network and the web page take the news in the session
// (assembly/readout_news.h), as in the window; this view only logs, and starts the
// --on-alert command.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "assembly/application_session.h"
#include "cli/watch_log.h"
#include "web/web_access.h"

namespace tern::cli {

struct WatchOptions {
  std::optional<std::string> onAlert;
  std::optional<ListenAddress> http;
};

// Thread: the polling thread (direct hand-over), which publishes the news too.
class WatchView final : public PollingView, public NewsListener {
 public:
  // Everything outlives the view.
  WatchView(WatchLog& log, ApplicationSession& session, const WatchOptions& options)
      : log_(log), session_(session), options_(options) {}

  void ShowConnected() override;
  void ShowDisconnected() override;
  void ShowAccessProblem(const std::string& text) override;
  void ShowStatus(const std::string&) override {}
  void BaroLoaded(std::int16_t pressure, std::int16_t temperature) override;
  void FaxLoaded() override { log_.line("Neue Wetterkarten gespeichert"); }
  void DwdLoaded() override { log_.line("Neue DWD-Meldungen gespeichert"); }
  // Logged with its messages, as news.
  void NavtexLoaded(const std::vector<NavtexAppended>&) override {}
  void WarnClock() override;
  void ShowWriteFailure(const std::string& detail) override { log_.line("Fehler: " + detail); }
  ExportWork ExportStep() override;
  void ExportFinished(const std::string& failure) override;
  void ShowSkippedRecords() override { log_.line("Beschädigte Nachricht übersprungen"); }
  void ShowReadAgain(const std::string& channel) override;

  void NavtexArrived(const std::vector<NavtexArrival>& arrivals) override;
  void AlertRaised(AlertKind kind, const std::string& alert) override;
  void ProblemFound(const std::string& text) override { log_.line("Fehler: " + text); }

 private:
  WatchLog& log_;
  ApplicationSession& session_;
  const WatchOptions& options_;
  std::optional<bool> connected_;
  std::string accessProblem_;  // the last one logged
};

}  // namespace tern::cli
