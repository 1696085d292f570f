#include "geo/geo_engine_loader.h"

#include <dlfcn.h>
#include <unistd.h>

#include <array>

namespace tern {

namespace {

using Entry = const GeoEngine* (*)(int version);

std::string moduleBesideExecutable() {
  std::array<char, 4096> buffer{};
  const ssize_t n = ::readlink("/proc/self/exe", buffer.data(), buffer.size() - 1);
  if (n <= 0) return {};
  const std::string exe(buffer.data(), static_cast<std::size_t>(n));
  const std::size_t slash = exe.find_last_of('/');
  if (slash == std::string::npos) return {};
  return exe.substr(0, slash + 1) + kGeoModuleName;
}

}  // namespace

GeoEngineLoad LoadGeoEngine(const std::string& path) {
  GeoEngineLoad load;
  if (path.empty() || ::access(path.c_str(), F_OK) != 0) {
    load.error = "Die Kartenfunktionen (GeoTIFF, MBTiles, Kalibrierung) sind nicht installiert: " +
                 (path.empty() ? std::string(kGeoModuleName) : path) + " fehlt.";
    return load;
  }
  // RTLD_LOCAL: GDAL's symbols stay the module's. Lazy binding as at a program's start:
  // binding all of GDAL's hundred libraries at once costs the first chart noticeably more,
  // and the module was linked against these very libraries (the package depends on them).
  // The handle is kept for the process's life: GDAL does not expect to be unloaded.
  void* handle = ::dlopen(path.c_str(), RTLD_LAZY | RTLD_LOCAL);
  if (handle == nullptr) {
    const char* reason = ::dlerror();
    load.error = "Die Kartenfunktionen lassen sich nicht laden (" + path +
                 "): " + (reason != nullptr ? reason : "unbekannter Fehler");
    return load;
  }
  auto entry = reinterpret_cast<Entry>(::dlsym(handle, kGeoEngineEntry));
  load.engine = entry != nullptr ? entry(kGeoEngineVersion) : nullptr;
  if (load.engine == nullptr) {
    ::dlclose(handle);
    load.error = "Die Kartenfunktionen in " + path +
                 " gehören zu einer anderen Programmversion; bitte TERN neu installieren.";
  }
  return load;
}

const GeoEngineLoad& SharedGeoEngine() {
  // Loaded once; a missing module is not looked for again until the program restarts.
  static const GeoEngineLoad load = LoadGeoEngine(moduleBesideExecutable());
  return load;
}

}  // namespace tern
