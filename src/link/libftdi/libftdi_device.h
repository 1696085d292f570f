// The module's FtdiDevice: one libftdi1 context.
#pragma once

#include <memory>

#include "link/usb_library.h"

namespace tern {

// nullptr when libftdi cannot set up libusb.
std::unique_ptr<FtdiDevice> newLibftdiDevice();

}  // namespace tern
