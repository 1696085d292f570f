// The calibrations the program keeps, in the same text form the user can write by hand: one
// file per fax station and schedule row, in a folder beside the settings file,
// "fax_calibration/<station>/<row>.txt". The settings file and the block sent to the
// receiver stay as they are.
#pragma once

#include <optional>
#include <string>

#include "geo/calibration.h"

namespace tern {

inline constexpr const char* kCalibrationFolderName = "fax_calibration";

struct CalibrationLoad {
  std::optional<Calibration> calibration;  // none: not calibrated, or the file is unusable
  std::string error;                       // German, when a file is there but unusable
};

// Thread: any; a save replaces its file atomically, so a reader sees the old or the new one.
class CalibrationStore {
 public:
  // `dataFolder` holds the settings file; the calibrations go into its "fax_calibration".
  explicit CalibrationStore(std::string dataFolder);

  // `station` and `row` name folder and file ("DWD", "ASXX40"); characters that do not
  // belong in a file name become '_'.
  std::string PathOf(const std::string& station, const std::string& row) const;
  CalibrationLoad Load(const std::string& station, const std::string& row) const;
  // Writes the calibration after FitChart accepted it; otherwise nothing is written and its
  // German refusal is returned. Empty when saved.
  std::string Save(const std::string& station, const std::string& row,
                   const Calibration& calibration) const;
  // Empty when removed or not there.
  std::string Remove(const std::string& station, const std::string& row) const;

 private:
  std::string folder_;
};

}  // namespace tern
