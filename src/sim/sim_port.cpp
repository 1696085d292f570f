#include "sim/sim_port.h"

#include <chrono>

namespace tern::sim {

SimPort::SimPort(std::shared_ptr<SimReceiver> receiver) : receiver_(std::move(receiver)) {}

Counted SimPort::deviceCount() { return {LinkStatus::Ok, receiver_->attached() ? 1u : 0u}; }

LinkStatus SimPort::description(std::uint32_t index, std::string& text) {
  if (index != 0 || !receiver_->attached()) return LinkStatus::IoError;
  text = receiver_->description();
  return LinkStatus::Ok;
}

LinkStatus SimPort::open(std::string_view description) {
  // Like the vendor library, a device already open is not opened a second time.
  if (open_ || !receiver_->attached() || description != receiver_->description())
    return LinkStatus::IoError;
  // The real backends start every opening with an empty receive queue; so does this one.
  receiver_->discardReady();
  open_ = true;
  return LinkStatus::Ok;
}

LinkStatus SimPort::setTimeouts(std::uint32_t readMs, std::uint32_t) {
  if (!open_) return LinkStatus::NotOpen;
  if (!receiver_->attached()) return LinkStatus::IoError;
  readTimeoutMs_ = readMs;
  return LinkStatus::Ok;
}

Counted SimPort::write(ByteView data) {
  if (!open_) return {LinkStatus::NotOpen, 0};
  if (!receiver_->attached()) return {LinkStatus::IoError, 0};
  receiver_->fromHost(data);
  return {LinkStatus::Ok, static_cast<std::uint32_t>(data.size())};
}

Counted SimPort::read(std::span<std::uint8_t> into) {
  if (!open_) return {LinkStatus::NotOpen, 0};
  if (!receiver_->attached()) return {LinkStatus::IoError, 0};
  Clock& clock = receiver_->clock();
  std::int64_t now = SimReceiver::msOf(clock.utcNow());
  std::int64_t deadline = now + readTimeoutMs_;
  auto due = receiver_->readyAtMs(into.size());
  std::int64_t wakeAt = due && *due <= deadline ? *due : deadline;
  if (wakeAt > now) clock.sleepFor(std::chrono::milliseconds(wakeAt - now));
  auto got = static_cast<std::uint32_t>(receiver_->toHost(into));
  if (got < into.size() && !receiver_->attached()) return {LinkStatus::IoError, got};
  return {got == into.size() ? LinkStatus::Ok : LinkStatus::Timeout, got};
}

Counted SimPort::queued() {
  if (!open_) return {LinkStatus::NotOpen, 0};
  if (!receiver_->attached()) return {LinkStatus::IoError, 0};
  return {LinkStatus::Ok, static_cast<std::uint32_t>(receiver_->readyCount())};
}

LinkStatus SimPort::close() {
  open_ = false;
  return LinkStatus::Ok;
}

}  // namespace tern::sim
