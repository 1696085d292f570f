// The steps that turn a fax recording's data bytes into scan lines: unpacking the receiver's
// literal and run bytes into a bit stream, finding the phasing band that fixes the chart's
// left edge, and shearing the lines against the slant of the transmitter's drum. They work
// on caller-owned buffers, so the store allocates its buffers once and a decode allocates
// nothing.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

#include "common/bytes.h"

namespace tern {

inline constexpr int kFaxSize = 2400;        // rows and columns of the image buffer
inline constexpr int kFaxLineBytes = 225;    // one scan line in the bit stream
inline constexpr int kFaxLinePixels = 1800;  // = kFaxLineBytes * 8
inline constexpr std::size_t kFaxBitBufferSize = 1000000;
inline constexpr std::size_t kFaxImageBytes = static_cast<std::size_t>(kFaxSize) * kFaxSize;
// A slant value beyond this magnitude is treated as this magnitude (see SlantStep).
inline constexpr int kMaxFaxTurnMagnitude = kFaxSize;

// Phasing search: five-line bands at offsets kPhasingBandBytes, 2 * kPhasingBandBytes, ...
// up to and including kLastPhasingBand.
inline constexpr std::size_t kPhasingBandBytes = 5 * kFaxLineBytes;
inline constexpr std::size_t kLastPhasingBand = 67500;
inline constexpr int kPhasingMinSetBits = 7500;
inline constexpr int kPhasingMaxSetBits = 8750;
inline constexpr int kPhasingMaxShift = 220;
inline constexpr int kPhasingMinClearBits = 151;

// Unpacks the receiver's bytes into `out`. A byte below 128 carries seven literal bits (the
// bit of value 64 first); a byte from 128 on is a run of (b & 63) * 3 + 8 equal bits, set
// when b & 64 is set. Bits fill each byte from its most significant bit; the first bit goes
// into the least significant bit of byte 0, so the stream is shifted by seven positions
// against the byte boundaries.
//
// Returns n, the number of whole bytes the stream filled: the index of the byte being
// filled when the input ends, or out.size() - 1 when the stream reached the end of `out`
// (the rest of the input is then ignored). Byte 0's seven leading positions, the unused
// positions of byte n and the 31 bytes after it (as far as `out` reaches) are written as 0,
// never left from an earlier chart: the unpacking stores ahead of the stream. Bytes beyond
// those are not touched, nor any outside `out`.
std::size_t UnpackBits(ByteView data, std::span<std::uint8_t> out);

// The byte offset of the phasing band's white bar in `bits`, 0 when there is none. Only
// the first `n` bytes count as data: a band is examined only when all its bytes lie below
// n, so bytes left in the buffer by an earlier, longer chart are never taken for a marker.
std::size_t FindPhasing(std::span<const std::uint8_t> bits, std::size_t n);

// The number of lines per one-pixel shift for a slant value; 0 for no correction. A
// magnitude above kMaxFaxTurnMagnitude counts as kMaxFaxTurnMagnitude (one pixel per line,
// the steepest correction), so the step never becomes 0 for a non-zero slant.
int SlantStep(int faxTurn);

// Rewrites columns 0..1799 of rows 0..lines-1 of `image` from `source` (both kFaxSize x
// kFaxSize, row by row), reading the source's chart as one stream of 1800 pixels per line.
// Row y starts at stream position 1800 y - (y div step) for a positive slant and
// 1800 y + (y div step) for a negative one. A read past the end of the last line folds
// back into that line (modulo its length), so nothing outside the chart is read whatever
// the slant. With faxTurn 0 the rows are copied unchanged.
void SlantCorrect(const std::uint8_t* source, std::uint8_t* image, int lines, int faxTurn);

// Expands `lines` scan lines of the bit stream `stream` (from the phasing on; each line
// kFaxLineBytes, a set bit black = 1) into columns 0..1799 of the rows of `image` (kFaxSize
// x kFaxSize): with faxTurn 0 line by line, with a slant the rows SlantCorrect would make of
// those lines, read straight from the bits (no second pass over the picture). `stream` must
// hold lines * kFaxLineBytes + 1 bytes. Unless `inverted` is null, every row is also written
// there with each pixel xor 1, kFaxLinePixels per row and the rows back to back, in the
// same pass. `image` may be null, and then only `inverted` is written.
void ExpandLines(const std::uint8_t* stream, std::uint8_t* image, int lines, int faxTurn,
                 std::uint8_t* inverted = nullptr);

}  // namespace tern
