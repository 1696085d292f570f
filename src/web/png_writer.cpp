#include "web/png_writer.h"

#include <png.h>

#include <algorithm>
#include <csetjmp>
#include <cstddef>

namespace tern {

namespace {

constexpr int kLargestSide = 65535;

void append(png_structp png, png_bytep data, png_size_t length) {
  auto* out = static_cast<Bytes*>(png_get_io_ptr(png));
  out->insert(out->end(), data, data + length);
}

void flush(png_structp) {}

// Everything that libpng may jump out of lives in the caller's frame, so the jump skips no
// destructor. Returns false when libpng reported an error.
bool writeRows(png_structp png, png_infop info, int width, int height, int depth,
               const std::uint8_t* grey, Bytes& row, Bytes& out) {
  if (setjmp(png_jmpbuf(png))) return false;
  png_set_write_fn(png, &out, append, flush);
  png_set_IHDR(png, info, static_cast<png_uint_32>(width), static_cast<png_uint_32>(height), depth,
               PNG_COLOR_TYPE_GRAY, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
               PNG_FILTER_TYPE_DEFAULT);
  png_write_info(png, info);
  const std::size_t w = static_cast<std::size_t>(width);
  for (int y = 0; y < height; ++y) {
    const std::uint8_t* source = grey + static_cast<std::size_t>(y) * w;
    if (depth == 8) {
      std::copy(source, source + w, row.begin());
    } else {
      // Eight pixels a byte, the first in the highest bit; white is 1.
      std::fill(row.begin(), row.end(), 0);
      for (std::size_t x = 0; x < w; ++x)
        if (source[x] != 0) row[x / 8] |= static_cast<std::uint8_t>(0x80u >> (x % 8));
    }
    png_write_row(png, row.data());
  }
  png_write_end(png, nullptr);
  return true;
}

}  // namespace

Bytes encodeGreyPng(int width, int height, ByteView grey) {
  if (width < 1 || height < 1 || width > kLargestSide || height > kLargestSide ||
      grey.size() != static_cast<std::size_t>(width) * static_cast<std::size_t>(height))
    return {};
  const bool twoLevels =
      std::all_of(grey.begin(), grey.end(), [](std::uint8_t v) { return v == 0 || v == 255; });
  const int depth = twoLevels ? 1 : 8;
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  if (png == nullptr) return {};
  png_infop info = png_create_info_struct(png);
  Bytes out;
  Bytes row(twoLevels ? (static_cast<std::size_t>(width) + 7) / 8
                      : static_cast<std::size_t>(width));
  const bool written =
      info != nullptr && writeRows(png, info, width, height, depth, grey.data(), row, out);
  png_destroy_write_struct(&png, info != nullptr ? &info : nullptr);
  return written ? out : Bytes();
}

}  // namespace tern
