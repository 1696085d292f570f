// The application session: everything a front end needs to work one data folder with one
// receiver, made in one place and in one order, so the window, `tern-cli watch` and
// `tern-cli readout` cannot drift apart. They differ only in the PollingView they attach.
//
// Made in this order: the constructor decides the data and program folders (the
// `--simulate` rule included), makes the data folder and locks it; Open() removes what
// interrupted writes left, then makes the message store (which loads the data files), the
// link object on the chosen receiver access, the settings (schedule files and the settings
// file), the alert watch with the NAVTEX filter of the data folder, the boat network, the
// SYNOP reports, the network's targets, the web page's data and the read-outs' news; Attach()
// adds the polling thread's owner with its first thread object, not started.
//
// Torn down in this order: Close() stops the web page's server, waits for the exports it runs
// in the background, stops and joins the polling thread for good and writes every data file;
// the destructor then ends the news, the web data, the export queue, the polling owner, the
// SYNOP reports, the boat network, the alert watch, the settings, the link object (which
// closes the receiver), the message store and, last, the data folder's lock.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "alerts/boat_network.h"
#include "alerts/weather_alerts.h"
#include "assembly/folder_claim.h"
#include "assembly/port_factory.h"
#include "assembly/readout_news.h"
#include "assembly/session_options.h"
#include "common/clock.h"
#include "common/message_sink.h"
#include "config/tree_control.h"
#include "export/export.h"
#include "export/export_queue.h"
#include "link/ttern.h"
#include "messages/message_store.h"
#include "poll/get_data_thread.h"
#include "poll/hand_over.h"
#include "poll/polling_owner.h"
#include "poll/polling_view.h"
#include "synop/synop_reports.h"
#include "web/web_access.h"
#include "web/web_server.h"
#include "web/web_site.h"

namespace tern {

// How the web page's server started (ApplicationSession::StartWebPage).
struct WebPageStart {
  std::string problem;    // German; empty when the page is served
  std::string url;        // the page's address, with "?token=" when the token was made new
  std::string tokenFile;  // where the token is kept; empty when none is asked
  std::string warning;    // German: served, but something the user should know
};

// Thread: made, used and destroyed on one thread (the window thread, or the command's main
// thread); the polling thread reaches the objects only as TGetDataThread does.
class ApplicationSession {
 public:
  // Decides the folders, makes the data folder (with missing parents) and tries its lock.
  // `clock` must outlive the session.
  ApplicationSession(const SessionOptions& options, Clock& clock);
  ~ApplicationSession();
  ApplicationSession(const ApplicationSession&) = delete;
  ApplicationSession& operator=(const ApplicationSession&) = delete;

  // The data folder the session works: dataFolderOf (assembly/session_options.h).
  static std::string DataFolderFor(const SessionOptions& options) { return dataFolderOf(options); }

  const std::string& DataFolder() const { return folder_.DataFolder(); }
  const std::string& ProgramFolder() const { return folder_.ProgramFolder(); }
  const ReceiverAccess& Access() const { return access_; }
  Clock& WallClock() const { return clock_; }
  // False when the data folder could not be made; the file operations that need it report
  // their own failures.
  bool FolderMade() const { return folder_.FolderMade(); }
  // Another program writes the data folder: nothing may be opened.
  bool FolderInUse() const { return folder_.FolderInUse(); }
  // The folders and the lock, for the checks the front ends share with other writers.
  const FolderClaim& Folder() const { return folder_; }

  // Makes the objects in their fixed order. For a writer of the data folder only (not when
  // FolderInUse()). `messages` must outlive the session.
  void Open(MessageSink& messages);
  bool IsOpen() const { return store_ != nullptr; }

  // The objects, once opened. The link object is not among them: the polling thread uses
  // it, and anyone else takes it through Polling().TakeLink(), which stops and joins that
  // thread first, so two threads never talk to the receiver at once.
  MessageStore& Store() const { return *store_; }
  TTreeControl& Settings() const { return *settings_; }
  WeatherWatch& Alerts() const { return *alerts_; }
  BoatNetwork& Network() const { return *network_; }
  // The decoded SYNOP reports of the stored bulletins, kept ready by the polling thread.
  SynopReports& Synop() const { return *synop_; }
  // What Open() could not do, German, one line each: boat network targets that could not be
  // opened (left out) and lines of the NAVTEX filter file that could not be read (their
  // choices stay at the defaults).
  const std::vector<std::string>& NetworkProblems() const { return networkProblems_; }
  const std::string& FilterProblem() const { return filterProblem_; }

  // Attaches the front end: every polling thread object, the first and each fresh one after
  // an exclusive use of the link, hands over through `handOver` to `view` and starts with
  // the schedule block and the automatic-export switch of the current settings. With a
  // `listener`, the news of every read-out is handed out (News()) and the listener told,
  // the boat-network targets Open() could not open first; without one, read-outs only
  // reach the view. All must outlive the session or its Close().
  void Attach(PollingView& view, HandOver& handOver, NewsListener* listener = nullptr);
  // Where the news of the read-outs is handed out, with the session's alert history. Once
  // opened; published only with a listener attached.
  ReadoutNews& News() const { return *news_; }
  // The view the polling thread talks to: the front end's, behind the news when there is a
  // listener. Once attached; tests play read-outs through it.
  PollingView& PolledView() const { return *polledView_; }
  PollingOwner& Polling() const { return *polling_; }
  // The current polling thread object; nullptr before Attach, while the link is taken and
  // after Close().
  TGetDataThread* Thread() const { return polling_ ? polling_->Thread() : nullptr; }
  // Holds the polling thread before its next pass, or lets it go on; nothing without one.
  void PausePolling(bool on) const;

  // One automatic export run into `folder` (the mirror and SYNOP/synop.gpx), ready to run
  // on any thread while the tables stay still. The slant values are taken from the
  // settings now, the fax calibrations are those of the data folder; `input`'s picture and
  // notice drawing are kept. Returns what failed,
  // empty when everything was written.
  std::function<std::string()> PrepareExport(const std::string& folder, ExportInput input) const;
  // Runs a prepared export on the session's export thread, after those started before;
  // `done` gets what failed (empty when everything was written) on that thread. Close()
  // waits for every export started here.
  void ExportInBackground(std::function<std::string()> work,
                          std::function<void(const std::string&)> done);

  // What the web page shows beside the message store; the front end hands over the alert
  // list, a new NAVTEX filter and new data where they change. Once opened.
  WebData& Web() const { return *web_; }
  // Hands the web page what it takes from the settings and the alert watch: the NAVTEX
  // filter, the barometer's height and the fax stations' slant. After each change of them.
  void HandSettingsToWeb() const;
  // Serves the read-only web page on `address` until Close(). Away from the loopback
  // address every client must bring the token kept in the data folder; a token made new is
  // part of the returned address, so the front end prints it once. `log` gets a line for
  // each refused request, on a server thread. A server that cannot start leaves the session
  // without the page; the front end decides whether to go on.
  WebPageStart StartWebPage(const ListenAddress& address, WebServer::LogLine log);
  // The running server; nullptr without one.
  WebServer* WebPage() const { return webServer_.get(); }

  // Stops the web page's server, waits for the exports started in the background, stops and
  // joins the polling thread for good, then writes every data file. Returns what
  // could not be written, empty when everything was. Nothing happens a second time.
  std::string Close();
  // What the polling thread's last pass left undone, kept by Close() for the front end's
  // closing words (a stop in the middle of a read-out); empty before.
  const TGetDataThread::PassReport& FinalPass() const { return finalPass_; }

 private:
  Clock& clock_;
  ReceiverAccess access_;
  std::function<std::unique_ptr<Port>(Clock&)> ownPort_;
  BoatNetworkOptions networkOptions_;
  FolderClaim folder_;  // first made, last gone: the lock outlives every object it guards
  std::unique_ptr<MessageStore> store_;
  std::unique_ptr<TTERN> link_;
  std::unique_ptr<TTreeControl> settings_;
  std::unique_ptr<WeatherWatch> alerts_;
  std::unique_ptr<BoatNetwork> network_;
  std::unique_ptr<SynopReports> synop_;  // before the polling thread, which refreshes it
  std::vector<std::string> networkProblems_;
  std::string filterProblem_;
  std::unique_ptr<PollingOwner> polling_;
  ExportQueue exports_;  // before the store and the settings it reads go
  std::unique_ptr<WebData> web_;
  std::unique_ptr<ReadoutNews> news_;
  std::unique_ptr<NewsView> newsView_;
  PollingView* polledView_ = nullptr;
  std::unique_ptr<WebServer> webServer_;  // before the store and the web data it reads go
  TGetDataThread::PassReport finalPass_;
  bool closed_ = false;
};

}  // namespace tern
