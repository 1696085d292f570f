// Opens the web module (web/http_host.h) when a page is first offered. A program that never
// serves the page never loads it, nor GnuTLS behind the HTTP library.
#pragma once

#include <string>

#include "web/http_host.h"

namespace tern {

struct WebModuleLoad {
  const HttpHostFactory* factory = nullptr;  // never unloaded once opened
  std::string error;                         // German, when factory is nullptr
};

// Opens the module at `path`: not there, not loadable, or of another build is an error.
WebModuleLoad LoadWebModule(const std::string& path);

// The module beside the running executable, opened once per process. Thread: any.
const WebModuleLoad& SharedWebModule();

}  // namespace tern
