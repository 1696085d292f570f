#include "assembly/firmware_source.h"

#include "sim/test_firmware.h"

namespace tern {

FirmwareFiles firmwareFilesFor(const ReceiverAccess& access, const std::string& programFolder) {
  if (access.kind() != PortKind::Sim) return LoadFirmwareFiles(programFolder);
  FirmwareFiles files;
  files.state = FirmwareFiles::State::Installed;
  files.images = FirmwareImages::Make(
      Bytes(sim::kTestBootLoaderImage.begin(), sim::kTestBootLoaderImage.end()),
      Bytes(sim::kTestFirmwareImage.begin(), sim::kTestFirmwareImage.end()));
  return files;
}

}  // namespace tern
