#include "common/clock.h"

#include <condition_variable>
#include <cstdio>
#include <ctime>
#include <mutex>

namespace tern {

namespace {

CivilTime fromTm(const std::tm& tm, int millisecond) {
  return CivilTime{tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour,
                   tm.tm_min,         tm.tm_sec,     millisecond};
}

struct Now {
  std::time_t seconds;
  int millisecond;
};

Now now() {
  auto tp = std::chrono::system_clock::now();
  auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(tp.time_since_epoch()).count();
  return Now{static_cast<std::time_t>(ms / 1000), static_cast<int>(ms % 1000)};
}

}  // namespace

bool isValidCivilTime(const CivilTime& t) {
  using namespace std::chrono;
  if (t.year < 1 || t.month < 1 || t.month > 12 || t.day < 1 || t.day > 31) return false;
  year_month_day ymd{year{t.year}, month{static_cast<unsigned>(t.month)},
                     day{static_cast<unsigned>(t.day)}};
  return ymd.ok() && t.hour >= 0 && t.hour < 24 && t.minute >= 0 && t.minute < 60 &&
         t.second >= 0 && t.second < 60 && t.millisecond >= 0 && t.millisecond < 1000;
}

std::int64_t secondsSinceEpoch(const CivilTime& t) {
  using namespace std::chrono;
  year_month_day ymd{year{t.year}, month{static_cast<unsigned>(t.month)},
                     day{static_cast<unsigned>(t.day)}};
  std::int64_t days = sys_days{ymd}.time_since_epoch().count();
  return days * 86400 + t.hour * 3600 + t.minute * 60 + t.second;
}

CivilTime civilFromSeconds(std::int64_t seconds) {
  using namespace std::chrono;
  std::int64_t days = seconds >= 0 ? seconds / 86400 : -((-seconds + 86399) / 86400);
  std::int64_t rest = seconds - days * 86400;
  year_month_day ymd{sys_days{std::chrono::days{days}}};
  return CivilTime{static_cast<int>(ymd.year()),
                   static_cast<int>(unsigned(ymd.month())),
                   static_cast<int>(unsigned(ymd.day())),
                   static_cast<int>(rest / 3600),
                   static_cast<int>(rest / 60 % 60),
                   static_cast<int>(rest % 60),
                   0};
}

void appendIsoLike(std::string& out, const CivilTime& t) {
  const auto twoDigits = [](int v) { return v >= 0 && v <= 99; };
  if (t.year < 0 || t.year > 9999 || !twoDigits(t.month) || !twoDigits(t.day) ||
      !twoDigits(t.hour) || !twoDigits(t.minute) || !twoDigits(t.second)) {
    // Fields out of their ranges (a damaged record) print as they always have.
    char buf[40];
    std::snprintf(buf, sizeof buf, "%04d-%02d-%02d %02d:%02d:%02d", t.year, t.month, t.day, t.hour,
                  t.minute, t.second);
    out += buf;
    return;
  }
  char text[19] = {'0', '0', '0', '0', '-', '0', '0', '-', '0', '0',
                   ' ', '0', '0', ':', '0', '0', ':', '0', '0'};
  const auto put = [&text](int at, int v) {
    text[at] = static_cast<char>('0' + v / 10);
    text[at + 1] = static_cast<char>('0' + v % 10);
  };
  put(0, t.year / 100);
  put(2, t.year % 100);
  put(5, t.month);
  put(8, t.day);
  put(11, t.hour);
  put(14, t.minute);
  put(17, t.second);
  out.append(text, sizeof text);
}

std::string formatIsoLike(const CivilTime& t) {
  std::string out;
  appendIsoLike(out, t);
  return out;
}

CivilTime SystemClock::utcNow() const {
  Now n = now();
  std::tm tm{};
  gmtime_r(&n.seconds, &tm);
  return fromTm(tm, n.millisecond);
}

CivilTime SystemClock::localNow() const {
  Now n = now();
  std::tm tm{};
  localtime_r(&n.seconds, &tm);
  return fromTm(tm, n.millisecond);
}

bool SystemClock::sleepFor(std::chrono::milliseconds duration, std::stop_token stop) {
  std::mutex m;
  std::condition_variable_any cv;
  std::unique_lock lock(m);
  // wait_for with a stop token returns the predicate, which never becomes true: it returns
  // early only because of the stop request.
  cv.wait_for(lock, stop, duration, [] { return false; });
  return !stop.stop_requested();
}

}  // namespace tern
