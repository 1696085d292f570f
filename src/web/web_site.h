// What the web page answers once a request passed the guard: the JSON answers of the API,
// and a short German text for every refusal. The HTTP server only carries these.
#pragma once

#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

#include "alerts/alert_history.h"
#include "messages/message_store.h"
#include "messages/navtex_filter.h"
#include "web/request_guard.h"
#include "web/web_api.h"

namespace tern {

// What the page shows beside the message store. Its owners (the NAVTEX filter and the alert
// list live on the window thread) hand over copies after every change, and each read-out
// that brought something new counts `generation` up, which tells the page to fetch again.
// Thread: any; every member takes the lock.
class WebData {
 public:
  struct Snapshot {
    NavtexFilter filter;
    std::vector<AlertEntry> alerts;  // newest first
    BarographRequest barograph;
    std::uint64_t generation = 0;
  };

  void SetFilter(const NavtexFilter& filter);
  void SetAlerts(std::vector<AlertEntry> newestFirst);
  void SetBarometer(double heightM, double temperatureC);
  void NoteNewData();
  Snapshot Take() const;

 private:
  mutable std::mutex mutex_;
  Snapshot data_;
};

// Sent with every answer: the page loads nothing from elsewhere and runs no inline script or
// style, so markup that slipped into a message text could not run either.
inline constexpr std::string_view kWebContentSecurityPolicy = "default-src 'self'";

struct WebAnswer {
  int status = 200;
  std::string contentType;
  std::string body;
  // The page's files are checked again on each load (a new program version takes effect at
  // once), the wind map's background is kept a day, the data never.
  std::string cacheControl = "no-store";
};

// The answer to a request the guard judged; a refused one gets its status and a German text.
WebAnswer answerWebRequest(const WebVerdict& verdict, const MessageStore& store,
                           const WebData::Snapshot& data);

}  // namespace tern
