// What the receiver's USB libraries do for the program. libftdi1 and libusb-1.0 (and libudev
// through libusb) cost every start of `tern-cli` or the window their loading and binding,
// though most starts never open a receiver: reading files, exporting, the simulated
// receiver. So the libraries live in the module "tern-usb.so" beside the executable
// (src/link/libftdi), opened when a receiver is first opened or its access checked; the
// presence scan reads sysfs and never needs it.
//
// The module only makes the library calls. When to open, how long to wait, what a result
// means for the link and every text stay in the program (FtdiPort, receiver_access).
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string>

namespace tern {

// Raised whenever a type or a function of this interface changes.
inline constexpr int kUsbLibraryVersion = 1;
// The module's one exported function: `const void* tern_usb_library(int version)`, the
// UsbLibrary, or nullptr when `version` is not the module's own.
inline constexpr const char* kUsbLibraryEntry = "tern_usb_library";
inline constexpr const char* kUsbModuleName = "tern-usb.so";

enum class FtdiOpen {
  Opened,
  ClaimRefused,  // the device opened, but someone else has its interface
  Failed,        // any other failure
};

// One FTDI converter. Its library context lives as long as the object, across openings:
// setting up libusb is the costly part. Thread: one thread at a time.
class FtdiDevice {
 public:
  virtual ~FtdiDevice() = default;
  // Opens the device with these IDs and exactly this product description, taking its
  // interface from the kernel's serial driver until close gives it back.
  virtual FtdiOpen open(std::uint16_t vendorId, std::uint16_t productId,
                        const std::string& description) = 0;
  // How long the chip holds back a short packet.
  virtual bool setLatency(unsigned char ms) = 0;
  // Drops what the chip received and nobody read; what it still sends is left alone.
  virtual bool flushInput() = 0;
  // The bytes written in at most `timeoutMs`, or -1 on a USB error.
  virtual int write(std::span<const std::uint8_t> data, int timeoutMs) = 0;
  // The bytes one transfer brought within `timeoutMs` (0 when none came), or -1.
  virtual int read(std::span<std::uint8_t> into, int timeoutMs) = 0;
  // The chip's modem and line status, or -1.
  virtual int modemStatus() = 0;
  virtual bool close() = 0;
};

enum class UsbOpenCheck {
  Opened,     // libusb opened it (and closed it again)
  Denied,     // refused for lack of permission
  NotListed,  // libusb does not see a device with this bus and address
  Failed,     // any other failure
};

// Thread: any.
class UsbLibrary {
 public:
  virtual ~UsbLibrary() = default;
  // A converter's context; nullptr when libusb cannot be set up (no receiver then).
  virtual std::unique_ptr<FtdiDevice> newFtdi() const = 0;
  // Whether this user may open the device at this bus and address: opening only, nothing
  // is claimed, so a device in use by its driver or another program is not disturbed.
  virtual UsbOpenCheck checkOpen(unsigned busNumber, unsigned deviceNumber) const = 0;
};

}  // namespace tern
