// Fax pictures as Windows bitmap files, so that tern-cli and the automatic export can save
// charts without the window toolkit. A picture with a palette of two is stored with one bit
// per pixel, one of up to sixteen with four, a larger one with eight; rows bottom-up, each
// padded to four bytes, as every bitmap reader expects. The notice of a picture is not
// drawn: the core has no font.
#pragma once

#include <string>

#include "common/bytes.h"
#include "common/file_io.h"
#include "fax/fax_picture.h"

namespace tern {

// The file's bytes. Palette indices beyond the palette are stored as they fit the pixel
// width (masked), never read outside the picture.
Bytes encodeBmp(const FaxPicture& picture);

// Writes the file through a temporary file renamed over `path`.
FileStatus writeBmp(const std::string& path, const FaxPicture& picture);

}  // namespace tern
