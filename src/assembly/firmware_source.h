// Where the images of a firmware update come from: the simulated receiver brings its own
// marked test images; every real receiver gets only the files installed in the program
// folder. Kept beside the port choice so the two can never disagree.
#pragma once

#include <string>

#include "assembly/port_factory.h"
#include "update/firmware_images.h"

namespace tern {

FirmwareFiles firmwareFilesFor(const ReceiverAccess& access, const std::string& programFolder);

}  // namespace tern
