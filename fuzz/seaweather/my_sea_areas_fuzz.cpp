// Arbitrary bytes as "seegebiete.txt", the user's sea areas. Only known areas are kept, each
// once, and what was read writes back to a text that reads the same without a complaint.
#include <cstdint>
#include <cstdlib>
#include <set>
#include <string_view>

#include "fuzz_check.h"
#include "seaweather/my_sea_areas.h"
#include "seaweather/sea_areas.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace tern::seaweather;
  using tern::check;
  const MySeaAreasFile file =
      parseMySeaAreas(std::string_view(reinterpret_cast<const char*>(data), size));
  const std::set<std::string> distinct(file.areas.ids.begin(), file.areas.ids.end());
  check(distinct.size() == file.areas.ids.size() && file.areas.ids.size() <= seaAreas().size());
  for (const std::string& id : file.areas.ids) check(areaById(id) != nullptr);
  const MySeaAreasFile again = parseMySeaAreas(formatMySeaAreas(file.areas));
  check(again.problem.empty() && again.areas == file.areas);
  return 0;
}
