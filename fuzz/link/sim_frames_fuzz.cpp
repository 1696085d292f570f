// Feeds arbitrary request bytes to the simulated receiver: its frame parser must survive
// anything a PC could send, in any split, and keep answering in order.
#include <algorithm>
#include <array>
#include <cstdint>

#include "fuzz_clock.h"
#include "sim/sim_receiver.h"

namespace {

tern::sim::Scenario scenario() {
  tern::sim::Scenario s;
  s.logs[1].push_back({3, "FQEN50", {2026, 3, 5, 10, 0, 0}, {}, tern::Bytes(40, 'a')});
  s.baroPressures.assign(70, 100);
  s.receiveTestText = {'R', 'Y'};
  return s;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // One receiver for the whole run, made new for every input.
  static tern::fuzz::FixedClock clock;
  static tern::sim::SimReceiver receiver(scenario(), clock);
  receiver.Reset(scenario());
  std::array<std::uint8_t, 1024> out{};
  // The first byte picks the size of the pieces the input is delivered in.
  std::size_t piece = size > 0 ? (data[0] % 32) + 1 : 1;
  for (std::size_t at = 0; at < size; at += piece) {
    receiver.fromHost(tern::ByteView(data + at, std::min(piece, size - at)));
    while (receiver.toHost(out) > 0) {
    }
  }
  return 0;
}
