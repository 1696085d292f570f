#include "config/time_alloc.h"

namespace tern {

bool TTimeAlloc::spanFree(int start, int duration) const {
  for (int k = 0; k < duration; ++k)
    if (cell(wrap(start, k)) != kFreeCell) return false;
  return true;
}

bool TTimeAlloc::spanHeldBy(int start, int duration, int first, int last) const {
  for (int k = 0; k < duration; ++k) {
    const int code = cell(wrap(start, k));
    if (code < first || code > last) return false;
  }
  return true;
}

void TTimeAlloc::fill(int start, int duration, std::uint8_t code) {
  for (int k = 0; k < duration; ++k) setCell(wrap(start, k), code);
}

}  // namespace tern
