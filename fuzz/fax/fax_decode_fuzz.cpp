// Feeds arbitrary recording data and slant values through the whole road of a chart:
// unpacking, phasing search, layout, slant correction, quarter turns and rendering at both
// sizes. Nothing may read or write outside the buffers, and the chart's rectangle and the
// picture must keep their shapes.
//
// Input: slant value (i32, little-endian), mode byte, then the recording's data. Mode bit 0:
// dropped recording; bit 1: half size; bits 2-3: quarter turns; bit 4: slant reduced to
// -2400..2400, where most real values lie; bit 5: render; bit 6: the full-size picture
// written straight from the bit stream in the decode, the buffer laid out when first read.
//
// Turning the buffer does not depend on the data (the unit tests cover it), and where
// rendering reads depends only on the chart's rectangle, the turns and the size: the target
// renders the turned rectangle of the unturned buffer, and only for inputs that ask for it
// and are not dropped recordings (whose 2400-line page has one fixed shape), so that the
// data's own road gets most of the runs.
#include <cstdint>
#include <cstdlib>

#include "fax/fax_image.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace tern;
  if (size < 5) return 0;
  // One set of buffers for the whole run, as in the program: each chart is decoded over
  // whatever the one before left.
  static FaxImage image;
  static FaxPicture picture;
  const ByteView input(data, size);
  std::int32_t turn = getI32(input, 0);
  const std::uint8_t mode = data[4];
  if (mode & 0x10) turn %= kFaxSize + 1;
  const bool quality = mode & 1;
  const bool half = mode & 2;
  const int turns = (mode >> 2) & 3;
  const bool render = mode & 0x20;
  const bool inPass = mode & 0x40;

  const FaxRect rect = image.Decode(input.subspan(5), quality, turn, inPass ? &picture : nullptr);
  if (rect.left != 0 || rect.top != 0 || rect.right != kFaxLinePixels - 1 || rect.bottom < -1 ||
      rect.bottom >= kFaxSize || (quality && rect.bottom != kFaxSize - 1))
    std::abort();
  if (image.UnpackedBytes() >= kFaxBitBufferSize) std::abort();
  if (inPass && (picture.width != kFaxLinePixels || picture.height != rect.bottom + 1))
    std::abort();
  if (!render || quality) return 0;
  image.Render(half, turns, rect, picture);

  const int lines = rect.bottom + 1;
  int width = turns % 2 ? lines : kFaxLinePixels;
  int height = turns % 2 ? kFaxLinePixels : lines;
  if (half) {
    width = (width + 1) / 2;
    height = (height + 1) / 2;
  }
  if (picture.width != width || picture.height != height ||
      picture.pixels.size() != static_cast<std::size_t>(width) * static_cast<std::size_t>(height))
    std::abort();
  return 0;
}
