#include "common/program_module.h"

#include <dlfcn.h>
#include <unistd.h>

#include <array>

namespace tern {

OpenedModule OpenProgramModule(const std::string& path, const char* entry, int version) {
  OpenedModule opened;
  if (path.empty() || ::access(path.c_str(), F_OK) != 0) return opened;
  // RTLD_LOCAL: the module's libraries keep their symbols to themselves. Lazy binding as at
  // a program's start: binding a hundred libraries at once costs the first use noticeably
  // more, and the module was linked against these very libraries (the package depends on
  // them). The handle is kept for the process's life: libraries like GDAL and GnuTLS do not
  // expect to be unloaded.
  void* handle = ::dlopen(path.c_str(), RTLD_LAZY | RTLD_LOCAL);
  if (handle == nullptr) {
    const char* reason = ::dlerror();
    opened.problem = ModuleProblem::NotLoadable;
    opened.reason = reason != nullptr ? reason : "unbekannter Fehler";
    return opened;
  }
  using Entry = const void* (*)(int);
  auto function = reinterpret_cast<Entry>(::dlsym(handle, entry));
  opened.object = function != nullptr ? function(version) : nullptr;
  if (opened.object == nullptr) {
    ::dlclose(handle);
    opened.problem = ModuleProblem::OtherBuild;
    return opened;
  }
  opened.problem = ModuleProblem::None;
  return opened;
}

std::string ModuleProblemText(const OpenedModule& opened, const std::string& path,
                              const std::string& fileName, const ModuleWording& wording) {
  const std::string subject = wording.subject;
  switch (opened.problem) {
    case ModuleProblem::None:
      break;
    case ModuleProblem::Missing:
      return subject + wording.offers + (wording.plural ? " sind" : " ist") +
             " nicht installiert: " + (path.empty() ? fileName : path) + " fehlt.";
    case ModuleProblem::NotLoadable:
      return subject + (wording.plural ? " lassen" : " lässt") + " sich nicht laden (" + path +
             "): " + opened.reason;
    case ModuleProblem::OtherBuild:
      return subject + " in " + path + (wording.plural ? " gehören" : " gehört") +
             " zu einer anderen Programmversion; bitte TERN neu installieren.";
  }
  return {};
}

std::string ModuleBesideExecutable(const std::string& name) {
  std::array<char, 4096> buffer{};
  const ssize_t n = ::readlink("/proc/self/exe", buffer.data(), buffer.size() - 1);
  if (n <= 0) return {};
  const std::string exe(buffer.data(), static_cast<std::size_t>(n));
  const std::size_t slash = exe.find_last_of('/');
  if (slash == std::string::npos) return {};
  return exe.substr(0, slash + 1) + name;
}

}  // namespace tern
