// The file names the save dialog proposes for what the main window shows. The fax chart's
// own name is TFAX::ImageFileName.
#pragma once

#include <string>

namespace tern {

inline constexpr const char* kBarographFileName = "Barographdaten.bmp";
inline constexpr const char* kSynopFileName = "Synopdaten.bmp";

// The shown message's key + ".TXT", UTF-8. The key comes from the receiver (Latin-1):
// characters that do not belong in a file name (path separators, control characters) become
// '_', and a key starting with '.' does not make a hidden or parent-folder name.
std::string textFileName(const std::string& currentKey);

}  // namespace tern
