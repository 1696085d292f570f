#include "sim/sim_stream_server.h"

#include <poll.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <chrono>
#include <thread>

namespace tern::sim {

void serveSimReceiver(SimReceiver& receiver, int fd, std::stop_token stop) {
  std::array<std::uint8_t, 4096> buf{};
  while (!stop.stop_requested()) {
    pollfd pfd{fd, POLLIN, 0};
    int rc = ::poll(&pfd, 1, 5);
    ssize_t n = rc > 0 && (pfd.revents & POLLIN) ? ::read(fd, buf.data(), buf.size()) : -1;
    if (n > 0) {
      receiver.fromHost(ByteView(buf.data(), static_cast<std::size_t>(n)));
    } else if (rc > 0) {
      // No peer on the other side (a pty whose slave is closed, a socket at its end): do
      // not spin.
      std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    std::size_t ready = receiver.toHost(buf);
    std::size_t done = 0;
    while (done < ready && !stop.stop_requested()) {
      ssize_t w = ::write(fd, buf.data() + done, ready - done);
      if (w > 0) {
        done += static_cast<std::size_t>(w);
      } else if (w < 0 && errno != EAGAIN && errno != EINTR) {
        break;  // the peer is gone; the bytes are lost as on a pulled cable
      }
    }
  }
}

}  // namespace tern::sim
