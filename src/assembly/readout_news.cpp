#include "assembly/readout_news.h"

#include "config/tree_control.h"
#include "web/web_site.h"

namespace tern {

ReadoutNews::ReadoutNews(WeatherWatch& watch, BoatNetwork& network, WebData& web,
                         const TTreeControl& settings, const Clock& clock)
    : watch_(watch), network_(network), web_(web), settings_(settings), clock_(clock) {}

void ReadoutNews::BarometerRead(std::int16_t pressure, std::int16_t temperature) {
  const CivilTime now = clock_.utcNow();
  const int height = settings_.BaroHeight();
  WeatherWatch::BarometerNews news = watch_.BarometerRead(pressure, temperature, height, now);
  web_.SetBarometer(height, temperature / 10.0);
  web_.NoteNewData();
  if (news.alarm && news.alarm->level == PressureLevel::Calm) {
    history_.EndPressureFall();
    shareHistory();
    if (listener_ != nullptr) listener_->HistoryChanged();
  }
  for (const std::string& alert : news.alerts) raise(AlertKind::Pressure, alert);
  problems(network_.Send(news, now));
}

void ReadoutNews::NavtexRead(const std::vector<NavtexAppended>& appended) {
  const CivilTime now = clock_.utcNow();
  WeatherWatch::NavtexNews news = watch_.NavtexRead(appended, now);
  if (listener_ != nullptr) listener_->NavtexArrived(news.arrivals);
  web_.NoteNewData();
  for (const NavtexArrival& arrival : news.arrivals) {
    if (arrival.alert) raise(AlertKind::Navtex, *arrival.alert);
  }
  problems(news.problems);
  problems(network_.Send(news, now));
}

void ReadoutNews::DataStored() { web_.NoteNewData(); }

void ReadoutNews::BulletinsStored() {
  web_.NoteNewData();
  judgeSeaAreas();
}

void ReadoutNews::judgeSeaAreas() {
  const CivilTime now = clock_.utcNow();
  SeaAreaNews news = watch_.SeaWeatherRead(now);
  for (const SeaAreaWarning& alert : news.alerts) raise(AlertKind::SeaArea, alert.text);
  problems(news.problems);
  problems(network_.Send(news, now));
}

void ReadoutNews::ReportProblems(const std::vector<std::string>& texts) { problems(texts); }

void ReadoutNews::MarkAllSeen() {
  history_.MarkAllSeen();
  shareHistory();
}

void ReadoutNews::raise(AlertKind kind, const std::string& text) {
  history_.Add(kind, text, clock_.utcNow());
  shareHistory();
  if (listener_ == nullptr) return;
  listener_->HistoryChanged();
  listener_->AlertRaised(kind, text);
}

void ReadoutNews::problems(const std::vector<std::string>& texts) {
  bool added = false;
  for (const std::string& text : texts) {
    added = history_.Add(AlertKind::Problem, text, clock_.utcNow()) || added;
    if (listener_ != nullptr) listener_->ProblemFound(text);
  }
  if (!added) return;
  shareHistory();
  if (listener_ != nullptr) listener_->HistoryChanged();
}

void ReadoutNews::shareHistory() { web_.SetAlerts(history_.Entries()); }

void NewsView::BaroLoaded(std::int16_t pressure, std::int16_t temperature) {
  view_.BaroLoaded(pressure, temperature);
  news_.BarometerRead(pressure, temperature);
}

void NewsView::FaxLoaded() {
  view_.FaxLoaded();
  news_.DataStored();
}

void NewsView::DwdLoaded() {
  view_.DwdLoaded();
  news_.BulletinsStored();
}

void NewsView::NavtexLoaded(const std::vector<NavtexAppended>& appended) {
  view_.NavtexLoaded(appended);
  news_.NavtexRead(appended);
}

}  // namespace tern
