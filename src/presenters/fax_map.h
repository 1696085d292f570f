// A fax chart as a map: the names its calibration and map files go by, the decoded chart
// handed to the georeferencing core, and positions translated between the picture the window
// shows and the chart a calibration is made on.
//
// A calibration is made on the unturned full-size chart; the window shows it at half size
// and in any of four quarter turns.
#pragma once

#include <string>

#include "fax/fax_image.h"
#include "geo/chart_fit.h"
#include "geo/chart_writer.h"

namespace tern {

// The station's name in folder names: "DWD", "NORTHWOOD", "HALIFAX", "BOSTON", "NEW_ORLEANS".
std::string FaxStationName(int station);
// The schedule row a chart belongs to, from its key text: the first six characters.
std::string FaxRowName(const std::string& keyText);

// The decoded chart `rect`, unturned, as grey levels, whatever turns the buffer has had.
ChartRaster FaxChartRaster(const FaxImage& image, const FaxRect& rect, int rotationState);

// A position in the picture the window shows (half size or not, `rotationState` turns) as a
// position of the unturned full-size chart, and back. Pixel centres are whole numbers.
PixelPosition UnturnedChartPosition(PixelPosition shown, bool half, int rotationState,
                                    const FaxRect& rect);
PixelPosition ShownPosition(PixelPosition unturned, bool half, int rotationState,
                            const FaxRect& rect);

}  // namespace tern
