#include "export/fax_geo.h"

#include <cstdio>
#include <filesystem>
#include <mutex>
#include <optional>
#include <set>
#include <system_error>

#include "common/file_io.h"
#include "common/sha256.h"
#include "config/schedule_table.h"
#include "presenters/fax_store.h"

namespace tern {

namespace {

namespace fs = std::filesystem;

struct Outcome {
  ExportOutcome& outcome;
  void fail(const std::string& what) {
    if (outcome.failed++ == 0) outcome.firstError = what;
  }
};

// The chart that made a pair of map files, so an unchanged chart is not drawn again.
std::string stampOf(ByteView data, int faxTurn, const Calibration& calibration) {
  const std::string cal = FormatCalibration(calibration);
  return "chart=" + sha256Hex(data).substr(0, 16) + " turn=" + std::to_string(faxTurn) +
         " calibration=" +
         sha256Hex(ByteView(reinterpret_cast<const std::uint8_t*>(cal.data()), cal.size()))
             .substr(0, 16);
}

std::string titleOf(int station, const std::string& row, const CivilTime& t) {
  char when[32];
  std::snprintf(when, sizeof when, " %02d.%02d. %02d:%02d UTC", t.day, t.month, t.hour, t.minute);
  return std::string(faxStation(station).caption) + " " + row + when;
}

// Removes the map files whose names are not in `kept` (rows no longer calibrated, and names
// of an older form), and temporary files a write that was cut short left; other files are
// the user's.
void removeStale(const std::string& folder, const std::set<std::string>& kept, Outcome& out) {
  std::error_code ec;
  std::vector<std::string> ours;
  std::vector<fs::path> stale;
  for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
    const fs::path& p = it->path();
    const std::string extension = p.extension().string();
    if (extension != ".tif" && extension != ".mbtiles") continue;
    ours.push_back(p.filename().string());
    if (kept.count(p.stem().string()) == 0) stale.push_back(p);
  }
  for (const fs::path& p : stale) {
    std::error_code removeError;
    if (!fs::remove(p, removeError) && removeError)
      out.fail(p.string() + " kann nicht entfernt werden: " + removeError.message());
  }
  removeStaleTemporaries(folder, ours);
}

}  // namespace

void ExportFaxGeo(const std::string& folder, const MessageStore& store, const ExportInput& input,
                  ExportOutcome& outcome) {
  if (!input.calibrations) return;
  Outcome out{outcome};
  const std::string geoFolder = folder + "/" + kFaxGeoSubfolder;
  if (isSymbolicLink(geoFolder)) return out.fail(LinkedSubfolderText(geoFolder));
  std::optional<FaxImage> image;  // 12 MB, only when a chart is drawn
  for (int k = 0; k < kFaxStationCount; ++k) {
    const std::string station = FaxStationName(k);
    const std::string stationFolder = geoFolder + "/" + station;
    if (isSymbolicLink(stationFolder)) {
      out.fail(LinkedSubfolderText(stationFolder));
      continue;
    }
    struct Newest {
      std::string row;
      std::uint64_t serial;
    };
    std::vector<Newest> newest;
    {
      std::lock_guard lock(store.mutex());
      const MessageTable& t = store.table(kFirstFaxTable + k);
      for (int row = 0; row < t.rowCount(); ++row) {
        const MessageRecord& r = t.slot(row, 0);
        // A chart the receiver dropped is a white page: no map of it.
        if (r.isEmpty() || r.dataLength() == 0 || (r.flagByte() & kQualityFlagBit) != 0) continue;
        newest.push_back({FaxRowName(r.keyText()), r.serial});
      }
    }
    std::set<std::string> kept;
    for (const Newest& n : newest) {
      const CalibrationLoad load = input.calibrations->Load(station, n.row);
      if (!load.calibration) {
        if (!load.error.empty()) out.fail(load.error);
        continue;
      }
      const ChartFit fit = FitChart(*load.calibration);
      if (!fit.ok()) {
        out.fail(input.calibrations->PathOf(station, n.row) + ": " + fit.error);
        continue;
      }
      Bytes data;
      CivilTime received;
      {
        std::lock_guard lock(store.mutex());
        const MessageRecord* r = store.table(kFirstFaxTable + k).find(n.serial);
        if (r == nullptr) continue;  // aged out by a read-out meanwhile
        data = r->data;
        received = r->receptionTime();
      }
      const int faxTurn = input.faxTurn ? input.faxTurn(k) : 0;
      const std::string stamp = stampOf(data, faxTurn, *load.calibration);
      // The station in the name: rows of two stations may share a name, and chart servers take
      // the file name for the chart's identity.
      const std::string name = station + "_" + n.row;
      const std::string base = stationFolder + "/" + name;
      kept.insert(name);
      if (ReadChartStamp(base + ".tif") == stamp && fileExists(base + ".mbtiles")) continue;
      if (!(isDirectory(geoFolder) || makeFolder(geoFolder)) ||
          !(isDirectory(stationFolder) || makeFolder(stationFolder))) {
        out.fail("Ordner " + stationFolder + " kann nicht angelegt werden");
        continue;
      }
      if (!image) image.emplace();
      const FaxRect rect = image->Decode(data, false, faxTurn);
      const ChartRaster raster = FaxChartRaster(*image, rect, 0);
      if (std::string outside =
              CalibrationOutsideError(*load.calibration, raster.width, raster.height);
          !outside.empty()) {
        out.fail(input.calibrations->PathOf(station, n.row) + ": " + outside);
        kept.erase(name);  // as with a calibration that does not fit: no maps of it
        continue;
      }
      const ChartLabel label{.name = name,
                             .description = titleOf(k, n.row, received),
                             .attribution = faxStation(k).caption,
                             .stamp = stamp};
      const FileStatus written = WriteChartFiles(raster, *fit.georeference, label, base);
      if (written)
        outcome.written += 2;
      else
        out.fail(written.message);
    }
    if (isDirectory(stationFolder)) removeStale(stationFolder, kept, out);
  }
}

}  // namespace tern
