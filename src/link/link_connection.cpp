#include "link/link_connection.h"

#include <algorithm>

#include "link/protocol.h"

namespace tern {

bool isReceiverDescription(std::string_view description) {
  std::string_view text = description.substr(0, description.find('\0'));
  text = text.substr(0, protocol::kDescriptionMax);
  return text == protocol::kReceiverDescription;
}

LinkConnection::LinkConnection(std::unique_ptr<Port> port)
    : port_(std::move(port)),
      readTimeout_(protocol::kDefaultTimeoutMs),
      writeTimeout_(protocol::kDefaultTimeoutMs),
      txBuffer_(protocol::kTxBufferSize),
      rxBuffer_(protocol::kRxBufferSize) {}

LinkConnection::~LinkConnection() {
  if (isOpen()) CloseLink();
}

bool LinkConnection::IsReceiverPresent() {
  Counted devices = port_->deviceCount();
  if (!devices.ok()) return false;
  std::string text;
  for (std::uint32_t i = 0; i < devices.count; ++i) {
    text.clear();
    if (port_->description(i, text) != LinkStatus::Ok) continue;
    if (isReceiverDescription(text)) return true;
  }
  return false;
}

bool LinkConnection::OpenLink() {
  if (handle_ != 0) {
    // The most recent opener owns the device; the old handle's fate does not matter.
    port_->close();
    handle_ = 0;
  }
  openFailed_ = remember(port_->open(protocol::kReceiverDescription)) != LinkStatus::Ok;
  if (openFailed_) return false;
  lastHandle_ = lastHandle_ == UINT32_MAX ? 1 : lastHandle_ + 1;
  handle_ = lastHandle_;
  return remember(port_->setTimeouts(readTimeout_, writeTimeout_)) == LinkStatus::Ok;
}

bool LinkConnection::CloseLink() {
  if (handle_ == 0) return false;
  if (port_->close() != LinkStatus::Ok) return false;
  handle_ = 0;
  return true;
}

Counted LinkConnection::send(std::uint32_t count) {
  if (handle_ == 0) return {remember(LinkStatus::NotOpen), 0};
  if (count > protocol::kTxBufferSize) return {remember(LinkStatus::IoError), 0};
  if (count == 0) return {remember(LinkStatus::Ok), 0};  // nothing to write, nothing sent
  std::uint32_t done = 0;
  while (done < count) {
    std::uint32_t piece = std::min(count - done, protocol::kWritePiece);
    Counted w = port_->write(ByteView(txBuffer_).subspan(done, piece));
    if (!w.ok() || w.count != piece) {
      return {remember(w.status == LinkStatus::Ok ? LinkStatus::IoError : w.status), 0};
    }
    done += piece;
  }
  return {remember(LinkStatus::Ok), count};
}

Counted LinkConnection::receive(std::uint32_t count) { return receiveAt(0, count); }

Counted LinkConnection::receiveAt(std::uint32_t offset, std::uint32_t count) {
  if (handle_ == 0) return {remember(LinkStatus::NotOpen), 0};
  if (offset > protocol::kRxBufferSize || count > protocol::kRxBufferSize - offset)
    return {remember(LinkStatus::IoError), 0};
  if (count == 0) return {remember(LinkStatus::Ok), 0};
  Counted r = port_->read(std::span<std::uint8_t>(rxBuffer_).subspan(offset, count));
  if (r.status == LinkStatus::Ok && r.count < count) r.status = LinkStatus::Timeout;
  r.count = std::min(r.count, count);
  remember(r.status);
  return r;
}

Counted LinkConnection::queued() {
  if (handle_ == 0) return {LinkStatus::NotOpen, 0};
  return port_->queued();
}

std::uint32_t LinkConnection::SendBytes(std::uint32_t count) { return send(count).count; }

std::uint32_t LinkConnection::ReceiveBytes(std::uint32_t count) {
  Counted r = receive(count);
  return r.status == LinkStatus::Ok || r.status == LinkStatus::Timeout ? r.count : 0;
}

std::uint32_t LinkConnection::QueuedBytes() {
  Counted q = queued();
  return q.ok() ? q.count : 0;
}

void LinkConnection::SetReadTimeout(std::uint32_t ms) {
  readTimeout_ = ms;
  if (handle_ != 0) remember(port_->setTimeouts(readTimeout_, writeTimeout_));
}

}  // namespace tern
