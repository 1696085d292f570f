// Arbitrary bytes as the firmware manifest "firmware/TERN_FW.INF". A manifest the reader
// accepts names a version of three numbers and two digests of 64 lowercase hex digits, so
// nothing else is ever compared with the images or sent to the receiver.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "fuzz_check.h"
#include "link/firmware_version.h"
#include "update/firmware_manifest.h"

namespace {

bool lowercaseHex(const std::string& s, std::size_t digits) {
  return s.size() == digits && s.find_first_not_of("0123456789abcdef") == std::string::npos;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace tern;
  if (size > kManifestMaxBytes) return 0;  // refused before being read
  const ManifestReading r =
      ParseFirmwareManifest(std::string_view(reinterpret_cast<const char*>(data), size));
  check(r.manifest.has_value() == r.problem.empty());
  if (!r.manifest) return 0;
  check(FirmwareVersionNumber(r.manifest->version).has_value());
  check(lowercaseHex(r.manifest->bootSha256, 64) && lowercaseHex(r.manifest->firmwareSha256, 64));
  return 0;
}
