#include "update/firmware_images.h"

#include <cerrno>

#include "common/file_io.h"
#include "common/sha256.h"
#include "link/firmware_version.h"

namespace tern {

namespace p = protocol;

std::optional<FirmwareImages> FirmwareImages::Make(Bytes bootLoader, Bytes firmware,
                                                   std::string version, p::UnlockSequence unlock) {
  if (bootLoader.size() != p::kBootLoaderImageSize || firmware.size() != p::kFirmwareImageSize ||
      !FirmwareVersionNumber(version))
    return std::nullopt;
  return FirmwareImages(std::move(bootLoader), std::move(firmware), std::move(version), unlock);
}

namespace {

constexpr std::string_view kNotDone = " Das Update wird nicht durchgeführt.";

std::string quoted(const std::string& path) { return "\"" + path + "\""; }

// The file's bytes (at most `maxBytes`), or the German reason it cannot be used. `what` is
// "Die Firmware-Datei" or "Die Firmware-Beschreibung".
std::optional<Bytes> readFile(const std::string& path, std::string_view what, std::size_t maxBytes,
                              std::string& problem) {
  const std::string head = std::string(what) + " " + quoted(path);
  if (!fileExists(path)) {
    problem = head + " fehlt." + std::string(kNotDone);
    return std::nullopt;
  }
  FileData data = readWholeFile(path, maxBytes);
  if (!data.status.ok && data.status.error != EFBIG) {
    problem =
        head + " kann nicht gelesen werden." + std::string(kNotDone) + "\n\n" + data.status.message;
    return std::nullopt;
  }
  if (!data.status.ok) {
    problem = head + " ist zu groß." + std::string(kNotDone);
    return std::nullopt;
  }
  return std::move(data.bytes);
}

std::optional<Bytes> readImage(const std::string& path, std::size_t size,
                               const std::string& expectedSha256, const std::string& manifestPath,
                               std::string& problem) {
  // One byte more than needed is enough to see that a file is too large.
  std::optional<Bytes> bytes = readFile(path, "Die Firmware-Datei", size + 1, problem);
  if (!bytes) return std::nullopt;
  if (bytes->size() != size) {
    problem = "Die Firmware-Datei " + quoted(path) + " hat nicht die erwartete Größe von " +
              std::to_string(size) + " Bytes." + std::string(kNotDone);
    return std::nullopt;
  }
  if (sha256Hex(*bytes) != expectedSha256) {
    problem = "Die Firmware-Datei " + quoted(path) + " ist nicht die, deren Prüfsumme in " +
              quoted(manifestPath) + " steht." + std::string(kNotDone);
    return std::nullopt;
  }
  return bytes;
}

bool holdsAnyFile(const std::string& folder) {
  for (std::string_view name : {kBootLoaderFile, kFirmwareFile, kManifestFile})
    if (fileExists(folder + std::string(name))) return true;
  return false;
}

FirmwareFiles loadFrom(const std::string& folder) {
  FirmwareFiles files;
  files.state = FirmwareFiles::State::Unusable;
  const std::string manifestPath = folder + std::string(kManifestFile);
  std::optional<Bytes> text =
      readFile(manifestPath, "Die Firmware-Beschreibung", kManifestMaxBytes, files.problem);
  if (!text) return files;
  ManifestReading reading = ParseFirmwareManifest(
      std::string_view(reinterpret_cast<const char*>(text->data()), text->size()));
  if (!reading.manifest) {
    files.problem = "Die Firmware-Beschreibung " + quoted(manifestPath) + " ist fehlerhaft (" +
                    reading.problem + ")." + std::string(kNotDone);
    return files;
  }
  const FirmwareManifest& m = *reading.manifest;
  files.version = m.version;
  auto boot = readImage(folder + std::string(kBootLoaderFile), p::kBootLoaderImageSize,
                        m.bootSha256, manifestPath, files.problem);
  if (!boot) return files;
  auto firmware = readImage(folder + std::string(kFirmwareFile), p::kFirmwareImageSize,
                            m.firmwareSha256, manifestPath, files.problem);
  if (!firmware) return files;
  files.images = FirmwareImages::Make(std::move(*boot), std::move(*firmware), m.version, m.unlock);
  files.state = FirmwareFiles::State::Installed;
  files.problem.clear();
  return files;
}

}  // namespace

FirmwareFiles LoadFirmwareFiles(const std::vector<std::string>& folders) {
  FirmwareFiles files;
  for (const std::string& folder : folders) {
    if (holdsAnyFile(folder)) {
      files = loadFrom(folder);
      break;
    }
  }
  files.lookedIn = folders;
  return files;
}

std::string NoFirmwareFilesText(const std::vector<std::string>& folders) {
  std::string text =
      "Es sind keine Firmware-Dateien installiert. Ein Update ist nicht möglich.\n\n"
      "Die Dateien \"TERN_BOOT.BIN\", \"TERN_FW.BIN\" und \"TERN_FW.INF\" gehören in einen "
      "dieser Ordner:";
  for (const std::string& folder : folders) text += "\n" + folder + "firmware/";
  return text;
}

}  // namespace tern
