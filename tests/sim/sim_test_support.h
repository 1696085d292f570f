// The real TTERN on the simulated receiver, with a fake clock for every wait.
#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <memory>

#include "fakes/fake_clock.h"
#include "link/ttern.h"
#include "sim/sim_port.h"

namespace tern::testing {

class SimFixture : public ::testing::Test {
 protected:
  void start(sim::Scenario s = {}) {
    receiver = std::make_shared<sim::SimReceiver>(std::move(s), clock);
    link = std::make_unique<TTERN>(std::make_unique<sim::SimPort>(receiver), clock);
  }
  std::int64_t nowMs() const { return sim::SimReceiver::msOf(clock.utcNow()); }

  FakeClock clock;
  std::shared_ptr<sim::SimReceiver> receiver;
  std::unique_ptr<TTERN> link;
};

// A receiver that starts reprogramming itself but whose acknowledgement is lost on the way;
// it answers again `busy` after the start.
inline std::function<void(sim::Scenario&)> lostAcknowledgement(std::chrono::milliseconds busy) {
  return [busy](sim::Scenario& s) {
    s.faults.shortReplyTo = protocol::kStartProgramming;
    s.faults.shortReplyBy = 2;
    s.reprogrammingTime = busy;
  };
}

inline sim::SimRecord record(std::uint8_t code, std::string key, std::size_t length) {
  sim::SimRecord r;
  r.code = code;
  r.key = std::move(key);
  r.received = {2026, 3, 5, 12, 30, 15, 0};
  r.own = {1, 2, 3};
  r.data.resize(length);
  for (std::size_t i = 0; i < length; ++i) r.data[i] = static_cast<std::uint8_t>(i * 13);
  return r;
}

}  // namespace tern::testing
