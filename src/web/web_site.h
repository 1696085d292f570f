// What the web page answers once a request passed the guard: the JSON answers of the API,
// and a short German text for every refusal. The HTTP server only carries these.
#pragma once

#include <array>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

#include "alerts/alert_history.h"
#include "messages/channels.h"
#include "messages/message_store.h"
#include "messages/navtex_filter.h"
#include "web/request_guard.h"
#include "web/web_api.h"

namespace tern {

// What the page shows beside the message store. Its owners (the NAVTEX filter and the alert
// list live on the front end's thread) hand over copies after every change, and each read-out
// that brought something new counts `generation` up, as do a changed filter and a new
// alert list; the page fetches again when it sees the count move.
// Thread: any; every member takes the lock.
class WebData {
 public:
  struct Snapshot {
    using FaxTurns = std::array<int, kFaxStationCount>;
    NavtexFilter filter;
    std::vector<AlertEntry> alerts;  // newest first
    BarographRequest barograph;
    FaxTurns faxTurns{};  // the slant correction of each fax station
    std::uint64_t generation = 0;
  };

  void SetFilter(const NavtexFilter& filter);
  void SetAlerts(std::vector<AlertEntry> newestFirst);
  void SetBarometer(double heightM, double temperatureC);
  void SetFaxTurns(const Snapshot::FaxTurns& turns);
  void NoteNewData();
  Snapshot Take() const;

  // Waits until the generation differs from `seen`, `longest` has passed or `stop` is set
  // (with WakeWaiters called after setting it); returns the generation then.
  std::uint64_t WaitForNews(std::uint64_t seen, std::chrono::milliseconds longest,
                            const std::atomic<bool>& stop) const;
  void WakeWaiters() const;

 private:
  void countUp();  // under the lock

  mutable std::mutex mutex_;
  mutable std::condition_variable changed_;
  Snapshot data_;
};

struct WebAnswer {
  int status = 200;
  std::string contentType;
  std::string body;
  // The page's files are checked again on each load (a new program version takes effect at
  // once), the wind map's background is kept a day, the data never.
  std::string cacheControl = "no-store";
};

class FaxChartPictures;
class SynopReports;

// The answer to a request the guard judged; a refused one gets its status and a German text.
// Chart pictures come from `charts`; without it they are not there (404).
// /api/synop reads `synop` when given.
WebAnswer answerWebRequest(const WebVerdict& verdict, const MessageStore& store,
                           const WebData::Snapshot& data, FaxChartPictures* charts = nullptr,
                           SynopReports* synop = nullptr);

}  // namespace tern
