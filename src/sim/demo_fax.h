// Fax recordings for the demo receiver. The receiver hands a chart over as a bit stream packed
// into literal and run bytes; the chart decoder unpacks it, looks for the phasing band and lays
// the scan lines out from there. This module builds such recordings from a synthetic chart, so
// the demo's charts travel the same road as received ones and decode into a proper picture.
#pragma once

#include <cstddef>
#include <cstdint>

#include "common/bytes.h"
#include "sim/demo_chart.h"

namespace tern::sim {

inline constexpr std::size_t kFaxLineBytes = 225;  // 1800 pixels, most significant bit first
inline constexpr int kFaxPhasingLines = 12;
inline constexpr std::size_t kFaxBandBytes = 5 * kFaxLineBytes;
// Width of the phasing pulse: wide enough for every 5-byte window search of the decoder to
// find a fully white window, narrow enough that a five-line band stays 'mostly black'.
inline constexpr std::size_t kFaxPulseBytes = 10;

// Packs a bit buffer into the receiver's bytes. The decoder writes its first bit into bit 7
// (the least significant bit) of byte 0 and then goes on through byte 1 from its most
// significant bit, so the stream carried here starts at that bit; bits 0..6 of byte 0 are not
// carried. A byte below 128 carries seven literal bits (value 64 first); a byte from 128 on is a
// run of (b & 63) * 3 + 8 equal bits, black when b & 64 is set. The last literal is filled up
// with white bits.
Bytes packFaxBits(ByteView bits);

// The unpacked form of a recording: a white lead-in, the phasing lines (black with a white
// pulse at the start of each line) and then the chart lines, whose left margin lies under the
// pulse. `leadIn` is the number of bytes before the first phasing line.
struct FaxStream {
  Bytes bits;
  std::size_t leadIn = 0;
  std::size_t chartStart = 0;  // byte offset of the first chart line
};
FaxStream faxStream(const ChartImage& chart, std::uint32_t seed);

// Where the decoder's phasing search lands for a stream made by faxStream: the start of the
// first phasing line that begins after the first 5-line band offset.
std::size_t expectedPhasingOffset(const FaxStream& stream);

// A complete recording: the chart rendered, framed by lead-in and phasing, packed.
Bytes demoFaxRecording(const ChartSpec& plan);

}  // namespace tern::sim
