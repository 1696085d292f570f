// Arbitrary bytes as a sea weather report or warnings bulletin, with and without a heading
// and a reception time: no input may make the reader step outside the text or crash, and
// every area it yields has an own text cut from the input.
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "seaweather/sea_bulletin.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const tern::seaweather::SeaBulletin plain = tern::seaweather::readSeaBulletin(text);
  const tern::seaweather::SeaBulletin dated =
      tern::seaweather::readSeaBulletin(text, "FQEN50", tern::CivilTime{2026, 1, 1, 0, 0, 0, 0});
  // The same text gives the same entries, whatever the heading and the time.
  if (plain.areas.size() != dated.areas.size() || plain.warnings.size() != dated.warnings.size())
    std::abort();
  for (const auto& e : plain.areas)
    if (e.text.size() > 4 * size) std::abort();
  return 0;
}
