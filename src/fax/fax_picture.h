// What the fax store hands to the window: a rendered chart as an indexed picture. The core
// owns no toolkit image and cannot draw text, so a picture is palette indices plus the
// palette, and the quality notice travels as text and place for the window to draw on top.
// The window shows it with an indexed 8-bit image (there is no four-bit format to use);
// the BMP writer stores it with one or four bits per pixel.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tern {

// A rectangle of the image buffer, all four bounds inclusive; right < left or bottom < top
// means empty.
struct FaxRect {
  std::int32_t left = 0;
  std::int32_t top = 0;
  std::int32_t right = -1;
  std::int32_t bottom = -1;

  bool operator==(const FaxRect&) const = default;
};

// Text the window draws onto the picture, its top-left corner at (x, y) in picture
// coordinates (after any zoom or turn), UTF-8.
struct FaxNotice {
  std::string text;
  int x = 0;
  int y = 0;

  bool operator==(const FaxNotice&) const = default;
};

// Palette entries are 0x00RRGGBB.
inline constexpr std::uint32_t kFaxBlack = 0x000000;
inline constexpr std::uint32_t kFaxWhite = 0xFFFFFF;

// Palette indices of the full-size picture (two colours).
inline constexpr std::uint8_t kFullBlack = 0;
inline constexpr std::uint8_t kFullWhite = 1;
// Palette indices of the half-size picture (sixteen colours).
inline constexpr std::uint8_t kHalfBlack = 0;
inline constexpr std::uint8_t kHalfGrey = 2;
inline constexpr std::uint8_t kHalfWhite = 4;

struct FaxPicture {
  int width = 0;
  int height = 0;
  // 1 for a full-size picture (palette of two), 4 for a half-size one (palette of sixteen).
  int bitsPerPixel = 1;
  std::vector<std::uint8_t> pixels;    // palette indices, row by row, width * height
  std::vector<std::uint32_t> palette;  // 0x00RRGGBB
  std::optional<FaxNotice> notice;

  std::uint8_t at(int x, int y) const {
    return pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) +
                  static_cast<std::size_t>(x)];
  }
  std::uint32_t colourAt(int x, int y) const { return palette[at(x, y)]; }
};

// The image seam of one fax station. The window implements it with its image control:
// placed at left 0, top 0, sized to the picture, given the picture, notice drawn on top.
// Thread: called on the window thread only.
class FaxImageView {
 public:
  virtual ~FaxImageView() = default;
  virtual void showPicture(const FaxPicture& picture) = 0;
};

}  // namespace tern
