// The news of a read-out, handed out in one place for the window and the service. After the
// polling thread stored what the receiver brought, the session publishes it here: the alert
// watch judges the barometer, the new NAVTEX messages and the warnings for the user's sea
// areas, the alert history keeps what it raised, the boat network (NMEA, Signal K) gets the
// readings, the messages and the warnings, the web page its alerts and each arrival of new
// data, and problems on the way go into the history once.
// The front end is a listener that only shows or logs; it cannot leave out a step, so the
// window and `tern-cli watch` answer `/api/alerts` and feed the boat network alike.
//
// `tern-cli readout` attaches no listener: a single read-out neither alerts nor marks the
// NAVTEX warnings in the repeat memory that a later service must still alert.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "alerts/alert_history.h"
#include "alerts/boat_network.h"
#include "alerts/weather_alerts.h"
#include "common/clock.h"
#include "poll/polling_view.h"

namespace tern {

class TTreeControl;
class WebData;

// What a front end shows or logs of the news. Everything the session's objects do with it
// is done when a call comes. Thread: the thread the news is published on.
class NewsListener {
 public:
  virtual ~NewsListener() = default;
  // The NAVTEX messages of one read-out, those the filter hides with `shown` false.
  virtual void NavtexArrived(const std::vector<NavtexArrival>& arrivals) { (void)arrivals; }
  // An alert, already in the history.
  virtual void AlertRaised(AlertKind kind, const std::string& text) = 0;
  // Something failed that the user should know of (a boat-network target, the NAVTEX
  // repeat memory); told each time, kept in the history once per text.
  virtual void ProblemFound(const std::string& text) { (void)text; }
  // The history has a new entry.
  virtual void HistoryChanged() {}
};

// Thread: the front end's thread, on which its PollingView runs (the window thread inside a
// hand-over; the polling thread in the service).
class ReadoutNews {
 public:
  // Everything outlives the news.
  ReadoutNews(WeatherWatch& watch, BoatNetwork& network, WebData& web, const TTreeControl& settings,
              const Clock& clock);

  // The front end that is told; nullptr: none (the session's objects still take the news).
  void SetListener(NewsListener* listener) { listener_ = listener; }

  // The receiver's current readings (Pa above 100000, tenths of a degree Celsius).
  void BarometerRead(std::int16_t pressure, std::int16_t temperature);
  // The records a NAVTEX read-out appended (see PollingView::NavtexLoaded).
  void NavtexRead(const std::vector<NavtexAppended>& appended);
  // New charts were stored.
  void DataStored();
  // New DWD bulletins were stored: the newest warnings are judged for the user's sea areas.
  void BulletinsStored();
  // The user's sea areas were saved anew: the newest warnings are judged for them at once.
  void SeaAreasChanged() { judgeSeaAreas(); }
  // Problems found elsewhere (the boat-network targets that could not be opened).
  void ReportProblems(const std::vector<std::string>& problems);

  const AlertHistory& History() const { return history_; }
  // The user saw the whole list; the web page learns it too.
  void MarkAllSeen();

 private:
  void judgeSeaAreas();
  void raise(AlertKind kind, const std::string& text);
  void problems(const std::vector<std::string>& texts);
  void shareHistory();

  WeatherWatch& watch_;
  BoatNetwork& network_;
  WebData& web_;
  const TTreeControl& settings_;
  const Clock& clock_;
  NewsListener* listener_ = nullptr;
  AlertHistory history_;
};

// The view the polling thread talks to when news is handed out: every call goes on to the
// front end's view, and after a read-out was shown there its news is published.
// Thread: as PollingView.
class NewsView final : public PollingView {
 public:
  NewsView(PollingView& frontEnd, ReadoutNews& news) : view_(frontEnd), news_(news) {}

  void ShowConnected() override { view_.ShowConnected(); }
  void ShowDisconnected() override { view_.ShowDisconnected(); }
  void ShowAccessProblem(const std::string& text) override { view_.ShowAccessProblem(text); }
  void ShowStatus(const std::string& text) override { view_.ShowStatus(text); }
  void BaroLoaded(std::int16_t pressure, std::int16_t temperature) override;
  void FaxLoaded() override;
  void DwdLoaded() override;
  void NavtexLoaded(const std::vector<NavtexAppended>& appended) override;
  void WarnClock() override { view_.WarnClock(); }
  void ShowWriteFailure(const std::string& detail) override { view_.ShowWriteFailure(detail); }
  ExportWork ExportStep() override { return view_.ExportStep(); }
  void ExportFinished(const std::string& failure) override { view_.ExportFinished(failure); }
  void ShowSkippedRecords() override { view_.ShowSkippedRecords(); }
  void ShowReadAgain(const std::string& channel) override { view_.ShowReadAgain(channel); }

 private:
  PollingView& view_;
  ReadoutNews& news_;
};

}  // namespace tern
