// The clock seam. UTC now, local now and sleeping go through one interface, so ageing,
// clock checks and the polling loop are tested with a fake clock and never wait for real.
#pragma once

#include <chrono>
#include <cstdint>
#include <stop_token>
#include <string>

namespace tern {

// A calendar date and time of day, without a time zone of its own: the caller knows whether
// it holds UTC or local time.
struct CivilTime {
  int year = 2000;
  int month = 1;  // 1..12
  int day = 1;    // 1..31
  int hour = 0;
  int minute = 0;
  int second = 0;
  int millisecond = 0;

  friend bool operator==(const CivilTime&, const CivilTime&) = default;
};

// True when year, month and day form a real date and the time of day is in range.
bool isValidCivilTime(const CivilTime& t);

// Seconds since 1970-01-01 00:00 of the same (unspecified) zone; the inverse of
// civilFromSeconds. Used for differences and ageing, where only the distance counts.
std::int64_t secondsSinceEpoch(const CivilTime& t);
CivilTime civilFromSeconds(std::int64_t seconds);

// "2026-03-05 12:00:00": a time as logs and tools print it.
std::string formatIsoLike(const CivilTime& t);
// The same text appended to `out`, for writers of many of them.
void appendIsoLike(std::string& out, const CivilTime& t);

// Thread: every member may be called from any thread; implementations keep it so.
class Clock {
 public:
  virtual ~Clock() = default;
  virtual CivilTime utcNow() const = 0;
  virtual CivilTime localNow() const = 0;
  // Sleeps for the duration or until a stop is requested on the token, whichever comes
  // first. Returns false when the sleep was ended by the stop request.
  virtual bool sleepFor(std::chrono::milliseconds duration, std::stop_token stop = {}) = 0;
};

// The operating system's clock and the local time zone of the process.
class SystemClock final : public Clock {
 public:
  CivilTime utcNow() const override;
  CivilTime localNow() const override;
  bool sleepFor(std::chrono::milliseconds duration, std::stop_token stop = {}) override;
};

}  // namespace tern
