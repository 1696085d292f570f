// The simulated receiver's marked test images as the update procedure takes them.
#pragma once

#include "sim/test_firmware.h"
#include "update/firmware_images.h"

namespace tern::testing {

inline FirmwareImages testImages() {
  return *FirmwareImages::Make(
      Bytes(sim::kTestBootLoaderImage.begin(), sim::kTestBootLoaderImage.end()),
      Bytes(sim::kTestFirmwareImage.begin(), sim::kTestFirmwareImage.end()));
}

}  // namespace tern::testing
