#include "link/ftdi_port.h"

#include <algorithm>
#include <array>
#include <chrono>
#include <thread>

#include "link/protocol.h"
#include "link/receiver_access.h"
#include "link/usb_module.h"

namespace tern {

namespace {

// Milliseconds the chip holds back a short packet. The receiver's exchanges are many and
// small, so the default 16 ms would dominate every command.
constexpr unsigned char kLatencyMs = 2;
// The chip answers every bulk read within the latency time, with data or with its status
// bytes alone; a transfer timeout shorter than this would report an error instead.
constexpr int kMinTransferMs = 10;
// "Transmitter empty" in the line status, the high byte of the polled modem status.
constexpr int kTransmitterEmpty = 0x4000;

using SteadyClock = std::chrono::steady_clock;

int msUntil(SteadyClock::time_point deadline) {
  auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - SteadyClock::now());
  return static_cast<int>(std::max<std::int64_t>(left.count(), 0));
}

}  // namespace

FtdiPort::FtdiPort(UsbRoots roots) : roots_(std::move(roots)) {}

FtdiPort::~FtdiPort() {
  if (open_) close();
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
  if (device_ == nullptr) {
    const UsbModuleLoad& usb = SharedUsbModule();
    moduleError_ = usb.error;
    if (usb.library == nullptr) return LinkStatus::IoError;
    device_ = usb.library->newFtdi();  // fails without a usable libusb: no receiver then
    if (device_ == nullptr) return LinkStatus::IoError;
  }
  const FtdiOpen opened =
      device_->open(found->vendorId, found->productId, std::string(description));
  claimRefused_ = opened == FtdiOpen::ClaimRefused;
  if (opened != FtdiOpen::Opened) return LinkStatus::IoError;
  open_ = true;
  pending_.clear();
  // Only input is stale here (a reply to nobody). The chip may still be sending what an
  // earlier open wrote just before it closed; flushing both ways would cut that command.
  if (!device_->setLatency(kLatencyMs) || !device_->flushInput()) {
    close();
    return LinkStatus::IoError;
  }
  return LinkStatus::Ok;
}

LinkStatus FtdiPort::setTimeouts(std::uint32_t readMs, std::uint32_t writeMs) {
  if (!open_) return LinkStatus::NotOpen;
  readTimeoutMs_ = readMs;
  writeTimeoutMs_ = writeMs;
  return LinkStatus::Ok;
}

Counted FtdiPort::write(ByteView data) {
  if (!open_) return {LinkStatus::NotOpen, 0};
  if (data.size() > protocol::kTxBufferSize) return {LinkStatus::IoError, 0};
  int rc =
      device_->write(data, static_cast<int>(std::min<std::uint32_t>(writeTimeoutMs_, INT32_MAX)));
  if (rc < 0) return {LinkStatus::IoError, 0};
  auto n = static_cast<std::uint32_t>(rc);
  return {n == data.size() ? LinkStatus::Ok : LinkStatus::Timeout, n};
}

bool FtdiPort::fetchAvailable() {
  std::array<std::uint8_t, 4096> chunk{};
  int rc = device_->read(chunk, kMinTransferMs);
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
    int rc = device_->read(into.subspan(got), std::max(left, kMinTransferMs));
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
  for (int status = device_->modemStatus(); status >= 0 && (status & kTransmitterEmpty) == 0;
       status = device_->modemStatus()) {
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
  return device_->close() ? LinkStatus::Ok : LinkStatus::IoError;
}

AccessProblem FtdiPort::accessProblem() {
  if (!moduleError_.empty()) return {AccessProblem::Kind::NotInstalled, {}, moduleError_};
  return accessProblemOf(findReceiverDevices(roots_), claimRefused_);
}

}  // namespace tern
