// Finds USB devices and their product strings in sysfs. The once-a-second presence check
// must not open devices (that would disturb a device in use and needs permissions), and
// the kernel already publishes every device's strings there.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace tern {

inline constexpr const char* kSysfsUsbDevices = "/sys/bus/usb/devices";

// Where the device scan looks. The environment variables TERN_USB_SYSFS and TERN_USB_DEV move
// both roots, to look at a prepared tree (tests) or at another system's view.
struct UsbRoots {
  std::string sysfs = kSysfsUsbDevices;  // the USB devices folder of sysfs
  std::string dev = "/dev";              // where the device nodes are

  static UsbRoots System();
};

struct UsbDeviceInfo {
  std::string name;         // sysfs entry, e.g. "1-1.2"
  bool hasProduct = false;  // false when the product string is missing or unreadable
  std::string product;      // without the trailing newline
  std::uint16_t vendorId = 0;
  std::uint16_t productId = 0;
  unsigned busNumber = 0;     // 0 when unknown
  unsigned deviceNumber = 0;  // 0 when unknown
  // Serial ports a kernel driver made of it ("ttyUSB0"), in name order.
  std::vector<std::string> serialPorts;

  // The usbfs node below `devRoot`, "/dev/bus/usb/001/004"; empty when the numbers are unknown.
  std::string nodePath(const std::string& devRoot) const;
};

// The USB devices (not interfaces) under `root`, sorted by entry name. A missing or
// unreadable root gives an empty list. `root` is a parameter so tests can use a fake tree.
std::vector<UsbDeviceInfo> scanUsbDevices(const std::string& root = kSysfsUsbDevices);

}  // namespace tern
