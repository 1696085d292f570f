// Fax charts as maps: the decoded chart handed to the georeferencing core, the names the
// calibrations and the exported map files go by, and the map part of the automatic export,
// "FAX_GEO/<station>/<row>.tif" and ".mbtiles" for the newest chart of every calibrated row.
//
// A calibration is made on the unturned full-size chart; the window shows it at half size
// and in any of four quarter turns, so positions are translated between the two here.
#pragma once

#include <string>

#include "export/export.h"
#include "geo/calibration.h"
#include "geo/chart_fit.h"
#include "geo/chart_writer.h"
#include "messages/message_store.h"
#include "stores/fax_image.h"

namespace tern {

inline constexpr const char* kFaxGeoSubfolder = "FAX_GEO";

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

// The map part of the export into `folder` (FAX_GEO is appended): for every row with a
// calibration in `calibrations`, the newest chart, unless the files there already hold that
// chart with that calibration and slant. Files of rows no longer calibrated are removed.
// Counts go into `outcome`. Thread: any, like Export.
void ExportFaxGeo(const std::string& folder, const MessageStore& store,
                  const ExportInput& input, ExportOutcome& outcome);

}  // namespace tern
