// A clock whose time moves only when a test says so. sleepFor advances the time instead of
// waiting, so loops that sleep run at full speed and their timing can be checked exactly.
#pragma once

#include <atomic>
#include <chrono>
#include <mutex>

#include "common/clock.h"

namespace tern::testing {

class FakeClock final : public Clock {
 public:
  explicit FakeClock(CivilTime utc = {2026, 3, 5, 14, 20, 0, 0}, int localOffsetMinutes = 60)
      : utcSeconds_(secondsSinceEpoch(utc)), offsetMinutes_(localOffsetMinutes) {}

  CivilTime utcNow() const override {
    std::lock_guard lock(mutex_);
    return withMs(utcSeconds_);
  }
  CivilTime localNow() const override {
    std::lock_guard lock(mutex_);
    return withMs(utcSeconds_ + offsetMinutes_ * 60);
  }
  bool sleepFor(std::chrono::milliseconds duration, std::stop_token stop = {}) override {
    sleeps_.fetch_add(1);
    if (stop.stop_requested()) return false;
    advance(duration);
    return !stop.stop_requested();
  }

  void advance(std::chrono::milliseconds d) {
    std::lock_guard lock(mutex_);
    std::int64_t total = utcMs_ + d.count();
    utcSeconds_ += total / 1000;
    utcMs_ = total % 1000;
  }
  void set(CivilTime utc) {
    std::lock_guard lock(mutex_);
    utcSeconds_ = secondsSinceEpoch(utc);
    utcMs_ = 0;
  }
  int sleepCount() const { return sleeps_.load(); }

 private:
  CivilTime withMs(std::int64_t seconds) const {
    CivilTime t = civilFromSeconds(seconds);
    t.millisecond = static_cast<int>(utcMs_);
    return t;
  }

  mutable std::mutex mutex_;
  std::int64_t utcSeconds_;
  std::int64_t utcMs_ = 0;
  int offsetMinutes_;
  std::atomic<int> sleeps_{0};
};

}  // namespace tern::testing
