#include "assembly/firmware_source.h"

#include "common/folders.h"
#include "sim/test_firmware.h"

namespace tern {

std::vector<std::string> firmwareFolders(const std::optional<std::string>& userDataFolder,
                                         const std::string& programFolder) {
  std::vector<std::string> folders;
  if (userDataFolder) folders.push_back(withTrailingSlash(*userDataFolder) + "TERN/");
  folders.push_back(withTrailingSlash(programFolder));
  return folders;
}

FirmwareFiles firmwareFilesFor(const ReceiverAccess& access,
                               const std::vector<std::string>& folders) {
  if (access.kind() != PortKind::Sim) return LoadFirmwareFiles(folders);
  FirmwareFiles files;
  files.state = FirmwareFiles::State::Installed;
  files.images = FirmwareImages::Make(
      Bytes(sim::kTestBootLoaderImage.begin(), sim::kTestBootLoaderImage.end()),
      Bytes(sim::kTestFirmwareImage.begin(), sim::kTestFirmwareImage.end()),
      std::string(sim::kTestFirmwareVersion), sim::kTestUnlockSequence);
  files.version = files.images->Version();
  return files;
}

}  // namespace tern
