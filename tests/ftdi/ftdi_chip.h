// The converter chip behind the libusb stand-in: its two FIFOs, the serial line's pace, the
// 64-byte bulk IN packets with their status bytes, the latency timer and the vendor control
// requests. Time is passed in, so the transfer loops decide when to look again.
#pragma once

#include <chrono>
#include <cstdint>
#include <deque>
#include <optional>
#include <vector>

#include "ftdi/usb_double.h"

namespace tern::usbdouble {

using SteadyClock = std::chrono::steady_clock;

// Thread: guarded by the double's one lock.
class FtdiChip {
 public:
  static constexpr std::size_t kPacketSize = 64;
  static constexpr std::size_t kStatusBytes = 2;
  static constexpr std::size_t kTxFifoSize = 128;
  static constexpr std::size_t kRxFifoSize = 256;

  explicit FtdiChip(Device device);

  const Device& device() const { return device_; }
  bool gone() const { return gone_; }
  Stats& stats() { return stats_; }
  std::size_t txWaiting() const { return tx_.size(); }

  // Moves the line forward to `now`: transmitted bytes reach the far end, the far end's
  // bytes arrive at the line's pace and fill the receive FIFO.
  void advance(SteadyClock::time_point now);
  // Takes what fits into the transmit FIFO now; the number of bytes taken.
  std::size_t acceptFromHost(const std::uint8_t* data, std::size_t count,
                             SteadyClock::time_point now);
  // The packet the chip sends to an IN token now, if any: a full one when 62 bytes wait, a
  // short one once the latency timer ran out. Counts delivered bytes and may make the
  // device disappear.
  std::optional<std::vector<std::uint8_t>> packet(SteadyClock::time_point now);
  // When something may change next (a byte leaves or arrives, the latency timer runs out).
  SteadyClock::time_point nextChange(SteadyClock::time_point now) const;
  // A vendor request; the byte count for IN requests, or a LIBUSB_ERROR code.
  int control(std::uint8_t requestType, std::uint8_t request, std::uint16_t value,
              std::uint16_t index, std::uint8_t* data, std::uint16_t length,
              SteadyClock::time_point now);
  // The two status bytes as they are now.
  std::uint8_t modemStatus() const { return 0x01; }
  std::uint8_t lineStatus() const;

 private:
  struct Timed {
    std::uint8_t byte;
    SteadyClock::time_point at;  // leaves the pin / has arrived
  };
  SteadyClock::duration byteTime() const;
  void disappear();

  Device device_;
  Stats stats_;
  bool gone_ = false;
  unsigned programmedBaud_ = 9600;
  std::chrono::milliseconds latency_{16};
  std::deque<Timed> tx_;         // transmit FIFO, each byte with its departure
  std::deque<Timed> arriving_;   // from the far end, on the line or waiting for FIFO room
  std::deque<std::uint8_t> rx_;  // receive FIFO
  SteadyClock::time_point lastPacket_{};
  SteadyClock::time_point lineFree_{};    // when the last byte taken will have left
  SteadyClock::time_point arrivalEnd_{};  // when the last byte from the far end arrives
};

}  // namespace tern::usbdouble
