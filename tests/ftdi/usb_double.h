// A stand-in for libusb-1.0 with one FTDI serial converter on its bus, so libftdi1 itself,
// and everything the program builds on it, runs without hardware. The library
// `tern_usb_double` defines the libusb functions libftdi1 calls; a test executable linked
// against it (or a program started with it in LD_PRELOAD) gets them in place of the real
// ones, since the USB module's libftdi1 looks up libusb in the program's libraries first.
// The program's code is the same as with a real device.
//
// What the stand-in does like the chip: a 128-byte transmit FIFO that drains onto the serial
// line at the programmed speed (10 bits a byte) and a 256-byte receive FIFO; bulk IN packets
// of 64 bytes, each two status bytes before up to 62 data bytes; a full packet as soon as 62
// bytes wait, a short one when the latency timer runs out (status bytes alone when nothing
// waits), so reads come back short; the modem-status request with "transmitter empty" in the
// line status; purging either FIFO; about a millisecond per control request, as on a
// full-speed bus. The SIO reset leaves both FIFOs as they are. Where the chip would overrun
// (receive FIFO full), the line simply waits.
//
// Faults: a device that cannot be opened (LIBUSB_ERROR_ACCESS, as a device node without
// permission gives), one whose interface another program has claimed (LIBUSB_ERROR_BUSY),
// and one that disappears after a given number of data bytes reached the host: the transfer
// under way and every later call fail with LIBUSB_ERROR_NO_DEVICE and the bus no longer
// lists it.
//
// Preloaded into another program, the device comes from the environment variable
// TERN_USB_DOUBLE, e.g. "bus=1;address=4;permitted=0;line=/tmp/x.sock": the keys are the
// fields of Device below ("claimed" for claimedElsewhere, "baud" for lineBaud); "line" names
// a Unix socket whose peer plays the receiver. Without the variable the bus is empty.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace tern::usbdouble {

// The far end of the converter's serial line.
// Thread: called with the double's lock held, from whichever thread uses libusb.
class LineEnd {
 public:
  virtual ~LineEnd() = default;
  // Bytes that left the chip's transmit pin.
  virtual void fromHost(const std::uint8_t* data, std::size_t count) = 0;
  // Bytes the far end sends now, at most `max`.
  virtual std::size_t toHost(std::uint8_t* out, std::size_t max) = 0;
};

struct Device {
  std::string product = "Seatern Radio Europe";
  std::string manufacturer = "FTDI";
  std::string serial = "TRN0001042";
  std::uint16_t vendorId = 0x0403;
  std::uint16_t productId = 0x6001;
  std::uint8_t bus = 1;
  std::uint8_t address = 4;
  bool permitted = true;          // false: opening fails with LIBUSB_ERROR_ACCESS
  bool claimedElsewhere = false;  // true: claiming the interface fails with LIBUSB_ERROR_BUSY
  unsigned lineBaud = 0;          // the line's speed; 0: the rate the host programmed
  std::optional<std::uint64_t> vanishAfter;  // data bytes delivered before it disappears
  std::function<void()> onVanish;            // told when it disappeared
  std::shared_ptr<LineEnd> line;             // nothing: a far end that never answers
};

// Puts `device` on the bus in place of any other (a fresh chip: FIFOs empty, 16 ms latency).
void plug(Device device);
void unplug();

// What the chip saw since it was plugged.
struct Stats {
  int opens = 0;
  std::vector<std::pair<std::uint8_t, std::uint16_t>> controls;  // (request, value)
  std::uint64_t bytesToLine = 0;                                 // left the transmit pin
  std::uint64_t bytesToHost = 0;                                 // data bytes in bulk IN packets
  std::uint64_t purgedTx = 0;  // discarded from the transmit FIFO by purges
  unsigned programmedBaud = 0;
  unsigned latencyMs = 0;
  std::size_t txFifo = 0;  // bytes still waiting to go out now
};
Stats stats();

}  // namespace tern::usbdouble
