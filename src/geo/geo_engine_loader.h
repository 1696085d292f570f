// Opens the map module (geo/geo_engine.h) on first use. A program that never places or
// writes a chart never loads it, nor GDAL and PROJ behind it.
#pragma once

#include <string>

#include "geo/geo_engine.h"

namespace tern {

struct GeoEngineLoad {
  const GeoEngine* engine = nullptr;  // never unloaded once opened
  std::string error;                  // German, when engine is nullptr
};

// Opens the module at `path`: not there, not loadable, or of another build is an error.
GeoEngineLoad LoadGeoEngine(const std::string& path);

// The module beside the running executable (resolved from /proc/self/exe, so neither the
// current folder nor the environment can slip in another one): the build's bin/, tests/
// and bench/ folders, or the installed program folder. Opened once per process.
// Thread: any.
const GeoEngineLoad& SharedGeoEngine();

}  // namespace tern
