// The connection layer of the receiver link: finding, opening and closing the receiver,
// its timeouts and the raw transfer of the request and reply buffers. Every receiver
// command stands on these few operations; they never throw and never show anything.
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <vector>

#include "link/link_status.h"
#include "link/port.h"

namespace tern {

// Thread: one thread at a time. The session gives the link to its polling thread alone;
// any other user takes it through PollingOwner::TakeLink, which stops and joins the polling
// thread first (poll/polling_owner.h). So the class has no lock.
class LinkConnection {
 public:
  explicit LinkConnection(std::unique_ptr<Port> port);
  ~LinkConnection();
  LinkConnection(const LinkConnection&) = delete;
  LinkConnection& operator=(const LinkConnection&) = delete;

  // Nonzero while a device is open; a new number for every successful open.
  std::uint32_t Handle() const { return handle_; }
  std::uint32_t ReadTimeout() const { return readTimeout_; }
  std::uint32_t WriteTimeout() const { return writeTimeout_; }
  // The request being sent (32768 bytes) and the reply (1 MiB); both allocated once.
  std::span<std::uint8_t> TxBuffer() { return txBuffer_; }
  std::span<const std::uint8_t> RxBuffer() const { return rxBuffer_; }

  // True when an attached device has exactly the receiver's description. Opens nothing.
  bool IsReceiverPresent();
  // Closes any handle still open, opens the receiver by description, sets both timeouts.
  // False also when the timeouts were refused; the device then stays open.
  bool OpenLink();
  // False when already closed (no device call) or when the device refuses (handle kept).
  bool CloseLink();
  // Sends the first `count` bytes of TxBuffer in pieces of at most 16384 bytes; count on
  // success, 0 on any failure (never a partial count).
  std::uint32_t SendBytes(std::uint32_t count);
  // Reads up to `count` bytes into RxBuffer; the number read (fewer on timeout), 0 on failure.
  std::uint32_t ReceiveBytes(std::uint32_t count);
  // Received bytes waiting; 0 when closed or on error.
  std::uint32_t QueuedBytes();
  // Stores the read timeout and hands it to the device at once when open.
  void SetReadTimeout(std::uint32_t ms);

  // The same transfers with their typed outcome, for the command layer. `send` and
  // `receive` are Ok only when the whole count moved.
  Counted send(std::uint32_t count);
  Counted receive(std::uint32_t count);
  // Reads up to `count` bytes into RxBuffer from `offset` on, for a reply taken in pieces.
  Counted receiveAt(std::uint32_t offset, std::uint32_t count);
  Counted queued();
  // Outcome of the last open or transfer (a close does not hide why an exchange failed);
  // for diagnostics such as tern-cli.
  LinkStatus lastStatus() const { return lastStatus_; }
  bool isOpen() const { return handle_ != 0; }
  // Why the attached receiver could not be opened, when the backend can tell; nothing when
  // the last open went through (a receiver that opens but stays silent has no access problem).
  AccessProblem accessProblem() { return openFailed_ ? port_->accessProblem() : AccessProblem{}; }

 private:
  LinkStatus remember(LinkStatus s) { return lastStatus_ = s; }

  std::unique_ptr<Port> port_;
  std::uint32_t handle_ = 0;
  std::uint32_t lastHandle_ = 0;
  std::uint32_t readTimeout_;
  std::uint32_t writeTimeout_;
  std::vector<std::uint8_t> txBuffer_;
  std::vector<std::uint8_t> rxBuffer_;
  LinkStatus lastStatus_ = LinkStatus::NotOpen;
  bool openFailed_ = false;  // the last OpenLink could not open the device
};

// Compares a device description with the receiver's: up to the first 0 byte, at most 80
// characters, exactly and case-sensitively.
bool isReceiverDescription(std::string_view description);

}  // namespace tern
