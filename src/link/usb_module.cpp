#include "link/usb_module.h"

#include "common/program_module.h"

namespace tern {

UsbModuleLoad LoadUsbModule(const std::string& path) {
  const OpenedModule opened = OpenProgramModule(path, kUsbLibraryEntry, kUsbLibraryVersion);
  UsbModuleLoad load;
  load.library = static_cast<const UsbLibrary*>(opened.object);
  switch (opened.problem) {
    case ModuleProblem::None:
      break;
    case ModuleProblem::Missing:
      load.error = "Die USB-Anbindung ist nicht installiert: " +
                   (path.empty() ? std::string(kUsbModuleName) : path) + " fehlt.";
      break;
    case ModuleProblem::NotLoadable:
      load.error = "Die USB-Anbindung lässt sich nicht laden (" + path + "): " + opened.reason;
      break;
    case ModuleProblem::OtherBuild:
      load.error = "Die USB-Anbindung in " + path +
                   " gehört zu einer anderen Programmversion; bitte TERN neu installieren.";
      break;
  }
  return load;
}

const UsbModuleLoad& SharedUsbModule() {
  static const UsbModuleLoad load = LoadUsbModule(ModuleBesideExecutable(kUsbModuleName));
  return load;
}

}  // namespace tern
