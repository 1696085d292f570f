// Keeps the demo receiver alive while one watches: as the clock moves on, the bulletins, NAVTEX
// messages and charts of the demo programme arrive at their broadcast times, a barometer sample
// is added every minute, and the receiver raises its status bits, so the program always has
// something new to read. DemoPort drives it from the port calls the polling thread makes anyway,
// so no thread of its own is needed and a fake clock tests it step by step.
#pragma once

#include <cstdint>
#include <memory>

#include "common/clock.h"
#include "link/port.h"
#include "sim/demo_weather.h"
#include "sim/sim_port.h"
#include "sim/sim_receiver.h"

namespace tern::sim {

// Thread: one thread at a time (the one using the port); the receiver locks itself.
class DemoLife {
 public:
  // `startSeconds`: the time (UTC) up to which `receiver` already holds the demo content.
  DemoLife(std::shared_ptr<SimReceiver> receiver, std::int64_t startSeconds);

  // Adds everything that became due since the last call, by the receiver's clock.
  void tick();

  // Longest stretch made up after the clock jumped (a suspended computer): older broadcasts
  // are skipped rather than rendered all at once.
  static constexpr std::int64_t kMaxCatchUpSeconds = 6 * 3600;

 private:
  std::shared_ptr<SimReceiver> receiver_;
  DemoWeather weather_;
  std::int64_t doneUntil_;
  std::int64_t lastBaroMinute_;
};

// The simulated receiver with its demo life, behind the port interface.
// Thread: one thread at a time, like every port.
class DemoPort final : public Port {
 public:
  DemoPort(std::shared_ptr<SimReceiver> receiver, std::int64_t startSeconds);

  Counted deviceCount() override;
  LinkStatus description(std::uint32_t index, std::string& text) override;
  LinkStatus open(std::string_view description) override;
  LinkStatus setTimeouts(std::uint32_t readMs, std::uint32_t writeMs) override;
  Counted write(ByteView data) override;
  Counted read(std::span<std::uint8_t> into) override;
  Counted queued() override;
  LinkStatus close() override;

  SimReceiver& receiver() { return port_.receiver(); }

 private:
  SimPort port_;
  DemoLife life_;
};

// The demo receiver as `--simulate` uses it: the demo scenario at the clock's time, kept alive.
std::unique_ptr<Port> makeDemoPort(Clock& clock);

}  // namespace tern::sim
