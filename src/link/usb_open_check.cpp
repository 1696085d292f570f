#include "link/usb_open_check.h"

#include <libusb.h>

namespace tern {

UsbOpenCheck checkUsbOpen(unsigned busNumber, unsigned deviceNumber) {
  libusb_context* ctx = nullptr;
  if (libusb_init(&ctx) != 0) return UsbOpenCheck::Failed;
  libusb_device** list = nullptr;
  ssize_t count = libusb_get_device_list(ctx, &list);
  UsbOpenCheck result = count < 0 ? UsbOpenCheck::Failed : UsbOpenCheck::NotListed;
  for (ssize_t i = 0; i < count; ++i) {
    libusb_device* dev = list[i];
    if (libusb_get_bus_number(dev) != busNumber || libusb_get_device_address(dev) != deviceNumber)
      continue;
    libusb_device_handle* handle = nullptr;
    int rc = libusb_open(dev, &handle);
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

}  // namespace tern
