// A clock for fuzz targets: fixed time, sleeps return at once.
#pragma once

#include "common/clock.h"

namespace tern::fuzz {

class FixedClock final : public Clock {
 public:
  CivilTime utcNow() const override { return {2026, 3, 5, 14, 20, 0, 0}; }
  CivilTime localNow() const override { return {2026, 3, 5, 15, 20, 0, 0}; }
  bool sleepFor(std::chrono::milliseconds, std::stop_token) override { return true; }
};

}  // namespace tern::fuzz
