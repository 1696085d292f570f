// Rendering the image buffer as the picture the window shows, saves and prints.
#include <algorithm>
#include <array>

#include "fax/fax_image.h"

namespace tern {

namespace {

constexpr std::array<std::uint32_t, 2> kFullPalette{kFaxBlack, kFaxWhite};
// Black, three greys, white; the entries nothing uses are red, so a wrong index shows.
constexpr std::array<std::uint32_t, 16> kHalfPalette{
    kFaxBlack, 0x404040, 0x808080, 0xC0C0C0, kFaxWhite, 0xFF0000, 0xFF0000, 0xFF0000,
    0xFF0000,  0xFF0000, 0xFF0000, 0xFF0000, 0xFF0000,  0xFF0000, 0xFF0000, 0xFF0000};

constexpr std::size_t kStride = kFaxSize;

}  // namespace

std::uint8_t* FaxImage::StartPicture(bool half, int width, int height, FaxPicture& out) const {
  if (quality_)
    out.notice = FaxNotice{kFaxQualityNotice, kFaxNoticeX, kFaxNoticeY};
  else
    out.notice.reset();
  out.width = width;
  out.height = height;
  out.bitsPerPixel = half ? 4 : 1;
  if (half)
    out.palette.assign(kHalfPalette.begin(), kHalfPalette.end());
  else
    out.palette.assign(kFullPalette.begin(), kFullPalette.end());
  out.pixels.resize(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
  return out.pixels.data();
}

FaxRect TurnedRect(const FaxRect& rect, int rotationState) {
  FaxRect r = rect;
  for (int k = ((rotationState % 4) + 4) % 4; k > 0; --k) {
    // Row 2399 - c, column r of the turned buffer holds row r, column c of the unturned one.
    r = {r.top, kFaxSize - 1 - r.right, r.bottom, kFaxSize - 1 - r.left};
  }
  return r;
}

void FaxImage::Render(bool half, int rotationState, const FaxRect& rect, FaxPicture& out) const {
  settle();
  FaxRect r = TurnedRect(rect, rotationState);
  r.left = std::max(r.left, 0);
  r.top = std::max(r.top, 0);
  r.right = std::min(r.right, kFaxSize - 1);
  r.bottom = std::min(r.bottom, kFaxSize - 1);
  const int width = std::max(0, r.right - r.left + 1);
  const int height = std::max(0, r.bottom - r.top + 1);

  if (!half) {
    std::uint8_t* pixels = StartPicture(false, width, height, out);
    for (int y = 0; y < height; ++y) {
      const std::uint8_t* from = image_.data() + static_cast<std::size_t>(r.top + y) * kStride +
                                 static_cast<std::size_t>(r.left);
      std::uint8_t* to = pixels + static_cast<std::size_t>(y) * static_cast<std::size_t>(width);
      // Buffer 0 (white) is palette entry 1, buffer 1 (black) entry 0.
      for (int x = 0; x < width; ++x) to[x] = static_cast<std::uint8_t>(from[x] ^ 1);
    }
    return;
  }

  // The half-size picture of the whole buffer is kFaxSize / 2 square; the chart's part of
  // it starts at the halved corner and covers the halved sides, rounded up.
  constexpr int kHalf = kFaxSize / 2;
  const int left = r.left / 2;
  const int top = r.top / 2;
  const int halfWidth = std::min((width + 1) / 2, kHalf - left);
  const int halfHeight = std::min((height + 1) / 2, kHalf - top);
  std::uint8_t* pixels = StartPicture(true, halfWidth, halfHeight, out);
  for (int y = 0; y < halfHeight; ++y) {
    const std::size_t row = static_cast<std::size_t>(2 * (top + y));
    const std::uint8_t* even = image_.data() + row * kStride + 2 * static_cast<std::size_t>(left);
    const std::uint8_t* odd = even + kStride + 1;
    std::uint8_t* to = pixels + static_cast<std::size_t>(y) * static_cast<std::size_t>(halfWidth);
    // Both white: entry 4; one white: entry 2 (grey); none: entry 0.
    for (int x = 0; x < halfWidth; ++x)
      to[x] = static_cast<std::uint8_t>(kHalfWhite - 2 * (even[2 * x] + odd[2 * x]));
  }
}

}  // namespace tern
