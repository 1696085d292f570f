// Arbitrary bytes as a ship bulletin of either store and as both coastal bulletins, decoded
// directly and through a whole rebuild (which writes the lines of the kept reports in a
// second pass), twice: no input may make the decoder read outside a word or crash.
#include <cstdint>
#include <string>
#include <string_view>

#include "synop/synop_decoder.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string_view text(reinterpret_cast<const char*>(data), size);
  tern::TSynopDecoder decoder;
  decoder.DecodeShipText(text, tern::DwdStore::German);
  decoder.DecodeShipText(text, tern::DwdStore::English);
  decoder.ParseCoastalText(text, tern::kNorthSeaHeading);
  decoder.ParseCoastalText(text, tern::kMediterraneanHeading);
  decoder.FilterReports();

  tern::MemoryBulletinSource source;
  source.put(tern::DwdStore::German, "SMVX41", 0, std::string(text));
  source.put(tern::DwdStore::German, "SMVX41", 1, std::string(text.substr(size / 2)));
  source.put(tern::DwdStore::English, "SIVX41", 0, std::string(text));
  source.put(tern::DwdStore::German, "SXEN40", 0, std::string(text));
  decoder.RebuildReports(source);
  // Again from less text: the decoder writes into the storage of the rebuild before.
  tern::MemoryBulletinSource less;
  less.put(tern::DwdStore::English, "SMVX41", 1, std::string(text.substr(size / 3)));
  decoder.RebuildReports(less);
  return 0;
}
