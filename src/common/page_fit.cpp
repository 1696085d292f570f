#include "common/page_fit.h"

#include <cstdint>
#include <limits>

namespace tern {

namespace {

int clampToInt(std::int64_t v) {
  if (v > std::numeric_limits<int>::max()) return std::numeric_limits<int>::max();
  return static_cast<int>(v);
}

// v * percent / 100 to the nearest integer; v and percent are positive.
std::int64_t scaled(std::int64_t v, std::int64_t percent) { return (v * percent + 50) / 100; }

}  // namespace

FittedSize fitToPage(int width, int height, int pageWidth, int pageHeight, int percent) {
  if (width <= 0 || height <= 0 || pageWidth <= 0 || pageHeight <= 0 || percent <= 0) return {};
  const std::int64_t w = width;
  const std::int64_t h = height;
  const std::int64_t pw = pageWidth;
  const std::int64_t ph = pageHeight;
  std::int64_t outW = 0;
  std::int64_t outH = 0;
  // w / h > pw / ph, compared without division.
  if (w * ph > pw * h) {
    outW = pw;
    outH = h * pw / w;
  } else {
    outH = ph;
    outW = w * ph / h;
  }
  return {clampToInt(scaled(outW, percent)), clampToInt(scaled(outH, percent))};
}

}  // namespace tern
