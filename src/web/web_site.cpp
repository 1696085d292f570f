#include "web/web_site.h"

#include <array>
#include <optional>
#include <utility>

#include "web/fax_chart_png.h"
#include "web/page_files.h"

namespace tern {

namespace {

constexpr std::string_view kJson = "application/json; charset=utf-8";
constexpr std::string_view kText = "text/plain; charset=utf-8";

constexpr std::array<std::pair<int, std::string_view>, 8> kRefusals{{
    {400, "Diese Adresse ist nicht gültig."},
    {401, "Diese Seite ist nur mit dem Zugangsschlüssel des Dienstes zu öffnen."},
    {403, "Diese Seite ist nur unter localhost oder 127.0.0.1 zu öffnen."},
    {404, "Diese Seite gibt es nicht."},
    {405, "Diese Seite kann nur gelesen werden."},
    {413, "Die Anfrage ist zu groß."},
    {414, "Die Adresse ist zu lang."},
    {503, "Zu viele Verbindungen; bitte gleich noch einmal versuchen."},
}};

WebAnswer refusal(int status) {
  for (const auto& [code, text] : kRefusals)
    if (code == status) return {status, std::string(kText), std::string(text) + "\n"};
  return {status, std::string(kText), "Die Anfrage wurde abgelehnt.\n"};
}

struct PageRoute {
  WebRoute route;
  std::string_view file;
  std::string_view contentType;
  std::string_view cacheControl;
};
constexpr std::array<PageRoute, 5> kPageRoutes{{
    {WebRoute::Page, "index.html", "text/html; charset=utf-8", "no-cache"},
    {WebRoute::Script, "tern.js", "text/javascript; charset=utf-8", "no-cache"},
    {WebRoute::Style, "tern.css", "text/css; charset=utf-8", "no-cache"},
    {WebRoute::Icon, "tern.svg", "image/svg+xml", "max-age=86400"},
    {WebRoute::WindMap, "wind_map.png", "image/png", "max-age=86400"},
}};

std::optional<WebAnswer> pageFile(WebRoute route) {
  for (const PageRoute& r : kPageRoutes) {
    if (r.route != route) continue;
    const PageFile* file = findPageFile(r.file);
    if (file == nullptr) return refusal(404);
    return WebAnswer{
        200, std::string(r.contentType),
        std::string(reinterpret_cast<const char*>(file->bytes.data()), file->bytes.size()),
        std::string(r.cacheControl)};
  }
  return std::nullopt;
}

}  // namespace

void WebData::countUp() {
  ++data_.generation;
  changed_.notify_all();
}

void WebData::SetFilter(const NavtexFilter& filter) {
  std::lock_guard lock(mutex_);
  if (data_.filter == filter) return;
  data_.filter = filter;
  countUp();
}

void WebData::SetAlerts(std::vector<AlertEntry> newestFirst) {
  std::lock_guard lock(mutex_);
  data_.alerts = std::move(newestFirst);
  countUp();
}

void WebData::SetBarometer(double heightM, double temperatureC) {
  std::lock_guard lock(mutex_);
  data_.barograph.heightM = heightM;
  data_.barograph.temperatureC = temperatureC;
}

void WebData::SetFaxTurns(const Snapshot::FaxTurns& turns) {
  std::lock_guard lock(mutex_);
  data_.faxTurns = turns;
}

void WebData::NoteNewData() {
  std::lock_guard lock(mutex_);
  countUp();
}

WebData::Snapshot WebData::Take() const {
  std::lock_guard lock(mutex_);
  return data_;
}

std::uint64_t WebData::WaitForNews(std::uint64_t seen, std::chrono::milliseconds longest,
                                   const std::atomic<bool>& stop) const {
  std::unique_lock lock(mutex_);
  changed_.wait_for(lock, longest, [&] { return stop || data_.generation != seen; });
  return data_.generation;
}

void WebData::WakeWaiters() const {
  // Taking the lock orders the caller's stop flag before the waiters' next look at it.
  { std::lock_guard lock(mutex_); }
  changed_.notify_all();
}

WebAnswer answerWebRequest(const WebVerdict& verdict, const MessageStore& store,
                           const WebData::Snapshot& data, FaxChartPictures* charts,
                           SynopReports* synop) {
  if (!verdict.allowed()) return refusal(verdict.status);
  if (auto file = pageFile(verdict.route)) return *file;
  auto json = [](std::string body) { return WebAnswer{200, std::string(kJson), std::move(body)}; };
  switch (verdict.route) {
    case WebRoute::Bulletins:
      return json(bulletinsJson(store));
    case WebRoute::Navtex:
      return json(navtexJson(store, data.filter));
    case WebRoute::Alerts:
      return json(alertsJson(data.alerts));
    case WebRoute::Barograph:
      return json(barographJson(store, data.barograph));
    case WebRoute::FaxList:
      return json(faxListJson(store));
    case WebRoute::Synop:
      return json(synopJson(store, synop));
    case WebRoute::SeaWeather:
      return json(seaWeatherJson(store));
    case WebRoute::SeaMap:
      return {200, "image/svg+xml; charset=utf-8", seaMapSvgOf(store)};
    case WebRoute::FaxChart: {
      const auto png =
          charts ? charts->Png(store, verdict.chartId, verdict.width, data.faxTurns) : nullptr;
      if (!png) return refusal(404);
      return {200, "image/png", std::string(png->begin(), png->end())};
    }
    default:
      return refusal(404);
  }
}

}  // namespace tern
