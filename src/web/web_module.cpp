#include "web/web_module.h"

#include "common/program_module.h"

namespace tern {

WebModuleLoad LoadWebModule(const std::string& path) {
  const OpenedModule opened = OpenProgramModule(path, kHttpHostEntry, kHttpHostVersion);
  WebModuleLoad load;
  load.factory = static_cast<const HttpHostFactory*>(opened.object);
  load.error = ModuleProblemText(opened, path, kWebModuleName, {"Die Web-Seite"});
  return load;
}

const WebModuleLoad& SharedWebModule() {
  static const WebModuleLoad load = LoadWebModule(ModuleBesideExecutable(kWebModuleName));
  return load;
}

}  // namespace tern
