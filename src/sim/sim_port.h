// The simulated receiver behind the port interface (`--simulate`). Reads wait on the clock
// seam for the receiver's reply times, so a fake clock runs slow or silent receivers at
// full speed while the system clock gives the demo real timing.
#pragma once

#include <memory>

#include "link/port.h"
#include "sim/sim_receiver.h"

namespace tern::sim {

// Thread: one thread at a time, like every port.
class SimPort final : public Port {
 public:
  explicit SimPort(std::shared_ptr<SimReceiver> receiver);

  Counted deviceCount() override;
  LinkStatus description(std::uint32_t index, std::string& text) override;
  LinkStatus open(std::string_view description) override;
  LinkStatus setTimeouts(std::uint32_t readMs, std::uint32_t writeMs) override;
  Counted write(ByteView data) override;
  Counted read(std::span<std::uint8_t> into) override;
  Counted queued() override;
  LinkStatus close() override;

  SimReceiver& receiver() { return *receiver_; }

 private:
  std::shared_ptr<SimReceiver> receiver_;
  bool open_ = false;
  std::uint32_t readTimeoutMs_ = 0;
};

}  // namespace tern::sim
