// A polling view that records what the polling thread handed over.
#pragma once

#include <algorithm>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "poll/polling_view.h"

namespace tern::testing {

// Thread: any; every member locks.
class RecordingView final : public PollingView {
 public:
  void ShowConnected() override {
    add("connected");
    if (onConnected) onConnected();
  }
  void ShowDisconnected() override { add("disconnected"); }
  void ShowAccessProblem(const std::string& text) override { add("access " + text); }
  void ShowStatus(const std::string& text) override { add("status " + text); }
  void BaroLoaded(std::int16_t pressure, std::int16_t temperature) override {
    add("baro");
    readings = {pressure, temperature};
  }
  void FaxLoaded() override { add("fax"); }
  void DwdLoaded() override { add("dwd"); }
  void NavtexLoaded(const std::vector<NavtexAppended>& records) override {
    add("navtex");
    std::lock_guard lock(mutex);
    appended.insert(appended.end(), records.begin(), records.end());
  }
  void WarnClock() override { add("warnclock"); }
  void ShowWriteFailure(const std::string&) override { add("writefailure"); }
  ExportWork ExportStep() override {
    add("export");
    return work;
  }
  void ExportFinished(const std::string& failure) override { add("exported " + failure); }
  ExportWork work;
  void ShowSkippedRecords() override { add("skipped"); }

  int count(const std::string& what) const {
    std::lock_guard lock(mutex);
    return static_cast<int>(std::count(events.begin(), events.end(), what));
  }
  void clear() {
    std::lock_guard lock(mutex);
    events.clear();
  }

  mutable std::mutex mutex;
  std::vector<std::string> events;
  std::pair<std::int16_t, std::int16_t> readings{};
  std::vector<NavtexAppended> appended;  // of every NavtexLoaded, in order
  std::function<void()> onConnected;     // runs inside the hand-over step

 private:
  void add(std::string e) {
    std::lock_guard lock(mutex);
    events.push_back(std::move(e));
  }
};

}  // namespace tern::testing
