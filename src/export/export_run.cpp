#include "export/export_run.h"

#include <cerrno>

#include "common/folders.h"
#include "synop/synop_gpx.h"

namespace tern {

FileStatus ExportSynopGpx(const std::string& folder, const MessageStore& store,
                          const CivilTime& utcNow) {
  const std::string subfolder = withTrailingSlash(folder) + kSynopExportFolder + "/";
  if (!makeFolder(subfolder)) return FileStatus::failure(errno, "Ordner " + subfolder);
  const std::string gpx = synopGpxOfStore(store, utcNow);
  // Renamed into place like the mirror's files and, like them, not flushed: it is made anew
  // by every export, and a flush here would wait for the disk to take the whole mirror.
  return replaceFileUnflushed(
      subfolder + kSynopExportName,
      ByteView(reinterpret_cast<const std::uint8_t*>(gpx.data()), gpx.size()));
}

std::string RunExport(const std::string& folder, const MessageStore& store,
                      const ExportInput& input, const CivilTime& utcNow, ExportOutcome* outcome) {
  ExportOutcome result = Export(folder, store, input);
  std::string failure;
  if (!result.folderFound) {
    failure = "Exportpfad nicht gefunden: " + folder;
  } else {
    // The waypoints are a file of the export like the mirror's: counted with them, written
    // or failed.
    const FileStatus gpx = ExportSynopGpx(folder, store, utcNow);
    if (gpx)
      ++result.written;
    else if (result.failed++ == 0)
      result.firstError = std::string(kSynopExportFolder) + "/" + kSynopExportName +
                          " nicht geschrieben: " + gpx.message;
    if (!result.complete()) failure = result.firstError;
  }
  if (outcome != nullptr) *outcome = result;
  return failure;
}

}  // namespace tern
