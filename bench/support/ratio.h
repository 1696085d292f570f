// Figures as ratios measured side by side. On a shared, loaded machine an absolute time says
// little; the work and its reference (a memcpy of the same bytes, a plain write) run
// alternately in one loop, so both see the same load, and the ratio of their medians is the
// figure to compare. Times are the thread's CPU time, so waiting for a core shared with
// other processes counts on neither side; work that waits for the disk is timed by the wall
// clock instead (Interleaved::Time::Wall). The work's time is the benchmark's iteration time
// (UseManualTime); each reference adds the counters "<name>_ms" and "x_<name>" (work /
// reference).
#pragma once

#include <benchmark/benchmark.h>
#include <time.h>

#include <algorithm>
#include <cstring>
#include <map>
#include <string>
#include <vector>

namespace tern::bench {

inline double medianOf(std::vector<double> v) {
  if (v.empty()) return 0;
  std::nth_element(v.begin(), v.begin() + static_cast<std::ptrdiff_t>(v.size() / 2), v.end());
  return v[v.size() / 2];
}

inline double threadCpuSeconds() {
  timespec ts{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
  return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) * 1e-9;
}

inline double wallSeconds() {
  timespec ts{};
  clock_gettime(CLOCK_MONOTONIC, &ts);
  return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) * 1e-9;
}

class Interleaved {
 public:
  enum class Time { ThreadCpu, Wall };
  explicit Interleaved(benchmark::State& state, Time time = Time::ThreadCpu)
      : state_(state), now_(time == Time::Wall ? wallSeconds : threadCpuSeconds) {}
  Interleaved(const Interleaved&) = delete;
  Interleaved& operator=(const Interleaved&) = delete;
  ~Interleaved() {
    const double work = medianOf(work_);
    for (const auto& [name, times] : references_) {
      const double reference = medianOf(times);
      state_.counters[name + "_ms"] = reference * 1e3;
      state_.counters["x_" + name] = reference > 0 ? work / reference : 0;
    }
  }

  template <typename F>
  void work(F&& f) {
    const double s = secondsOf(f);
    work_.push_back(s);
    state_.SetIterationTime(s);
  }

  template <typename F>
  void reference(const std::string& name, F&& f) {
    references_[name].push_back(secondsOf(f));
  }

 private:
  template <typename F>
  double secondsOf(F&& f) {
    const double start = now_();
    f();
    return now_() - start;
  }

  benchmark::State& state_;
  double (*now_)();
  std::vector<double> work_;
  std::map<std::string, std::vector<double>> references_;
};

// memcpy of a buffer of the work's size, the yardstick of the picture operations, two ways:
//   memcpy_cold      goes round a pool of buffer pairs several times larger than the
//                    last-level cache, so each copy reads and writes memory;
//   memcpy_repeated  copies the same source into the same target again right after doing
//                    so untimed, so both are as warm in the caches as they can get (on a
//                    processor whose caches hold both; elsewhere it shows what stays).
// The work runs between the references and pushes them out of the caches, which is why the
// repeated copy warms itself first: a copy timed once per round would be a cold one too.
class MemcpyReference {
 public:
  explicit MemcpyReference(std::size_t bytes) : bytes_(bytes) {
    constexpr std::size_t kPoolBytes = std::size_t{256} << 20;
    const std::size_t pairs = std::max<std::size_t>(2, kPoolBytes / (2 * bytes));
    for (std::size_t i = 0; i < 2 * pairs; ++i)
      pool_.emplace_back(bytes, static_cast<unsigned char>(i));
  }

  void Repeated() {
    std::memcpy(pool_[1].data(), pool_[0].data(), bytes_);
    benchmark::ClobberMemory();
  }
  void Cold() {
    const std::size_t pairs = pool_.size() / 2;
    next_ = next_ % (pairs - 1) + 1;  // pairs 1, 2, ...: never pair 0, the repeated one's
    std::memcpy(pool_[2 * next_ + 1].data(), pool_[2 * next_].data(), bytes_);
    benchmark::ClobberMemory();
  }

  // Both references beside `work` in one iteration.
  template <typename F>
  void Round(Interleaved& timing, F&& work) {
    timing.work(work);
    timing.reference("memcpy_cold", [this] { Cold(); });
    Repeated();
    timing.reference("memcpy_repeated", [this] { Repeated(); });
  }

 private:
  std::size_t bytes_;
  std::vector<std::vector<unsigned char>> pool_;
  std::size_t next_ = 0;
};

}  // namespace tern::bench
