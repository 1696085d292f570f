// The transmitter the reception test was last run on, so the test starts there again next
// time. Kept in a small file of its own beside the settings file, because the settings
// file's layout is fixed and its schedule block goes to the receiver unchanged.
#pragma once

#include <string>
#include <string_view>

#include "common/file_io.h"

namespace tern {

inline constexpr std::string_view kReceiveTestChoiceFile = "receive_test_transmitter.txt";

// The call sign stored in the data folder (ending with '/'); empty when there is none. The
// caller checks that it names a transmitter the test offers.
std::string LoadReceiveTestChoice(const std::string& dataFolder);
FileStatus SaveReceiveTestChoice(const std::string& dataFolder, std::string_view callSign);

}  // namespace tern
