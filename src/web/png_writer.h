// Grey pictures as PNG files in memory, for the web page's chart pictures.
#pragma once

#include "common/bytes.h"

namespace tern {

// `grey` holds `width` x `height` bytes, row by row, 0 black to 255 white. A picture of only
// black and white is written with one bit per pixel, any other with eight. Empty when the
// sizes do not match the bytes or are out of range (1 to 65535 each way), or when the
// library fails.
Bytes encodeGreyPng(int width, int height, ByteView grey);

}  // namespace tern
