// The simulated receiver's marked test images as the update procedure takes them, and as
// whoever installs images puts them into a firmware folder, with their manifest.
#pragma once

#include <filesystem>
#include <fstream>
#include <string>

#include "common/sha256.h"
#include "sim/test_firmware.h"
#include "update/firmware_images.h"

namespace tern::testing {

inline Bytes testBootLoader() {
  return Bytes(sim::kTestBootLoaderImage.begin(), sim::kTestBootLoaderImage.end());
}
inline Bytes testFirmware() {
  return Bytes(sim::kTestFirmwareImage.begin(), sim::kTestFirmwareImage.end());
}

inline FirmwareImages testImages(protocol::UnlockSequence unlock = sim::kTestUnlockSequence) {
  return *FirmwareImages::Make(testBootLoader(), testFirmware(),
                               std::string(sim::kTestFirmwareVersion), unlock);
}

// The manifest of the test images, with the simulated receiver's unlock sequence.
inline std::string testManifest() {
  return "# test images of the simulated receiver\nversion=" +
         std::string(sim::kTestFirmwareVersion) + "\nboot_sha256=" + sha256Hex(testBootLoader()) +
         "\nfirmware_sha256=" + sha256Hex(testFirmware()) + "\nunlock=5445524EA55A\n";
}

// Writes the two images and `manifest` into `folder`/firmware/ (an empty manifest text
// writes no manifest). `flipAt` >= 0 inverts that byte of the boot loader (below its size)
// or of the firmware (counted on from there) after the manifest was made.
inline void installTestFirmware(const std::filesystem::path& folder,
                                const std::string& manifest = testManifest(), long flipAt = -1) {
  std::filesystem::create_directories(folder / "firmware");
  Bytes boot = testBootLoader(), firmware = testFirmware();
  if (flipAt >= 0 && static_cast<std::size_t>(flipAt) < boot.size()) boot[flipAt] ^= 0xFF;
  if (flipAt >= 0 && static_cast<std::size_t>(flipAt) >= boot.size())
    firmware.at(flipAt - boot.size()) ^= 0xFF;
  auto write = [&](std::string_view name, const Bytes& bytes) {
    std::ofstream(folder / name, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
  };
  write(kBootLoaderFile, boot);
  write(kFirmwareFile, firmware);
  if (!manifest.empty()) std::ofstream(folder / kManifestFile) << manifest;
}

}  // namespace tern::testing
