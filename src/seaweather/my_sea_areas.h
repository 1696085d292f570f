// The sea areas the user sails in, kept as "seegebiete.txt" in the data folder: a comment
// and one line "areas=deutsche-bucht,westliche-ostsee". The window's configuration page and
// the service read the same file; warnings for these areas alert, and their forecasts head
// the lists.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "common/file_io.h"

namespace tern::seaweather {

inline constexpr std::string_view kMySeaAreasFile = "seegebiete.txt";

struct MySeaAreas {
  std::vector<std::string> ids;  // known area ids, in the order of seaAreas(), each once
  bool contains(std::string_view id) const;
  bool operator==(const MySeaAreas&) const = default;
};

std::string formatMySeaAreas(const MySeaAreas& areas);

struct MySeaAreasFile {
  MySeaAreas areas;
  std::string problem;  // German, "" when the file was missing or read whole
};
// An unknown id or a line that is not "areas=..." is left out and reported; the rest holds.
MySeaAreasFile parseMySeaAreas(std::string_view text);

// From the data folder (ending with '/'); a missing file: no areas.
MySeaAreasFile LoadMySeaAreas(const std::string& dataFolder);
FileStatus SaveMySeaAreas(const std::string& dataFolder, const MySeaAreas& areas);

}  // namespace tern::seaweather
