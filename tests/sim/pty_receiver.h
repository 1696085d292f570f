// The simulated receiver served on a pseudo-terminal, which the program reaches as a real
// receiver on a serial port (`--port PATH`). The receiver runs on the system clock.
#pragma once

#include <gtest/gtest.h>
#include <pty.h>
#include <unistd.h>

#include <algorithm>
#include <functional>
#include <string>
#include <thread>

#include "sim/sim_receiver.h"
#include "sim/sim_stream_server.h"

namespace tern::testing {

class PtyReceiver {
 public:
  explicit PtyReceiver(sim::Scenario s) : receiver(std::move(s), clock) {
    char name[256] = {};
    EXPECT_EQ(::openpty(&master_, &slave_, name, nullptr, nullptr), 0);
    path = name;
    server_ =
        std::jthread([this](std::stop_token st) { sim::serveSimReceiver(receiver, master_, st); });
  }
  ~PtyReceiver() {
    server_.request_stop();
    server_.join();
    ::close(slave_);
    ::close(master_);
  }
  PtyReceiver(const PtyReceiver&) = delete;
  PtyReceiver& operator=(const PtyReceiver&) = delete;

  // The index of the first request `match` accepts; the number of requests when none does.
  std::size_t first(const std::function<bool(const Bytes&)>& match) const {
    std::vector<Bytes> all = receiver.requests();
    return static_cast<std::size_t>(std::find_if(all.begin(), all.end(), match) - all.begin());
  }

  SystemClock clock;
  sim::SimReceiver receiver;
  std::string path;

 private:
  int master_ = -1, slave_ = -1;
  std::jthread server_;
};

}  // namespace tern::testing
