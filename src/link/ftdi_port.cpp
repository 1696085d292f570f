#include "link/ftdi_port.h"

#include <ftdi.h>
#include <libusb.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <thread>

#include "link/protocol.h"
#include "link/receiver_access.h"

namespace tern {

namespace {

// Milliseconds the chip holds back a short packet. The receiver's exchanges are many and
// small, so the default 16 ms would dominate every command.
constexpr unsigned char kLatencyMs = 2;
// The chip answers every bulk read within the latency time, with data or with its status
// bytes alone; a transfer timeout shorter than this would report an error instead.
constexpr int kMinTransferMs = 10;
// libftdi's result when the device opened but its interface could not be claimed.
constexpr int kClaimFailed = -5;
// "Transmitter empty" in the line status, the high byte of the polled modem status.
constexpr unsigned short kTransmitterEmpty = 0x4000;

// A transfer that timed out only means nothing arrived in that slice.
int bytesOrError(int rc) { return rc == LIBUSB_ERROR_TIMEOUT ? 0 : rc; }

using SteadyClock = std::chrono::steady_clock;

int msUntil(SteadyClock::time_point deadline) {
  auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - SteadyClock::now());
  return static_cast<int>(std::max<std::int64_t>(left.count(), 0));
}

}  // namespace

FtdiPort::FtdiPort(UsbRoots roots) : roots_(std::move(roots)) {}

FtdiPort::~FtdiPort() {
  if (open_) close();
  if (ctx_ != nullptr) ftdi_free(ctx_);
}

Counted FtdiPort::deviceCount() {
  devices_ = scanUsbDevices(roots_.sysfs);
  return {LinkStatus::Ok, static_cast<std::uint32_t>(devices_.size())};
}

LinkStatus FtdiPort::description(std::uint32_t index, std::string& text) {
  if (index >= devices_.size() || !devices_[index].hasProduct) return LinkStatus::IoError;
  text = devices_[index].product.substr(0, protocol::kDescriptionMax);
  return LinkStatus::Ok;
}

LinkStatus FtdiPort::open(std::string_view description) {
  if (open_) return LinkStatus::IoError;
  std::vector<UsbDeviceInfo> devices = scanUsbDevices(roots_.sysfs);
  auto found = std::find_if(devices.begin(), devices.end(), [&](const UsbDeviceInfo& d) {
    return d.hasProduct && d.product.substr(0, protocol::kDescriptionMax) == description;
  });
  if (found == devices.end()) return LinkStatus::IoError;
  if (ctx_ == nullptr) {
    ctx_ = ftdi_new();  // fails without a usable libusb: no receiver then
    if (ctx_ == nullptr) return LinkStatus::IoError;
  }
  // The kernel's serial driver holds the interface; take it while open and hand it back
  // when the interface is released on close.
  ctx_->module_detach_mode = AUTO_DETACH_REATACH_SIO_MODULE;
  std::string desc(description);
  int rc = ftdi_usb_open_desc(ctx_, found->vendorId, found->productId, desc.c_str(), nullptr);
  claimRefused_ = rc == kClaimFailed;
  if (rc < 0) return LinkStatus::IoError;
  open_ = true;
  pending_.clear();
  // Only input is stale here (a reply to nobody). The chip may still be sending what an
  // earlier open wrote just before it closed; flushing both ways would cut that command.
  if (ftdi_set_latency_timer(ctx_, kLatencyMs) < 0 || ftdi_tciflush(ctx_) < 0) {
    close();
    return LinkStatus::IoError;
  }
  return LinkStatus::Ok;
}

LinkStatus FtdiPort::setTimeouts(std::uint32_t readMs, std::uint32_t writeMs) {
  if (!open_) return LinkStatus::NotOpen;
  readTimeoutMs_ = readMs;
  writeTimeoutMs_ = writeMs;
  ctx_->usb_write_timeout = static_cast<int>(std::min<std::uint32_t>(writeMs, INT32_MAX));
  return LinkStatus::Ok;
}

Counted FtdiPort::write(ByteView data) {
  if (!open_) return {LinkStatus::NotOpen, 0};
  if (data.size() > protocol::kTxBufferSize) return {LinkStatus::IoError, 0};
  int rc = ftdi_write_data(ctx_, data.data(), static_cast<int>(data.size()));
  if (rc < 0) return {LinkStatus::IoError, 0};
  auto n = static_cast<std::uint32_t>(rc);
  return {n == data.size() ? LinkStatus::Ok : LinkStatus::Timeout, n};
}

bool FtdiPort::fetchAvailable() {
  std::array<std::uint8_t, 4096> chunk{};
  ctx_->usb_read_timeout = kMinTransferMs;
  int rc = bytesOrError(ftdi_read_data(ctx_, chunk.data(), static_cast<int>(chunk.size())));
  if (rc < 0) return false;
  pending_.insert(pending_.end(), chunk.begin(), chunk.begin() + rc);
  return true;
}

Counted FtdiPort::read(std::span<std::uint8_t> into) {
  if (!open_) return {LinkStatus::NotOpen, 0};
  auto deadline = SteadyClock::now() + std::chrono::milliseconds(readTimeoutMs_);
  std::size_t got = std::min(pending_.size(), into.size());
  std::copy_n(pending_.begin(), got, into.begin());
  pending_.erase(pending_.begin(), pending_.begin() + static_cast<std::ptrdiff_t>(got));
  // libftdi returns whatever one USB transfer brought; the caller wants the whole count or
  // the read timeout, so keep reading until either.
  while (got < into.size()) {
    int left = msUntil(deadline);
    if (left == 0) break;
    ctx_->usb_read_timeout = std::max(left, kMinTransferMs);
    int want = static_cast<int>(std::min<std::size_t>(into.size() - got, INT32_MAX));
    int rc = bytesOrError(ftdi_read_data(ctx_, into.data() + got, want));
    if (rc < 0) return {LinkStatus::IoError, static_cast<std::uint32_t>(got)};
    got += static_cast<std::size_t>(rc);
  }
  auto n = static_cast<std::uint32_t>(got);
  return {got == into.size() ? LinkStatus::Ok : LinkStatus::Timeout, n};
}

Counted FtdiPort::queued() {
  if (!open_) return {LinkStatus::NotOpen, 0};
  // The chip has no queue-size request; what arrived is fetched into a buffer of our own.
  if (pending_.size() < protocol::kRxBufferSize && !fetchAvailable())
    return {LinkStatus::IoError, 0};
  return {LinkStatus::Ok, static_cast<std::uint32_t>(pending_.size())};
}

void FtdiPort::drainOutput() {
  auto deadline = SteadyClock::now() + std::chrono::milliseconds(writeTimeoutMs_);
  unsigned short status = 0;
  while (ftdi_poll_modem_status(ctx_, &status) == 0 && (status & kTransmitterEmpty) == 0) {
    if (msUntil(deadline) == 0) return;
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
}

LinkStatus FtdiPort::close() {
  if (!open_) return LinkStatus::Ok;
  drainOutput();
  open_ = false;
  pending_.clear();
  // Closing releases the interface, which gives the kernel driver back.
  return ftdi_usb_close(ctx_) < 0 ? LinkStatus::IoError : LinkStatus::Ok;
}

AccessProblem FtdiPort::accessProblem() {
  return accessProblemOf(findReceiverDevices(roots_), claimRefused_);
}

}  // namespace tern
