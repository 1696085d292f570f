// The zoom levels of a Web Mercator tile set as grey and alpha in memory: the finest level is
// the warped chart, each coarser one is made from the level above it, and the tiles are cut
// from them. Pure functions on the caller's buffers, shared by the map module (which warps and
// encodes) and the tests; no GDAL here.
//
// Pixel positions are global per zoom level: column 0 is the world's west edge (180 W), row 0
// its north edge (85.05 N), and level z is 256 * 2^z pixels square.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace tern {

inline constexpr double kWebMercatorHalfEquator = 20037508.342789244;  // metres
inline constexpr int kTileSize = 256;
inline constexpr std::size_t kTilePixels = static_cast<std::size_t>(kTileSize) * kTileSize;

struct TileLevel {
  int zoom = 0;
  std::int64_t column = 0;  // global position of the level's first pixel
  std::int64_t row = 0;
  int width = 0;
  int height = 0;
  std::vector<std::uint8_t> grey;  // row by row, width * height each
  std::vector<std::uint8_t> alpha;
};

// The level below `fine`: each pixel covers the 2 x 2 pixels of `fine` at twice its global
// position (those outside `fine` count as transparent). Alpha is their plain average; grey is
// their average weighted by alpha, so the transparent surroundings of a chart do not darken
// its edge. Grey stays unpremultiplied, as PNG stores it.
inline TileLevel HalvedLevel(const TileLevel& fine) {
  TileLevel coarse;
  coarse.zoom = fine.zoom - 1;
  // Global positions are never negative, so halving rounds down.
  coarse.column = fine.column / 2;
  coarse.row = fine.row / 2;
  coarse.width = static_cast<int>((fine.column + fine.width + 1) / 2 - coarse.column);
  coarse.height = static_cast<int>((fine.row + fine.height + 1) / 2 - coarse.row);
  const std::size_t size =
      static_cast<std::size_t>(coarse.width) * static_cast<std::size_t>(coarse.height);
  coarse.grey.assign(size, 0);
  coarse.alpha.assign(size, 0);
  for (int y = 0; y < coarse.height; ++y) {
    for (int x = 0; x < coarse.width; ++x) {
      unsigned alphaSum = 0;
      unsigned weightedGrey = 0;
      for (int k = 0; k < 4; ++k) {
        const std::int64_t fx = 2 * (coarse.column + x) + (k & 1) - fine.column;
        const std::int64_t fy = 2 * (coarse.row + y) + (k >> 1) - fine.row;
        if (fx < 0 || fy < 0 || fx >= fine.width || fy >= fine.height) continue;
        const std::size_t i = static_cast<std::size_t>(fy) * static_cast<std::size_t>(fine.width) +
                              static_cast<std::size_t>(fx);
        alphaSum += fine.alpha[i];
        weightedGrey += static_cast<unsigned>(fine.alpha[i]) * fine.grey[i];
      }
      const std::size_t o = static_cast<std::size_t>(y) * static_cast<std::size_t>(coarse.width) +
                            static_cast<std::size_t>(x);
      coarse.alpha[o] = static_cast<std::uint8_t>((alphaSum + 2) / 4);
      if (alphaSum > 0)
        coarse.grey[o] = static_cast<std::uint8_t>((weightedGrey + alphaSum / 2) / alphaSum);
    }
  }
  return coarse;
}

// The tile at global tile position (tileColumn, tileRow) of `level` into `grey` and `alpha`
// (kTilePixels each), transparent where the level has no pixels. False when the whole tile is
// transparent: such a tile is left out of the file.
inline bool CutTile(const TileLevel& level, std::int64_t tileColumn, std::int64_t tileRow,
                    std::uint8_t* grey, std::uint8_t* alpha) {
  bool seen = false;
  for (int y = 0; y < kTileSize; ++y) {
    const std::int64_t ly = tileRow * kTileSize + y - level.row;
    for (int x = 0; x < kTileSize; ++x) {
      const std::int64_t lx = tileColumn * kTileSize + x - level.column;
      const std::size_t o = static_cast<std::size_t>(y) * kTileSize + static_cast<std::size_t>(x);
      if (lx < 0 || ly < 0 || lx >= level.width || ly >= level.height) {
        grey[o] = 0;
        alpha[o] = 0;
        continue;
      }
      const std::size_t i = static_cast<std::size_t>(ly) * static_cast<std::size_t>(level.width) +
                            static_cast<std::size_t>(lx);
      grey[o] = level.grey[i];
      alpha[o] = level.alpha[i];
      seen = seen || alpha[o] != 0;
    }
  }
  return seen;
}

}  // namespace tern
