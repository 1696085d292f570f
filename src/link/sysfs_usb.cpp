#include "link/sysfs_usb.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>

namespace tern {

namespace fs = std::filesystem;

namespace {

// Product strings are short; anything longer is not a product string.
constexpr std::size_t kMaxAttribute = 4096;

std::optional<std::string> readAttribute(const fs::path& file) {
  std::ifstream in(file, std::ios::binary);
  if (!in) return std::nullopt;
  std::string text(kMaxAttribute, '\0');
  in.read(text.data(), static_cast<std::streamsize>(text.size()));
  if (in.bad()) return std::nullopt;
  text.resize(static_cast<std::size_t>(in.gcount()));
  if (!text.empty() && text.back() == '\n') text.pop_back();
  return text;
}

unsigned readNumber(const fs::path& file, int base) {
  auto text = readAttribute(file);
  if (!text) return 0;
  try {
    return static_cast<unsigned>(std::stoul(*text, nullptr, base));
  } catch (...) {
    return 0;
  }
}

// The tty entries below the device's interfaces: "1-1:1.0/ttyUSB0" (USB serial drivers)
// or "1-1:1.0/tty/ttyACM0" (class drivers).
std::vector<std::string> serialPortsOf(const fs::path& dir, const std::string& name) {
  std::vector<std::string> out;
  std::error_code ec;
  for (fs::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec)) {
    if (it->path().filename().string().rfind(name + ":", 0) != 0) continue;
    std::error_code e2;
    for (fs::directory_iterator entry(it->path(), e2), end2; !e2 && entry != end2;
         entry.increment(e2)) {
      const std::string child = entry->path().filename().string();
      if (child == "tty") {
        std::error_code e3;
        for (fs::directory_iterator tty(entry->path(), e3), end3; !e3 && tty != end3;
             tty.increment(e3))
          out.push_back(tty->path().filename().string());
      } else if (child.rfind("tty", 0) == 0) {
        out.push_back(child);
      }
    }
  }
  std::sort(out.begin(), out.end());
  return out;
}

}  // namespace

UsbRoots UsbRoots::System() {
  UsbRoots roots;
  if (const char* sysfs = std::getenv("TERN_USB_SYSFS"); sysfs != nullptr && *sysfs != 0)
    roots.sysfs = sysfs;
  if (const char* dev = std::getenv("TERN_USB_DEV"); dev != nullptr && *dev != 0) roots.dev = dev;
  return roots;
}

std::string UsbDeviceInfo::nodePath(const std::string& devRoot) const {
  if (busNumber == 0 || deviceNumber == 0) return {};
  char tail[32];
  std::snprintf(tail, sizeof tail, "/bus/usb/%03u/%03u", busNumber, deviceNumber);
  return devRoot + tail;
}

std::vector<UsbDeviceInfo> scanUsbDevices(const std::string& root) {
  std::vector<UsbDeviceInfo> out;
  std::error_code ec;
  fs::directory_iterator it(root, ec), end;
  for (; !ec && it != end; it.increment(ec)) {
    const fs::path dir = it->path();
    std::error_code e2;
    // Devices carry idVendor; their interfaces ("1-1:1.0") do not.
    if (!fs::exists(dir / "idVendor", e2)) continue;
    UsbDeviceInfo info;
    info.name = dir.filename().string();
    info.vendorId = static_cast<std::uint16_t>(readNumber(dir / "idVendor", 16));
    info.productId = static_cast<std::uint16_t>(readNumber(dir / "idProduct", 16));
    info.busNumber = readNumber(dir / "busnum", 10);
    info.deviceNumber = readNumber(dir / "devnum", 10);
    if (auto product = readAttribute(dir / "product")) {
      info.hasProduct = true;
      info.product = std::move(*product);
    }
    info.serialPorts = serialPortsOf(dir, info.name);
    out.push_back(std::move(info));
  }
  std::sort(out.begin(), out.end(),
            [](const UsbDeviceInfo& a, const UsbDeviceInfo& b) { return a.name < b.name; });
  return out;
}

}  // namespace tern
