// What the kernel publishes of the stand-in chip: a sysfs tree with its product string, ids,
// bus and device number and the serial port its driver made, and a /dev beside it with the
// device nodes. The program looks there when TERN_USB_SYSFS and TERN_USB_DEV point there.
#pragma once

#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "fakes/scratch_folder.h"

namespace tern::testing {

struct FakeUsbTree {
  explicit FakeUsbTree(const std::string& prefix) : root(prefix) {}

  std::string sysfs() const { return (root / "sys").string(); }
  std::string dev() const { return (root / "dev").string(); }
  std::filesystem::path node() const { return root / "dev/bus/usb/001/004"; }

  // The receiver on bus 1 as device 4, the stand-in's defaults.
  void addReceiver(const std::string& product = "Seatern Radio Europe") {
    namespace fs = std::filesystem;
    const fs::path d = root / "sys/1-1";
    fs::create_directories(d / "1-1:1.0/ttyUSB0");
    std::ofstream(d / "idVendor") << "0403\n";
    std::ofstream(d / "idProduct") << "6001\n";
    std::ofstream(d / "product") << product << "\n";
    std::ofstream(d / "busnum") << "1\n";
    std::ofstream(d / "devnum") << "4\n";
    fs::create_directories(node().parent_path());
    for (const fs::path& file : {node(), root / "dev/ttyUSB0"}) {
      std::ofstream(file) << "";
      fs::permissions(file, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read |
                                fs::perms::group_write);
    }
  }

  ScratchFolder root;
};

// Points this process's device scan at a fake tree while it lives.
class UsbRootsOverride {
 public:
  explicit UsbRootsOverride(const FakeUsbTree& tree) {
    ::setenv("TERN_USB_SYSFS", tree.sysfs().c_str(), 1);
    ::setenv("TERN_USB_DEV", tree.dev().c_str(), 1);
  }
  ~UsbRootsOverride() {
    ::unsetenv("TERN_USB_SYSFS");
    ::unsetenv("TERN_USB_DEV");
  }
  UsbRootsOverride(const UsbRootsOverride&) = delete;
  UsbRootsOverride& operator=(const UsbRootsOverride&) = delete;
};

}  // namespace tern::testing
