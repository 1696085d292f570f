// Opens the USB module (link/usb_library.h) when a receiver is first opened or its access
// checked. A program that never does so never loads it, nor libftdi1 and libusb behind it.
#pragma once

#include <string>

#include "link/usb_library.h"

namespace tern {

struct UsbModuleLoad {
  const UsbLibrary* library = nullptr;  // never unloaded once opened
  std::string error;                    // German, when library is nullptr
};

// Opens the module at `path`: not there, not loadable, or of another build is an error.
UsbModuleLoad LoadUsbModule(const std::string& path);

// The module beside the running executable, opened once per process. Thread: any.
const UsbModuleLoad& SharedUsbModule();

}  // namespace tern
