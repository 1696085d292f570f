// The receiver's own program, boot loader and firmware, as the update writes them. The
// program does not carry the maker's images: whoever has them installs the two files
// "firmware/TERN_BOOT.BIN" and "firmware/TERN_FW.BIN" in the program folder. Writing
// anything else into a real receiver would leave it unusable, so only files of exactly the
// right size are taken; the simulated receiver brings its own marked test images instead.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "common/bytes.h"

namespace tern {

inline constexpr std::string_view kBootLoaderFile = "firmware/TERN_BOOT.BIN";
inline constexpr std::string_view kFirmwareFile = "firmware/TERN_FW.BIN";

// Told when the update is forced but no images are installed.
inline constexpr std::string_view kNoFirmwareFilesText =
    "Es sind keine Firmware-Dateien installiert. Ein Update ist nicht möglich.\n\n"
    "Die Dateien \"firmware/TERN_BOOT.BIN\" und \"firmware/TERN_FW.BIN\" gehören in den "
    "Programmordner.";

// Both images, each of exactly its size (protocol::kBootLoaderImageSize,
// protocol::kFirmwareImageSize); nothing else can be made.
// Thread: immutable after creation.
class FirmwareImages {
 public:
  // Nothing when either image has the wrong size.
  static std::optional<FirmwareImages> Make(Bytes bootLoader, Bytes firmware);
  ByteView BootLoader() const { return bootLoader_; }
  ByteView Firmware() const { return firmware_; }

 private:
  FirmwareImages(Bytes bootLoader, Bytes firmware)
      : bootLoader_(std::move(bootLoader)), firmware_(std::move(firmware)) {}
  Bytes bootLoader_;
  Bytes firmware_;
};

// What the program folder offers for an update.
struct FirmwareFiles {
  enum class State {
    Installed,  // both files, both of the right size: `images` holds them
    Missing,    // neither file exists
    Unusable,   // one file missing, unreadable or of a wrong size: `problem` says which
  };
  State state = State::Missing;
  std::optional<FirmwareImages> images;
  std::string problem;  // German, for the user
};

// Reads the two files from `programFolder` (ending with '/').
FirmwareFiles LoadFirmwareFiles(const std::string& programFolder);

}  // namespace tern
