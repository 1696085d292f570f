#include "presenters/fax_map.h"

#include <algorithm>

#include "config/schedule_table.h"
#include "presenters/fax_store.h"

namespace tern {

namespace {

constexpr int kLast = kFaxSize - 1;

// Where unturned row `r`, column `c` lies after `k` quarter turns of the buffer (each turn
// puts row r, column c at row 2399 - c, column r), and the way back.
void turn(double& r, double& c, int k) {
  for (; k > 0; --k) {
    const double row = kLast - c;
    c = r;
    r = row;
  }
}
void unturn(double& r, double& c, int k) {
  for (; k > 0; --k) {
    const double column = kLast - r;
    r = c;
    c = column;
  }
}

int turns(int rotationState) { return ((rotationState % 4) + 4) % 4; }

}  // namespace

std::string FaxStationName(int station) {
  std::string caption = faxStation(station).caption;
  caption.erase(0, caption.find(' ') + 1);  // "FAX NEW ORLEANS" -> "NEW ORLEANS"
  for (char& c : caption)
    if (c == ' ') c = '_';
  return caption;
}

std::string FaxRowName(const std::string& keyText) {
  std::string name = TFAX::ImageFileName(keyText);
  return name.substr(0, name.size() - 4);  // without ".BMP"
}

ChartRaster FaxChartRaster(const FaxImage& image, const FaxRect& rect, int rotationState) {
  ChartRaster raster;
  raster.width = std::max(0, rect.right - rect.left + 1);
  raster.height = std::max(0, rect.bottom - rect.top + 1);
  raster.grey.resize(static_cast<std::size_t>(raster.width) *
                     static_cast<std::size_t>(raster.height));
  const int k = turns(rotationState);
  std::size_t i = 0;
  for (int row = rect.top; row <= rect.bottom; ++row) {
    for (int column = rect.left; column <= rect.right; ++column) {
      double r = row;
      double c = column;
      turn(r, c, k);
      raster.grey[i++] = image.Pixel(static_cast<int>(r), static_cast<int>(c)) ? 0 : 255;
    }
  }
  return raster;
}

PixelPosition UnturnedChartPosition(PixelPosition shown, bool half, int rotationState,
                                    const FaxRect& rect) {
  const FaxRect r = TurnedRect(rect, rotationState);
  // A half-size picture pixel stands for two buffer pixels each way, from the even one.
  double row = half ? 2 * (r.top / 2 + shown.row) + 0.5 : r.top + shown.row;
  double column = half ? 2 * (r.left / 2 + shown.column) + 0.5 : r.left + shown.column;
  unturn(row, column, turns(rotationState));
  return {column, row};
}

PixelPosition ShownPosition(PixelPosition unturned, bool half, int rotationState,
                            const FaxRect& rect) {
  const FaxRect r = TurnedRect(rect, rotationState);
  double row = unturned.row;
  double column = unturned.column;
  turn(row, column, turns(rotationState));
  if (!half) return {column - r.left, row - r.top};
  return {(column - 0.5) / 2 - r.left / 2, (row - 0.5) / 2 - r.top / 2};
}

}  // namespace tern
