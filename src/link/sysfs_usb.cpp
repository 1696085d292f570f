#include "link/sysfs_usb.h"

#include <algorithm>
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

std::uint16_t readHexId(const fs::path& file) {
  auto text = readAttribute(file);
  if (!text) return 0;
  try {
    return static_cast<std::uint16_t>(std::stoul(*text, nullptr, 16));
  } catch (...) {
    return 0;
  }
}

}  // namespace

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
    info.vendorId = readHexId(dir / "idVendor");
    info.productId = readHexId(dir / "idProduct");
    if (auto product = readAttribute(dir / "product")) {
      info.hasProduct = true;
      info.product = std::move(*product);
    }
    out.push_back(std::move(info));
  }
  std::sort(out.begin(), out.end(),
            [](const UsbDeviceInfo& a, const UsbDeviceInfo& b) { return a.name < b.name; });
  return out;
}

}  // namespace tern
