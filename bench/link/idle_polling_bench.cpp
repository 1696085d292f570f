// The CPU share that polling an attached, idle receiver costs: the real polling thread on
// the simulated receiver with the system clock, for the given number of seconds (default
// 60). Prints the process CPU time beside the wall time (the share of one core), and how
// often the idle passes woke the window thread through the hand-over.
#include <time.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <thread>

#include "link/ttern.h"
#include "messages/message_store.h"
#include "poll/get_data_thread.h"
#include "sim/sim_port.h"

namespace {

double cpuSeconds() {
  timespec ts{};
  clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
  return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) / 1e9;
}

class QuietView final : public tern::PollingView {
 public:
  void ShowConnected() override { ++passes; }
  void ShowDisconnected() override {}
  void ShowStatus(const std::string&) override {}
  void BaroLoaded(std::int16_t, std::int16_t) override {}
  void FaxLoaded() override {}
  void DwdLoaded() override {}
  void NavtexLoaded(const std::vector<tern::NavtexAppended>&) override {}
  void WarnClock() override {}
  void ShowWriteFailure(const std::string&) override {}
  ExportWork ExportStep() override { return {}; }
  std::atomic<int> passes{0};
};

// Counts the steps handed to the window thread.
class CountingHandOver final : public tern::HandOver {
 public:
  bool run(const std::function<void()>& step, std::stop_token stop) override {
    ++steps;
    return direct_.run(step, stop);
  }
  std::atomic<int> steps{0};

 private:
  tern::DirectHandOver direct_;
};

}  // namespace

int main(int argc, char** argv) {
  const int seconds = argc > 1 ? std::atoi(argv[1]) : 60;
  const std::string dir = "/tmp/tern_idle_polling/";
  std::system(("mkdir -p " + dir).c_str());
  tern::SystemClock clock;
  tern::MessageStore store(dir, std::string(TERN_ASSETS_DIR) + "/", nullptr);
  auto receiver = std::make_shared<tern::sim::SimReceiver>(tern::sim::Scenario{}, clock);
  tern::TTERN link(std::make_unique<tern::sim::SimPort>(receiver), clock);
  CountingHandOver handOver;
  QuietView view;
  tern::TGetDataThread polling(link, store, clock, handOver, view, {});
  polling.SendSettingsRequest = false;

  // Let the first pass (which reads everything) finish before measuring the idle cost.
  polling.Start();
  while (view.passes < 2) std::this_thread::sleep_for(std::chrono::milliseconds(10));
  const int steps0 = handOver.steps;
  const double cpu0 = cpuSeconds();
  const auto wall0 = std::chrono::steady_clock::now();
  std::this_thread::sleep_for(std::chrono::seconds(seconds));
  const double cpu = cpuSeconds() - cpu0;
  const double wall =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - wall0).count();
  polling.Stop();
  std::printf("idle polling: %.3f s CPU in %.1f s wall (%.3f %% of one core), %d window wake-ups\n",
              cpu, wall, 100.0 * cpu / wall, handOver.steps - steps0);
  return 0;
}
