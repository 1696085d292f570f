// The receiver's own program, boot loader and firmware, as the update writes them. The
// program does not carry the maker's images: whoever has them installs the two images
// "firmware/TERN_BOOT.BIN" and "firmware/TERN_FW.BIN" together with their manifest
// "firmware/TERN_FW.INF" (firmware_manifest.h), in the user's data folder or in the program
// folder. Writing anything else into a real receiver would leave it unusable, so only images
// of exactly the right size whose SHA-256 digests the manifest names are taken; the
// simulated receiver brings its own marked test images instead.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/bytes.h"
#include "link/protocol.h"
#include "update/firmware_manifest.h"

namespace tern {

inline constexpr std::string_view kBootLoaderFile = "firmware/TERN_BOOT.BIN";
inline constexpr std::string_view kFirmwareFile = "firmware/TERN_FW.BIN";

// Both images, each of exactly its size (protocol::kBootLoaderImageSize,
// protocol::kFirmwareImageSize), with the version they stand for and the unlock sequence of
// that firmware; nothing else can be made.
// Thread: immutable after creation.
class FirmwareImages {
 public:
  // Nothing when either image has the wrong size or the version does not parse.
  static std::optional<FirmwareImages> Make(Bytes bootLoader, Bytes firmware, std::string version,
                                            protocol::UnlockSequence unlock);
  ByteView BootLoader() const { return bootLoader_; }
  ByteView Firmware() const { return firmware_; }
  const std::string& Version() const { return version_; }
  const protocol::UnlockSequence& Unlock() const { return unlock_; }

 private:
  FirmwareImages(Bytes bootLoader, Bytes firmware, std::string version,
                 protocol::UnlockSequence unlock)
      : bootLoader_(std::move(bootLoader)),
        firmware_(std::move(firmware)),
        version_(std::move(version)),
        unlock_(unlock) {}
  Bytes bootLoader_;
  Bytes firmware_;
  std::string version_;
  protocol::UnlockSequence unlock_;
};

// What the firmware folders offer for an update.
struct FirmwareFiles {
  enum class State {
    Installed,  // images and manifest, sizes and digests right: `images` holds them
    Missing,    // none of the three files in any folder
    Unusable,   // a file missing, unreadable, of a wrong size or not the one the manifest
                // names: `problem` says which
  };
  State state = State::Missing;
  std::optional<FirmwareImages> images;
  std::string problem;  // German, for the user; names the file
  // The manifest's version, when the manifest could be read (also when an image is wrong).
  std::optional<std::string> version;
  std::vector<std::string> lookedIn;  // the folders searched, in order
};

// Reads images and manifest from the first of `folders` (each ending with '/') that holds
// any of the three files. The files of one folder are taken together or not at all: they are
// never mixed with another folder's, and a broken set is reported instead of being passed
// over for a folder further down the list.
FirmwareFiles LoadFirmwareFiles(const std::vector<std::string>& folders);

// Told when the update is asked for but no folder holds firmware files; names the folders.
std::string NoFirmwareFilesText(const std::vector<std::string>& folders);

}  // namespace tern
