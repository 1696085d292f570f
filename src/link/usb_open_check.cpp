#include "link/usb_open_check.h"

#include "link/usb_module.h"

namespace tern {

UsbOpenCheck checkUsbOpen(unsigned busNumber, unsigned deviceNumber) {
  const UsbLibrary* usb = SharedUsbModule().library;
  return usb != nullptr ? usb->checkOpen(busNumber, deviceNumber) : UsbOpenCheck::Failed;
}

}  // namespace tern
