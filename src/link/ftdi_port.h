// The default backend: the receiver's FTDI converter through libftdi1. Presence comes
// from sysfs (no device is opened for it); opening uses the vendor and product IDs of the
// device found there, detaches the kernel's serial driver while open and gives it back on
// close. The library calls go through the USB module (link/usb_library.h), loaded at the
// first open of an attached receiver. Missing USB permissions, a failing libusb or a missing
// module never crash; accessProblem() then says which it was.
//
// The chip keeps what it was given: an open discards only stale input, never bytes an
// earlier open wrote that are still on their way out, and a close waits (at most the write
// timeout) until the chip reports its transmitter empty. A command with no reply, such as
// setting the clock, is whole at the receiver before the next open, also on a slow line.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "link/port.h"
#include "link/sysfs_usb.h"
#include "link/usb_library.h"

namespace tern {

// Thread: one thread at a time, like every port.
class FtdiPort final : public Port {
 public:
  explicit FtdiPort(UsbRoots roots = UsbRoots::System());
  ~FtdiPort() override;
  FtdiPort(const FtdiPort&) = delete;
  FtdiPort& operator=(const FtdiPort&) = delete;

  Counted deviceCount() override;
  LinkStatus description(std::uint32_t index, std::string& text) override;
  LinkStatus open(std::string_view description) override;
  LinkStatus setTimeouts(std::uint32_t readMs, std::uint32_t writeMs) override;
  Counted write(ByteView data) override;
  Counted read(std::span<std::uint8_t> into) override;
  Counted queued() override;
  LinkStatus close() override;
  AccessProblem accessProblem() override;

 private:
  // Moves what the chip has now into pending_; false on a USB error.
  bool fetchAvailable();
  // Waits until the chip's transmitter is empty, the write timeout passed or the chip fails.
  void drainOutput();

  UsbRoots roots_;
  std::vector<UsbDeviceInfo> devices_;  // from the last deviceCount()
  std::unique_ptr<FtdiDevice> device_;  // kept across openings; libusb setup is costly
  std::string moduleError_;             // why the last open found no USB module
  bool open_ = false;
  bool claimRefused_ = false;  // the last open found the interface claimed by someone else
  std::uint32_t readTimeoutMs_ = 800;
  std::uint32_t writeTimeoutMs_ = 800;
  std::vector<std::uint8_t> pending_;  // received, not yet read: the queued count
};

}  // namespace tern
