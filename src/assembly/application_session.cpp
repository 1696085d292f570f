#include "assembly/application_session.h"

#include <array>

#include "common/file_io.h"
#include "export/export_run.h"
#include "link/protocol.h"
#include "messages/channels.h"
#include "synop/store_bulletin_source.h"

namespace tern {

// The selection model builds the block that the link stores in the receiver's settings pages.
static_assert(kPayloadSize >= protocol::kSettingsMinLength &&
              kPayloadSize <= protocol::kSettingsMaxLength);

ApplicationSession::ApplicationSession(const SessionOptions& options, Clock& clock)
    : clock_(clock),
      access_(options.access()),
      ownPort_(options.ownPort),
      networkOptions_(options.network),
      folder_(options) {}

ApplicationSession::~ApplicationSession() = default;

void ApplicationSession::Open(MessageSink& messages) {
  if (IsOpen() || FolderInUse()) return;
  // A settings save cut between its temporary file and the rename leaves the temporary
  // behind; the settings file itself is still the previous, whole one. (The message store
  // does the same for the data files.)
  removeStaleTemporaries(DataFolder(), {kSettingsFileName});
  store_ = folder_.OpenStore(messages);
  link_ = ownPort_ ? std::make_unique<TTERN>(ownPort_(clock_), clock_) : makeLink(access_, clock_);
  settings_ = std::make_unique<TTreeControl>(messages, DataFolder());
  settings_->AddSchedules(ProgramFolder());
  settings_->LoadSettings();
  NavtexFilterFile filter = LoadNavtexFilter(DataFolder());
  filterProblem_ = std::move(filter.problem);
  alerts_ = std::make_unique<WeatherWatch>(*store_, filter.filter);
  network_ = std::make_unique<BoatNetwork>();
  synop_ = std::make_unique<SynopReports>();
  networkProblems_ = network_->Open(networkOptions_, clock_.utcNow());
  web_ = std::make_unique<WebData>();
  news_ = std::make_unique<ReadoutNews>(*alerts_, *network_, *web_, *settings_, clock_);
  HandSettingsToWeb();
}

void ApplicationSession::HandSettingsToWeb() const {
  if (!IsOpen()) return;
  web_->SetFilter(alerts_->Filter());
  web_->SetBarometer(settings_->BaroHeight(), web_->Take().barograph.temperatureC);
  WebData::Snapshot::FaxTurns turns{};
  for (int k = 0; k < kFaxStationCount; ++k)
    turns[static_cast<std::size_t>(k)] = settings_->FaxTurn(kFirstFaxTable + k);
  web_->SetFaxTurns(turns);
}

WebPageStart ApplicationSession::StartWebPage(const ListenAddress& address,
                                              WebServer::LogLine log) {
  WebPageStart start;
  if (!IsOpen() || webServer_) return start;
  WebServerOptions options;
  options.address = address;
  options.synop = synop_.get();
  bool tokenNew = false;
  if (!address.loopback) {
    WebTokenFile token = LoadOrCreateWebToken(DataFolder());
    if (token.token.empty()) {
      start.problem = token.problem;
      return start;
    }
    options.token = token.token;
    tokenNew = token.created;
    start.warning = token.problem;
    start.tokenFile = DataFolder() + std::string(kWebTokenFile);
  }
  auto server = std::make_unique<WebServer>(*store_, *web_, options, std::move(log));
  start.problem = server->Start();
  if (!start.problem.empty()) return start;
  start.url = server->Url();
  // A token kept from before is not printed again; it stays in its file.
  if (!tokenNew && !options.token.empty()) start.url.resize(start.url.find('?'));
  webServer_ = std::move(server);
  return start;
}

void ApplicationSession::Attach(PollingView& view, HandOver& handOver, NewsListener* listener) {
  if (!IsOpen() || polling_) return;
  polledView_ = &view;
  if (listener != nullptr) {
    news_->SetListener(listener);
    newsView_ = std::make_unique<NewsView>(view, *news_);
    polledView_ = newsView_.get();
    news_->ReportProblems(networkProblems_);
  }
  // No schedule block while the settings file is unusable: the receiver keeps its own.
  polling_ = std::make_unique<PollingOwner>(*link_, handOver, [this](HandOver& tracking) {
    auto thread =
        std::make_unique<TGetDataThread>(*link_, *store_, clock_, tracking, *polledView_,
                                         settings_->ScheduleBlockToSend(), settings_->ExportOn());
    thread->SetBulletinWork([this] { synop_->Refresh(StoreBulletinSource(*store_)); });
    return thread;
  });
}

void ApplicationSession::PausePolling(bool on) const {
  if (TGetDataThread* thread = Thread()) thread->Paused = on;
}

std::function<std::string()> ApplicationSession::PrepareExport(const std::string& folder,
                                                               ExportInput input) const {
  std::array<int, kFaxStationCount> turns{};
  for (int k = 0; k < kFaxStationCount; ++k)
    turns[static_cast<std::size_t>(k)] = settings_->FaxTurn(kFirstFaxTable + k);
  input.faxTurn = [turns](int station) {
    return station >= 0 && station < kFaxStationCount ? turns[static_cast<std::size_t>(station)]
                                                      : 0;
  };
  input.calibrations.emplace(DataFolder());
  auto shared = std::make_shared<const ExportInput>(std::move(input));
  const MessageStore* store = store_.get();
  const Clock* clock = &clock_;
  return [folder, shared, store, clock]() -> std::string {
    return RunExport(folder, *store, *shared, clock->utcNow());
  };
}

void ApplicationSession::ExportInBackground(std::function<std::string()> work,
                                            std::function<void(const std::string&)> done) {
  exports_.Run(std::move(work), std::move(done));
}

std::string ApplicationSession::Close() {
  if (closed_ || !IsOpen()) return {};
  closed_ = true;
  if (webServer_) webServer_->Stop();
  exports_.Finish();
  if (polling_) {
    if (TGetDataThread* thread = polling_->Thread()) {
      thread->Stop();
      finalPass_ = thread->LastPass;  // read once the thread has ended
    }
    polling_->Shutdown();
  }
  if (store_->SaveFiles()) return {};
  return store_->takeWriteFailure();
}

}  // namespace tern
