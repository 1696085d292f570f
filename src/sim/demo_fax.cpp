#include "sim/demo_fax.h"

#include <algorithm>

namespace tern::sim {

namespace {

constexpr std::size_t kFirstStreamBit = 7;  // the decoder's first bit: byte 0, least significant
constexpr std::size_t kMaxRun = 197;        // (63 * 3) + 8
constexpr std::size_t kTailBytes = 8;       // white after the last line, so it is laid out too

bool bitAt(ByteView bits, std::size_t index) { return (bits[index >> 3] >> (7 - (index & 7))) & 1; }

}  // namespace

Bytes packFaxBits(ByteView bits) {
  Bytes out;
  const std::size_t end = bits.size() * 8;
  std::size_t i = kFirstStreamBit;
  while (i < end) {
    const bool value = bitAt(bits, i);
    std::size_t run = 1;
    while (i + run < end && run < kMaxRun && bitAt(bits, i + run) == value) ++run;
    if (run >= 8) {
      // Run lengths come in steps of three; what a step leaves over goes into the next byte.
      const std::size_t steps = (run - 8) / 3;
      out.push_back(static_cast<std::uint8_t>(0x80 | (value ? 0x40 : 0) | steps));
      i += steps * 3 + 8;
      continue;
    }
    std::uint8_t literal = 0;
    for (int k = 0; k < 7; ++k, ++i)
      if (i < end && bitAt(bits, i)) literal |= static_cast<std::uint8_t>(0x40 >> k);
    out.push_back(literal);
  }
  return out;
}

FaxStream faxStream(const ChartImage& chart, std::uint32_t seed) {
  FaxStream s;
  // The recording starts somewhere in the start tone; the first phasing line begins where
  // it happens to. Keep the first 5-line band offset out of a pulse and within reach of the
  // decoder's 0..220 byte shift search.
  std::size_t leadIn = 300 + seed % 700;
  std::size_t shift = (leadIn + 225 * 8 - kFaxBandBytes) % kFaxLineBytes;
  if (shift > 200) leadIn -= 30;
  s.leadIn = leadIn;
  s.chartStart = leadIn + kFaxPhasingLines * kFaxLineBytes;
  const std::size_t chartBytes = chart.bits().size();
  s.bits.assign(s.chartStart + chartBytes + kTailBytes, 0);
  for (int line = 0; line < kFaxPhasingLines; ++line) {
    auto at = s.bits.begin() + static_cast<std::ptrdiff_t>(leadIn + line * kFaxLineBytes);
    std::fill(at + kFaxPulseBytes, at + kFaxLineBytes, 0xFF);
  }
  std::copy(chart.bits().begin(), chart.bits().end(),
            s.bits.begin() + static_cast<std::ptrdiff_t>(s.chartStart));
  return s;
}

std::size_t expectedPhasingOffset(const FaxStream& stream) {
  std::size_t shift = (stream.leadIn + 225 * 8 - kFaxBandBytes) % kFaxLineBytes;
  return kFaxBandBytes + shift;
}

Bytes demoFaxRecording(const ChartSpec& plan) {
  return packFaxBits(faxStream(renderChart(plan), plan.seed).bits);
}

}  // namespace tern::sim
