// One automatic export run as the window and the service both make it: the mirror of the
// newest messages, then the decoded SYNOP reports as waypoints for chart plotters in
// "SYNOP/synop.gpx" beside the mirror's subfolders.
#pragma once

#include <string>

#include "common/clock.h"
#include "common/file_io.h"
#include "export/export.h"
#include "messages/message_store.h"

namespace tern {

// The decoded reports of the store's bulletins as "SYNOP/synop.gpx" in an existing export
// folder (the subfolder made when missing), replacing the old file whole.
FileStatus ExportSynopGpx(const std::string& folder, const MessageStore& store,
                          const CivilTime& utcNow);

// What failed, in German; empty when everything was written. `outcome`, when given, gets the
// counts of the whole run, the waypoint file included. Thread: any (as Export); the caller
// keeps `input` alive.
std::string RunExport(const std::string& folder, const MessageStore& store,
                      const ExportInput& input, const CivilTime& utcNow,
                      ExportOutcome* outcome = nullptr);

}  // namespace tern
