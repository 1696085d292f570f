#include "export/export_run.h"

#include "synop/synop_gpx.h"

namespace tern {

std::string RunExport(const std::string& folder, const MessageStore& store,
                      const ExportInput& input, const CivilTime& utcNow, ExportOutcome* outcome) {
  const ExportOutcome result = Export(folder, store, input);
  if (outcome != nullptr) *outcome = result;
  if (!result.folderFound) return "Exportpfad nicht gefunden: " + folder;
  const FileStatus gpx = exportSynopGpx(folder, store, utcNow);
  if (!result.complete()) return result.firstError;
  return gpx ? std::string() : "SYNOP/synop.gpx nicht geschrieben: " + gpx.message;
}

}  // namespace tern
