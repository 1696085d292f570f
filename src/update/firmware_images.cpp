#include "update/firmware_images.h"

#include <cerrno>

#include "common/file_io.h"
#include "link/protocol.h"

namespace tern {

namespace p = protocol;

std::optional<FirmwareImages> FirmwareImages::Make(Bytes bootLoader, Bytes firmware) {
  if (bootLoader.size() != p::kBootLoaderImageSize || firmware.size() != p::kFirmwareImageSize)
    return std::nullopt;
  return FirmwareImages(std::move(bootLoader), std::move(firmware));
}

namespace {

// The file's bytes, or the German reason it cannot be used.
std::optional<Bytes> readImage(const std::string& folder, std::string_view name, std::size_t size,
                               std::string& problem) {
  const std::string path = folder + std::string(name);
  const std::string quoted = "\"" + std::string(name) + "\"";
  if (!fileExists(path)) {
    problem = "Die Firmware-Datei " + quoted + " fehlt. Das Update wird nicht durchgeführt.";
    return std::nullopt;
  }
  // One byte more than needed is enough to see that a file is too large.
  FileData data = readWholeFile(path, size + 1);
  const bool tooLarge = !data.status.ok && data.status.error == EFBIG;
  if (!data.status.ok && !tooLarge) {
    problem = "Die Firmware-Datei " + quoted +
              " kann nicht gelesen werden. Das Update wird nicht durchgeführt.\n\n" +
              data.status.message;
    return std::nullopt;
  }
  if (!data.status.ok || data.bytes.size() != size) {
    problem = "Die Firmware-Datei " + quoted + " hat nicht die erwartete Größe von " +
              std::to_string(size) + " Bytes. Das Update wird nicht durchgeführt.";
    return std::nullopt;
  }
  return std::move(data.bytes);
}

}  // namespace

FirmwareFiles LoadFirmwareFiles(const std::string& programFolder) {
  FirmwareFiles files;
  if (!fileExists(programFolder + std::string(kBootLoaderFile)) &&
      !fileExists(programFolder + std::string(kFirmwareFile))) {
    files.state = FirmwareFiles::State::Missing;
    return files;
  }
  files.state = FirmwareFiles::State::Unusable;
  auto boot = readImage(programFolder, kBootLoaderFile, p::kBootLoaderImageSize, files.problem);
  if (!boot) return files;
  auto firmware = readImage(programFolder, kFirmwareFile, p::kFirmwareImageSize, files.problem);
  if (!firmware) return files;
  files.images = FirmwareImages::Make(std::move(*boot), std::move(*firmware));
  files.state = FirmwareFiles::State::Installed;
  files.problem.clear();
  return files;
}

}  // namespace tern
