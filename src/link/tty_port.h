// The serial-tty backend (`--port PATH`): the receiver through the kernel's own serial
// driver (/dev/ttyUSB*), or anything else that behaves like a tty, such as a
// pseudo-terminal served by the simulated receiver. Raw mode, poll() for the timeouts,
// FIONREAD for the queued count.
#pragma once

#include <cstdint>
#include <string>

#include "link/port.h"

namespace tern {

// Thread: one thread at a time, like every port.
class TtyPort final : public Port {
 public:
  explicit TtyPort(std::string path);
  ~TtyPort() override;
  TtyPort(const TtyPort&) = delete;
  TtyPort& operator=(const TtyPort&) = delete;

  // One device while the path exists as a character device. The user named it as the
  // receiver, so its description is the receiver's.
  Counted deviceCount() override;
  LinkStatus description(std::uint32_t index, std::string& text) override;
  // Opens the path exclusively (a second opener fails, as with the vendor library), sets
  // raw mode and discards stale input only: output an earlier open wrote and the receiver
  // has not read yet stays on its way. The line speed is left as the driver has it.
  LinkStatus open(std::string_view description) override;
  LinkStatus setTimeouts(std::uint32_t readMs, std::uint32_t writeMs) override;
  Counted write(ByteView data) override;
  Counted read(std::span<std::uint8_t> into) override;
  Counted queued() override;
  // Waits until the written bytes have left (bounded by the write timeout), then closes.
  LinkStatus close() override;
  AccessProblem accessProblem() override;

 private:
  void drainOutput();

  std::string path_;
  int fd_ = -1;
  std::uint32_t readTimeoutMs_ = 800;
  std::uint32_t writeTimeoutMs_ = 800;
};

}  // namespace tern
