// Asks libusb whether this user may open a device, the same way libftdi will: a device node
// without permission for the user is refused with an access error, which libftdi's own
// result does not tell apart from other failures. Opening only, nothing is claimed, so a
// device in use by its kernel driver or another program is not disturbed.
#pragma once

namespace tern {

enum class UsbOpenCheck {
  Opened,     // libusb opened it (and closed it again)
  Denied,     // refused for lack of permission
  NotListed,  // libusb does not see a device with this bus and address
  Failed,     // any other failure
};

UsbOpenCheck checkUsbOpen(unsigned busNumber, unsigned deviceNumber);

}  // namespace tern
