#include "geo/geo_engine_loader.h"

#include "common/program_module.h"

namespace tern {

GeoEngineLoad LoadGeoEngine(const std::string& path) {
  const OpenedModule opened = OpenProgramModule(path, kGeoEngineEntry, kGeoEngineVersion);
  GeoEngineLoad load;
  load.engine = static_cast<const GeoEngine*>(opened.object);
  switch (opened.problem) {
    case ModuleProblem::None:
      break;
    case ModuleProblem::Missing:
      load.error =
          "Die Kartenfunktionen (GeoTIFF, MBTiles, Kalibrierung) sind nicht installiert: " +
          (path.empty() ? std::string(kGeoModuleName) : path) + " fehlt.";
      break;
    case ModuleProblem::NotLoadable:
      load.error = "Die Kartenfunktionen lassen sich nicht laden (" + path + "): " + opened.reason;
      break;
    case ModuleProblem::OtherBuild:
      load.error = "Die Kartenfunktionen in " + path +
                   " gehören zu einer anderen Programmversion; bitte TERN neu installieren.";
      break;
  }
  return load;
}

const GeoEngineLoad& SharedGeoEngine() {
  // Loaded once; a missing module is not looked for again until the program restarts.
  static const GeoEngineLoad load = LoadGeoEngine(ModuleBesideExecutable(kGeoModuleName));
  return load;
}

}  // namespace tern
