// Synthetic weather charts for the demo receiver: isobars around a low and a high with fronts,
// sea-state and ice charts with their contours, and the stations' test pattern, each with a
// frame, a graticule, a coastline and lettering. They only have to look like a received chart
// and be cheap to draw; no meteorology is computed.
#pragma once

#include <cstdint>
#include <string>

#include "common/bytes.h"

namespace tern::sim {

inline constexpr int kChartWidth = 1800;

enum class ChartKind { SurfaceAnalysis, SurfacePrognosis, SeaState, Ice, TestPattern };

struct ChartSpec {
  ChartKind kind = ChartKind::SurfaceAnalysis;
  std::uint32_t seed = 0;
  int lines = 1200;      // scan lines of the chart itself (phasing not included)
  std::string title;     // first line of lettering, upper case
  std::string subtitle;  // second line (time, product)
};

// One bit per pixel, 1800 pixels per line, most significant bit first, set = black.
class ChartImage {
 public:
  explicit ChartImage(int lines);
  int lines() const { return lines_; }
  const Bytes& bits() const { return bits_; }
  void set(int x, int y) {
    if (x < 0 || y < 0 || x >= kChartWidth || y >= lines_) return;
    bits_[static_cast<std::size_t>(y) * 225 + static_cast<std::size_t>(x >> 3)] |=
        static_cast<std::uint8_t>(0x80 >> (x & 7));
  }
  bool get(int x, int y) const {
    if (x < 0 || y < 0 || x >= kChartWidth || y >= lines_) return false;
    return bits_[static_cast<std::size_t>(y) * 225 + static_cast<std::size_t>(x >> 3)] &
           (0x80 >> (x & 7));
  }
  void fill(int x0, int y0, int x1, int y1);  // inclusive corners

 private:
  int lines_;
  Bytes bits_;
};

// Upper-case letters, digits and a few signs in a 5 x 7 cell, each cell pixel drawn as a
// scale x scale block; other characters leave a gap. Returns the x after the text.
int drawText(ChartImage& image, int x, int y, int scale, const std::string& text);

ChartImage renderChart(const ChartSpec& plan);

}  // namespace tern::sim
