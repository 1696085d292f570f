#include "web/web_module.h"

#include "common/program_module.h"

namespace tern {

WebModuleLoad LoadWebModule(const std::string& path) {
  const OpenedModule opened = OpenProgramModule(path, kHttpHostEntry, kHttpHostVersion);
  WebModuleLoad load;
  load.factory = static_cast<const HttpHostFactory*>(opened.object);
  switch (opened.problem) {
    case ModuleProblem::None:
      break;
    case ModuleProblem::Missing:
      load.error = "Die Web-Seite ist nicht installiert: " +
                   (path.empty() ? std::string(kWebModuleName) : path) + " fehlt.";
      break;
    case ModuleProblem::NotLoadable:
      load.error = "Die Web-Seite lässt sich nicht laden (" + path + "): " + opened.reason;
      break;
    case ModuleProblem::OtherBuild:
      load.error = "Die Web-Seite in " + path +
                   " gehört zu einer anderen Programmversion; bitte TERN neu installieren.";
      break;
  }
  return load;
}

const WebModuleLoad& SharedWebModule() {
  static const WebModuleLoad load = LoadWebModule(ModuleBesideExecutable(kWebModuleName));
  return load;
}

}  // namespace tern
