// What stands between the user and the receiver's USB device: its device nodes (the usbfs
// node libftdi opens and the serial ports the kernel's driver made of it), their owner,
// group and mode, whether this user may open them and which other processes have them open.
// Looked at beside the presence scan, only when opening failed or when asked (tern-cli
// doctor), since reading every process's open files costs more than a presence check.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "common/process_holders.h"
#include "link/access_problem.h"
#include "link/sysfs_usb.h"

namespace tern {

struct DeviceNode {
  std::string path;
  bool exists = false;
  unsigned mode = 0;  // permission bits
  std::string owner;
  std::string group;
  bool accessible = false;          // this user may read and write it
  std::vector<ProcessRef> holders;  // other processes with it open
};

// Looks at one node; a missing node is reported with `exists` false.
DeviceNode inspectNode(const std::string& path);

// "crw-rw---- root:plugdev".
std::string describeNodeMode(const DeviceNode& node);

struct ReceiverDevice {
  UsbDeviceInfo usb;
  DeviceNode node;  // the usbfs node
  // Whether opening the device through libusb succeeds; false also when libusb refuses for
  // another reason than permissions. When libusb does not list the device, the node's mode
  // decides.
  bool permitted = false;
  std::vector<DeviceNode> serialPorts;  // "<dev>/ttyUSB0", ...
};

// Every attached device with the receiver's product description, in sysfs order.
std::vector<ReceiverDevice> findReceiverDevices(const UsbRoots& roots);

// The problem the first device shows: not permitted, or held (by a process seen holding its
// node or a serial port made of it; or by someone unseen when `claimRefused`, i.e. libusb
// could open it but not claim its interface).
AccessProblem accessProblemOf(const std::vector<ReceiverDevice>& devices, bool claimRefused);

// The folders udev reads rules from.
inline constexpr std::array<const char*, 3> kUdevRuleFolders{
    "/etc/udev/rules.d", "/lib/udev/rules.d", "/usr/lib/udev/rules.d"};

// Those of `folders` that hold the receiver's rule (kUdevRuleFile), each once, in order.
std::vector<std::string> foldersWithUdevRule(const std::vector<std::string>& folders);

}  // namespace tern
