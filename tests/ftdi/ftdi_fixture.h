// The receiver link on the FTDI backend, libftdi1 and the libusb stand-in, with the
// simulated receiver at the far end of the chip's serial line.
#pragma once

#include <gtest/gtest.h>

#include <memory>

#include "fakes/fake_clock.h"
#include "ftdi/fake_usb_tree.h"
#include "ftdi/sim_line.h"
#include "ftdi/usb_double.h"
#include "link/ftdi_port.h"
#include "link/ttern.h"
#include "sim/sim_receiver.h"

namespace tern::testing {

class FtdiDouble : public ::testing::Test {
 protected:
  FtdiDouble() { usb.addReceiver(); }
  ~FtdiDouble() override { usbdouble::unplug(); }

  // A line as fast as the chip goes; the default device runs at the rate the host programs.
  static usbdouble::Device fastLine() {
    usbdouble::Device d;
    d.lineBaud = 3000000;
    return d;
  }
  void plug(usbdouble::Device device, sim::Scenario scenario = {}) {
    if (!receiver)
      receiver = std::make_shared<sim::SimReceiver>(std::move(scenario), receiverClock);
    device.line = std::make_shared<SimLine>(receiver);
    usbdouble::plug(std::move(device));
  }
  std::unique_ptr<FtdiPort> port() const {
    return std::make_unique<FtdiPort>(UsbRoots{usb.sysfs(), usb.dev()});
  }
  std::unique_ptr<TTERN> link() { return std::make_unique<TTERN>(port(), clock); }

  FakeUsbTree usb{"tern_ftdi"};
  SystemClock receiverClock;
  FakeClock clock{{2026, 3, 5, 14, 20, 0, 0}, 60};
  std::shared_ptr<sim::SimReceiver> receiver;
};

}  // namespace tern::testing
