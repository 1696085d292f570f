#include "geo/calibration_store.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "common/file_io.h"
#include "geo/chart_fit.h"

namespace tern {

namespace {

// A calibration is a few lines; anything larger is not one.
constexpr std::size_t kMaxCalibrationBytes = 64 * 1024;

std::string safeName(const std::string& text) {
  std::string name = text.empty() ? "_" : text;
  for (char& c : name) {
    const bool keep = (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') ||
                      c == '-' || c == '_';
    if (!keep) c = '_';
  }
  return name;
}

}  // namespace

CalibrationStore::CalibrationStore(std::string dataFolder) : folder_(std::move(dataFolder)) {
  if (folder_.empty() || folder_.back() != '/') folder_ += '/';
  folder_ += kCalibrationFolderName;
}

std::string CalibrationStore::PathOf(const std::string& station, const std::string& row) const {
  return folder_ + "/" + safeName(station) + "/" + safeName(row) + ".txt";
}

CalibrationLoad CalibrationStore::Load(const std::string& station, const std::string& row) const {
  const std::string path = PathOf(station, row);
  if (!fileExists(path)) return {};
  FileData data = readWholeFile(path, kMaxCalibrationBytes);
  if (!data.status)
    return {std::nullopt, "Die Kalibrierung " + path + " kann nicht gelesen werden."};
  CalibrationParse parsed = ParseCalibration(
      std::string_view(reinterpret_cast<const char*>(data.bytes.data()), data.bytes.size()));
  if (!parsed.calibration) return {std::nullopt, "Kalibrierung " + path + ": " + parsed.error};
  return {parsed.calibration, {}};
}

std::string CalibrationStore::Save(const std::string& station, const std::string& row,
                                   const Calibration& calibration) const {
  if (ChartFit fit = FitChart(calibration); !fit.ok()) return fit.error;
  const std::string stationFolder = folder_ + "/" + safeName(station);
  if (!makeFolder(folder_) || !makeFolder(stationFolder))
    return "Der Ordner " + stationFolder + " kann nicht angelegt werden: " + std::strerror(errno);
  const std::string text = FormatCalibration(calibration);
  FileStatus status = replaceFileAtomically(
      PathOf(station, row),
      ByteView(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()));
  if (!status)
    return "Die Kalibrierung kann nicht gespeichert werden: " + status.message + " (" +
           std::strerror(status.error) + ")";
  return {};
}

std::string CalibrationStore::Remove(const std::string& station, const std::string& row) const {
  const std::string path = PathOf(station, row);
  if (std::remove(path.c_str()) != 0 && errno != ENOENT)
    return "Die Kalibrierung " + path + " kann nicht entfernt werden: " + std::strerror(errno);
  return {};
}

}  // namespace tern
