#include "geo/geo_engine_loader.h"

#include "common/program_module.h"

namespace tern {

GeoEngineLoad LoadGeoEngine(const std::string& path) {
  const OpenedModule opened = OpenProgramModule(path, kGeoEngineEntry, kGeoEngineVersion);
  GeoEngineLoad load;
  load.engine = static_cast<const GeoEngine*>(opened.object);
  load.error =
      ModuleProblemText(opened, path, kGeoModuleName,
                        {"Die Kartenfunktionen", true, " (GeoTIFF, MBTiles, Kalibrierung)"});
  return load;
}

const GeoEngineLoad& SharedGeoEngine() {
  // Loaded once; a missing module is not looked for again until the program restarts.
  static const GeoEngineLoad load = LoadGeoEngine(ModuleBesideExecutable(kGeoModuleName));
  return load;
}

}  // namespace tern
