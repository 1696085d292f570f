#include "ftdi/ftdi_chip.h"

#include <libusb.h>

#include <algorithm>
#include <array>

namespace tern::usbdouble {

namespace {

// Vendor requests of the chip (the numbers the chip answers to).
constexpr std::uint8_t kReset = 0x00;
constexpr std::uint8_t kSetBaudRate = 0x03;
constexpr std::uint8_t kPollModemStatus = 0x05;
constexpr std::uint8_t kSetLatency = 0x09;
constexpr std::uint8_t kGetLatency = 0x0A;
constexpr std::uint8_t kReadPins = 0x0C;
constexpr std::uint8_t kReadEeprom = 0x90;
// Values of the reset request: the chip's own view, transmit is towards the serial line.
constexpr std::uint16_t kPurgeTx = 1;
constexpr std::uint16_t kPurgeRx = 2;

constexpr std::uint8_t kLineThre = 0x20;  // transmit holding register empty
constexpr std::uint8_t kLineTemt = 0x40;  // transmitter empty

constexpr unsigned kClock = 3000000;  // the baud generator's base of this chip type

// The divisor's eighths from the three-bit fraction code of the baud-rate request.
constexpr std::array<unsigned, 8> kEighths{0, 4, 2, 1, 3, 5, 6, 7};

unsigned decodeBaud(std::uint16_t value, std::uint16_t index) {
  unsigned whole = value & 0x3FFF;
  unsigned code = (value >> 14) | ((index & 1u) << 2);
  if (whole == 0 && code == 0) return kClock;
  if (whole == 1 && code == 0) return 2000000;
  return kClock * 8 / (whole * 8 + kEighths[code]);
}

}  // namespace

FtdiChip::FtdiChip(Device device) : device_(std::move(device)) {}

SteadyClock::duration FtdiChip::byteTime() const {
  unsigned baud = device_.lineBaud != 0 ? device_.lineBaud : programmedBaud_;
  return std::chrono::nanoseconds(10'000'000'000LL / std::max(baud, 1u));
}

std::uint8_t FtdiChip::lineStatus() const { return tx_.empty() ? kLineThre | kLineTemt : 0; }

void FtdiChip::advance(SteadyClock::time_point now) {
  if (gone_) return;
  std::vector<std::uint8_t> out;
  while (!tx_.empty() && tx_.front().at <= now) {
    out.push_back(tx_.front().byte);
    tx_.pop_front();
  }
  if (!out.empty() && device_.line) device_.line->fromHost(out.data(), out.size());
  stats_.bytesToLine += out.size();

  if (device_.line) {
    std::array<std::uint8_t, 4096> in{};
    std::size_t n = device_.line->toHost(in.data(), in.size());
    for (std::size_t i = 0; i < n; ++i) {
      arrivalEnd_ = std::max(arrivalEnd_, now) + byteTime();
      arriving_.push_back({in[i], arrivalEnd_});
    }
  }
  while (!arriving_.empty() && arriving_.front().at <= now && rx_.size() < kRxFifoSize) {
    rx_.push_back(arriving_.front().byte);
    arriving_.pop_front();
  }
}

std::size_t FtdiChip::acceptFromHost(const std::uint8_t* data, std::size_t count,
                                     SteadyClock::time_point now) {
  std::size_t take = std::min(count, kTxFifoSize - std::min(kTxFifoSize, tx_.size()));
  for (std::size_t i = 0; i < take; ++i) {
    lineFree_ = std::max(lineFree_, now) + byteTime();
    tx_.push_back({data[i], lineFree_});
  }
  return take;
}

std::optional<std::vector<std::uint8_t>> FtdiChip::packet(SteadyClock::time_point now) {
  const std::size_t payload = kPacketSize - kStatusBytes;
  bool full = rx_.size() >= payload;
  if (!full && now - lastPacket_ < latency_) return std::nullopt;
  std::size_t n = std::min(rx_.size(), payload);
  if (device_.vanishAfter)
    n = std::min<std::uint64_t>(n, *device_.vanishAfter - stats_.bytesToHost);
  std::vector<std::uint8_t> bytes{modemStatus(), lineStatus()};
  bytes.insert(bytes.end(), rx_.begin(), rx_.begin() + static_cast<std::ptrdiff_t>(n));
  rx_.erase(rx_.begin(), rx_.begin() + static_cast<std::ptrdiff_t>(n));
  stats_.bytesToHost += n;
  lastPacket_ = now;
  if (device_.vanishAfter && stats_.bytesToHost >= *device_.vanishAfter) {
    disappear();
    return std::nullopt;
  }
  return bytes;
}

void FtdiChip::disappear() {
  gone_ = true;
  tx_.clear();
  rx_.clear();
  arriving_.clear();
  if (device_.onVanish) device_.onVanish();
}

SteadyClock::time_point FtdiChip::nextChange(SteadyClock::time_point now) const {
  SteadyClock::time_point next = now + std::chrono::milliseconds(1);
  if (!tx_.empty()) next = std::min(next, tx_.front().at);
  if (!arriving_.empty()) next = std::min(next, arriving_.front().at);
  next = std::min(next, lastPacket_ + latency_);
  return std::max(next, now);
}

int FtdiChip::control(std::uint8_t requestType, std::uint8_t request, std::uint16_t value,
                      std::uint16_t index, std::uint8_t* data, std::uint16_t length,
                      SteadyClock::time_point now) {
  if (gone_) return LIBUSB_ERROR_NO_DEVICE;
  stats_.controls.emplace_back(request, value);
  advance(now);
  const bool in = (requestType & LIBUSB_ENDPOINT_IN) != 0;
  switch (request) {
    case kReset:
      if (value == kPurgeTx) {
        stats_.purgedTx += tx_.size();
        tx_.clear();
        lineFree_ = now;
      } else if (value == kPurgeRx) {
        rx_.clear();
        arriving_.clear();
      }
      return 0;
    case kSetBaudRate:
      programmedBaud_ = decodeBaud(value, index);
      stats_.programmedBaud = programmedBaud_;
      return 0;
    case kSetLatency:
      latency_ = std::chrono::milliseconds(std::max(value & 0xFF, 1));
      stats_.latencyMs = static_cast<unsigned>(latency_.count());
      return 0;
    case kPollModemStatus:
      if (!in || length < 2) return LIBUSB_ERROR_INVALID_PARAM;
      data[0] = modemStatus();
      data[1] = lineStatus();
      return 2;
    case kGetLatency:
      if (!in || length < 1) return LIBUSB_ERROR_INVALID_PARAM;
      data[0] = static_cast<std::uint8_t>(latency_.count());
      return 1;
    case kReadPins:
    case kReadEeprom:
      std::fill_n(data, length, 0xFF);
      return length;
    default:
      // Modem and flow control, data format, event characters, bit mode: taken as they are.
      return in ? LIBUSB_ERROR_PIPE : 0;
  }
}

}  // namespace tern::usbdouble
