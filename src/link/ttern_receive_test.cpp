// The reception test: the receiver tunes to one transmitter and streams the decoded text
// as single unframed bytes until the program stops it.
#include <chrono>

#include "link/ttern.h"

namespace tern {

namespace p = protocol;

bool TTERN::StartReceiveTest(std::uint8_t code, bool autoOpen) {
  const std::uint8_t payload[1] = {code};
  return exchangeAck(p::kStartReceiveTest, payload, autoOpen);
}

bool TTERN::StopReceiveTest(bool autoOpen) {
  using std::chrono::milliseconds;
  return withLink(autoOpen, [&] {
    if (!sendFrame(p::kStopReceiveTest, {})) return false;
    // The acknowledgement comes behind whatever the stream still had on its way.
    for (int i = 0; i < 6; ++i) {
      clock_.sleepFor(milliseconds(200));
      if (link_.QueuedBytes() >= 2) break;
    }
    clock_.sleepFor(milliseconds(300));
    std::uint32_t n = link_.QueuedBytes();
    if (n < 2 || n > p::kRxBufferSize || !receiveExactly(n)) return false;
    ByteView rx = link_.RxBuffer();
    return rx[n - 2] == p::kStopReceiveTest && rx[n - 1] == 0;
  });
}

bool TTERN::ReadStreamByte(std::uint8_t& byte, bool autoOpen) {
  return withLink(autoOpen, [&] {
    if (link_.QueuedBytes() == 0 || !receiveExactly(1)) return false;
    byte = link_.RxBuffer()[0];
    return true;
  });
}

}  // namespace tern
