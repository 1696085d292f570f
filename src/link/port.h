// The seam between the link and a device. Shaped like the vendor library's calls (device
// count, description by index, open by description, timeouts, write, read, queued bytes,
// close) so the connection layer keeps the receiver's exact call sequence whatever backend
// sits below: libftdi, a serial tty, the simulated receiver or a test's scripted fake.
#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "common/bytes.h"
#include "link/access_problem.h"
#include "link/link_status.h"

namespace tern {

// Thread: a port is used by one thread at a time (the link's single-user arrangement);
// implementations need not lock.
class Port {
 public:
  virtual ~Port() = default;

  // Number of attached devices this backend can see; never opens one.
  virtual Counted deviceCount() = 0;
  // USB product description of device `index`, without any trailing 0 byte.
  virtual LinkStatus description(std::uint32_t index, std::string& text) = 0;
  // Opens the first device with exactly this description.
  virtual LinkStatus open(std::string_view description) = 0;
  virtual LinkStatus setTimeouts(std::uint32_t readMs, std::uint32_t writeMs) = 0;
  // Writes all bytes; Ok only when every byte went out.
  virtual Counted write(ByteView data) = 0;
  // Fills `into` completely or until the read timeout; Timeout carries the count read.
  virtual Counted read(std::span<std::uint8_t> into) = 0;
  // Received bytes waiting to be read.
  virtual Counted queued() = 0;
  virtual LinkStatus close() = 0;

  // Why an attached receiver cannot be opened, when the backend can tell (asked after a
  // failed open; may take a while, as it looks at device nodes and processes).
  virtual AccessProblem accessProblem() { return {}; }
};

}  // namespace tern
