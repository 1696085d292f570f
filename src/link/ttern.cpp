#include "link/ttern.h"

#include <algorithm>

namespace tern {

TTERN::TTERN(std::unique_ptr<Port> port, Clock& clock) : link_(std::move(port)), clock_(clock) {}

TTERN::~TTERN() {
  if (link_.isOpen()) link_.CloseLink();
}

bool TTERN::sendFrame(std::uint8_t code, ByteView payload) {
  // Payloads are at most a few bytes; the frame's length byte cannot say more than 255.
  if (payload.size() > 255) return false;
  std::span<std::uint8_t> tx = link_.TxBuffer();
  tx[0] = code;
  tx[1] = static_cast<std::uint8_t>(payload.size());
  std::copy(payload.begin(), payload.end(), tx.begin() + protocol::kFrameHead);
  auto count = static_cast<std::uint32_t>(protocol::kFrameHead + payload.size());
  return link_.send(count).ok();
}

bool TTERN::receiveExactly(std::uint32_t count) { return link_.receive(count).ok(); }

bool TTERN::expectHead(std::uint8_t code, std::uint8_t length) {
  if (!receiveExactly(protocol::kFrameHead)) return false;
  ByteView rx = link_.RxBuffer();
  return rx[0] == code && rx[1] == length;
}

bool TTERN::exchangeAck(std::uint8_t code, ByteView payload, bool autoOpen) {
  return withLink(autoOpen, [&] { return sendFrame(code, payload) && expectHead(code, 0); });
}

ByteView TTERN::RecordData() const { return link_.RxBuffer().first(recordDataLength_); }

}  // namespace tern
