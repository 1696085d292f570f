// Where the images of a firmware update come from: the simulated receiver brings its own
// marked test images; every real receiver gets only the files installed in a firmware
// folder. Kept beside the port choice so the two can never disagree.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "assembly/port_factory.h"
#include "update/firmware_images.h"

namespace tern {

// The folders that may hold "firmware/", in the order they are looked at: the user's own
// "TERN/" under the user's data folder (`userDataFolder`, without "TERN/"; installed there
// without root), then the program folder. The first that holds any firmware file is used.
std::vector<std::string> firmwareFolders(const std::optional<std::string>& userDataFolder,
                                         const std::string& programFolder);

FirmwareFiles firmwareFilesFor(const ReceiverAccess& access,
                               const std::vector<std::string>& folders);

}  // namespace tern
