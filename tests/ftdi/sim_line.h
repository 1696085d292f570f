// The simulated receiver as the far end of the stand-in chip's serial line.
#pragma once

#include <memory>

#include "ftdi/usb_double.h"
#include "sim/sim_receiver.h"

namespace tern::testing {

class SimLine final : public usbdouble::LineEnd {
 public:
  explicit SimLine(std::shared_ptr<sim::SimReceiver> receiver) : receiver_(std::move(receiver)) {}
  void fromHost(const std::uint8_t* data, std::size_t count) override {
    receiver_->fromHost(ByteView(data, count));
  }
  std::size_t toHost(std::uint8_t* out, std::size_t max) override {
    return receiver_->toHost(std::span<std::uint8_t>(out, max));
  }

 private:
  std::shared_ptr<sim::SimReceiver> receiver_;
};

}  // namespace tern::testing
