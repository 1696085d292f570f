// The manifest that comes with the receiver's firmware images, "firmware/TERN_FW.INF": who
// installs the genuine images writes it beside them. It names the version the images stand
// for, the SHA-256 digests of both images and the unlock sequence the receiver's firmware
// expects, so only the images it describes are ever written, and the receiver is unlocked
// with its own sequence instead of one the program would have to guess.
//
// Plain text, one "key=value" per line, exactly the four keys version, boot_sha256,
// firmware_sha256 and unlock in any order; a line starting with '#' is a comment, an empty
// line is ignored, a line may end with CR LF.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "link/protocol.h"

namespace tern {

inline constexpr std::string_view kManifestFile = "firmware/TERN_FW.INF";
// Larger files are not manifests; they are refused before being read.
inline constexpr std::size_t kManifestMaxBytes = 4096;

// Thread: a plain value.
struct FirmwareManifest {
  std::string version;         // "1.2.4": three numbers, as the receiver reports its own
  std::string bootSha256;      // 64 lowercase hex digits
  std::string firmwareSha256;  // 64 lowercase hex digits
  protocol::UnlockSequence unlock{};
};

struct ManifestReading {
  std::optional<FirmwareManifest> manifest;
  std::string problem;  // German, when `manifest` is empty: what is wrong, and where
};

// Reads the manifest text. Hex digits may be written in either letter case.
ManifestReading ParseFirmwareManifest(std::string_view text);

}  // namespace tern
