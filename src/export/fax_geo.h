// The map part of the automatic export: "FAX_GEO/<station>/<station>_<row>.tif" and
// ".mbtiles" for the newest chart of every calibrated row.
#pragma once

#include <string>

#include "export/export.h"
#include "messages/message_store.h"
#include "presenters/fax_map.h"

namespace tern {

inline constexpr const char* kFaxGeoSubfolder = "FAX_GEO";

// The map part of the export into `folder` (FAX_GEO is appended): for every row with a
// calibration in `calibrations`, the newest chart, unless the files there already hold that
// chart with that calibration and slant. Files of rows no longer calibrated are removed.
// Counts go into `outcome`. Thread: any, like Export.
void ExportFaxGeo(const std::string& folder, const MessageStore& store, const ExportInput& input,
                  ExportOutcome& outcome);

}  // namespace tern
