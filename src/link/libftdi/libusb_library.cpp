// The module's one entry: the UsbLibrary over libftdi1 and libusb-1.0.
#include <libusb.h>

#include "link/libftdi/libftdi_device.h"
#include "link/usb_library.h"

namespace tern {

namespace {

class LibusbLibrary final : public UsbLibrary {
 public:
  std::unique_ptr<FtdiDevice> newFtdi() const override { return newLibftdiDevice(); }

  // The same open that libftdi makes, so a node without permission for the user shows as
  // libusb's access error, which libftdi's own result does not tell apart from others.
  UsbOpenCheck checkOpen(unsigned busNumber, unsigned deviceNumber) const override {
    libusb_context* ctx = nullptr;
    if (libusb_init(&ctx) != 0) return UsbOpenCheck::Failed;
    libusb_device** list = nullptr;
    const ssize_t count = libusb_get_device_list(ctx, &list);
    UsbOpenCheck result = count < 0 ? UsbOpenCheck::Failed : UsbOpenCheck::NotListed;
    for (ssize_t i = 0; i < count; ++i) {
      libusb_device* dev = list[i];
      if (libusb_get_bus_number(dev) != busNumber || libusb_get_device_address(dev) != deviceNumber)
        continue;
      libusb_device_handle* handle = nullptr;
      const int rc = libusb_open(dev, &handle);
      if (rc == 0) libusb_close(handle);
      result = rc == 0                     ? UsbOpenCheck::Opened
               : rc == LIBUSB_ERROR_ACCESS ? UsbOpenCheck::Denied
                                           : UsbOpenCheck::Failed;
      break;
    }
    if (count >= 0) libusb_free_device_list(list, 1);
    libusb_exit(ctx);
    return result;
  }
};

}  // namespace
}  // namespace tern

extern "C" __attribute__((visibility("default"))) const void* tern_usb_library(int version) {
  static const tern::LibusbLibrary library;
  return version == tern::kUsbLibraryVersion ? static_cast<const tern::UsbLibrary*>(&library)
                                             : nullptr;
}
