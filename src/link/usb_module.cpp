#include "link/usb_module.h"

#include "common/program_module.h"

namespace tern {

UsbModuleLoad LoadUsbModule(const std::string& path) {
  const OpenedModule opened = OpenProgramModule(path, kUsbLibraryEntry, kUsbLibraryVersion);
  UsbModuleLoad load;
  load.library = static_cast<const UsbLibrary*>(opened.object);
  load.error = ModuleProblemText(opened, path, kUsbModuleName, {"Die USB-Anbindung"});
  return load;
}

const UsbModuleLoad& SharedUsbModule() {
  static const UsbModuleLoad load = LoadUsbModule(ModuleBesideExecutable(kUsbModuleName));
  return load;
}

}  // namespace tern
