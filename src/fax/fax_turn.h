// The quarter turn of the image buffer's chart and the whitening around it. A turn moves
// only the rectangle the chart covers, in cache-sized tiles of 16 x 8 (or, with AVX2,
// 32 x 8) pixel blocks transposed in vector registers, instead of one byte at a time.
#pragma once

#include <cstdint>

#include "fax/fax_decode.h"
#include "fax/fax_picture.h"

namespace tern {

// Writes the counter-clockwise quarter turn of `from`'s rectangle `r` into `to` (both
// kFaxSize x kFaxSize, row by row): row kFaxSize - 1 - c, column y of `to` takes row y,
// column c of `from`. Only TurnedRect(r, 1) of `to` is written. `r` must lie in the buffer.
// With `avx2` false the turn keeps to the registers every build has, as on a processor
// without AVX2 (the tests compare both ways).
void TurnQuarter(const std::uint8_t* from, std::uint8_t* to, const FaxRect& r, bool avx2 = true);

// Whether TurnQuarter can use AVX2 here: built for x86-64 and run on a processor with it.
bool TurnCanUseAvx2();

// Sets every pixel of `used` that lies outside `keep` to 0 (white); `keep` may be empty or
// reach beyond `used`.
void WhitenOutside(std::uint8_t* buffer, const FaxRect& used, const FaxRect& keep);

inline bool IsEmpty(const FaxRect& r) { return r.right < r.left || r.bottom < r.top; }

}  // namespace tern
