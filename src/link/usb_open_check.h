// Asks libusb (through the USB module) whether this user may open a device, the same way
// libftdi will; see UsbLibrary::checkOpen.
#pragma once

#include "link/usb_library.h"

namespace tern {

// Failed also when the USB module cannot be loaded.
UsbOpenCheck checkUsbOpen(unsigned busNumber, unsigned deviceNumber);

}  // namespace tern
