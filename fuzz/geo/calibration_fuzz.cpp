// Arbitrary bytes as a fax calibration file ("fax_calibration/<station>/<row>.txt", written
// by the program or by hand). What the reader accepts must lie within the ranges the fit
// relies on, and write back to a text that reads as the same calibration.
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "fuzz_check.h"
#include "geo/calibration.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace tern;
  const CalibrationParse parsed =
      ParseCalibration(std::string_view(reinterpret_cast<const char*>(data), size));
  check(parsed.calibration.has_value() == parsed.error.empty());
  if (!parsed.calibration) return 0;
  Calibration c = *parsed.calibration;
  check(CalibrationRangeError(c).empty());
  for (const CalibrationPoint& p : c.points) {
    check(p.column >= 0 && p.column < kMaxCalibrationPixel && p.row >= 0 &&
          p.row < kMaxCalibrationPixel);
    check(std::fabs(p.latitude) <= 90 && std::fabs(p.longitude) <= 180);
  }
  CalibrationOutsideError(c, 1800, 1);
  CalibrationOutsideError(c, 1, 2000);
  // The true-scale latitude belongs to polar charts only and is written for them alone.
  if (c.projection != ChartProjection::PolarNorth) c.trueScaleLatitude = kDefaultTrueScaleLatitude;
  const CalibrationParse again = ParseCalibration(FormatCalibration(c));
  check(again.calibration.has_value() && *again.calibration == c);
  return 0;
}
