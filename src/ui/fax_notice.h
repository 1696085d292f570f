// Saved fax charts carry the notice a badly received chart shows on screen. The core cannot
// draw text, so the window burns the notice into the picture's palette indices here, and the
// picture stays one that the core's BMP writer stores at its own bit depth (one bit per
// pixel at full size). Saving by hand uses it, and the automatic export draws its notices
// with withNoticeDrawn.
#pragma once

#include "fax/fax_picture.h"

namespace tern {

// The picture with its notice drawn in the palette's black (as on screen, at the notice's
// place) and no notice left to draw; a picture without notice comes back unchanged.
FaxPicture withNoticeDrawn(const FaxPicture& picture);

}  // namespace tern
