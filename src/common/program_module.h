// Parts of the programs that bring heavy libraries (GDAL and PROJ for the charts, the HTTP
// library with GnuTLS for the web page) live in modules beside the executables and are
// opened on first use, so a start pays only for what it uses. This opens such a module and
// asks its one entry for the object it offers.
//
// Modules and programs are built from one tree by one compiler, so C++ types pass between
// them; the version number given to the entry keeps a module of another build from being
// used.
#pragma once

#include <string>

namespace tern {

enum class ModuleProblem {
  None,
  Missing,      // no file at the path
  NotLoadable,  // the dynamic loader refused it (`reason` says why)
  OtherBuild,   // no entry, or the entry does not know `version`
};

struct OpenedModule {
  const void* object = nullptr;  // what the entry returned; the module is never unloaded
  ModuleProblem problem = ModuleProblem::Missing;
  std::string reason;  // the loader's words for NotLoadable
};

// Opens the module at `path` and calls its `entry`, a `const T* entry(int version)` that
// answers nullptr for a version not its own.
OpenedModule OpenProgramModule(const std::string& path, const char* entry, int version);

// How a module is named in its German messages: the subject with the verbs agreeing with it
// ("Die Web-Seite ist ...", "Die Kartenfunktionen sind ..."), and what it brings, said only
// where it is missing.
struct ModuleWording {
  const char* subject;
  bool plural = false;
  const char* offers = "";  // e.g. " (GeoTIFF, MBTiles, Kalibrierung)"
};

// Why the module `fileName` at `path` could not be used, in German; empty when it could.
std::string ModuleProblemText(const OpenedModule& opened, const std::string& path,
                              const std::string& fileName, const ModuleWording& wording);

// The module `name` beside the running executable, resolved from /proc/self/exe, so neither
// the current folder nor the environment can slip in another one: the build's bin/, tests/
// and bench/ folders, or the installed program folder. Empty when it cannot be told.
std::string ModuleBesideExecutable(const std::string& name);

}  // namespace tern
