// Finds USB devices and their product strings in sysfs. The once-a-second presence check
// must not open devices (that would disturb a device in use and needs permissions), and
// the kernel already publishes every device's strings there.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace tern {

inline constexpr const char* kSysfsUsbDevices = "/sys/bus/usb/devices";

struct UsbDeviceInfo {
  std::string name;         // sysfs entry, e.g. "1-1.2"
  bool hasProduct = false;  // false when the product string is missing or unreadable
  std::string product;      // without the trailing newline
  std::uint16_t vendorId = 0;
  std::uint16_t productId = 0;
};

// The USB devices (not interfaces) under `root`, sorted by entry name. A missing or
// unreadable root gives an empty list. `root` is a parameter so tests can use a fake tree.
std::vector<UsbDeviceInfo> scanUsbDevices(const std::string& root = kSysfsUsbDevices);

}  // namespace tern
