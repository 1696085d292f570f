#include "assembly/session_options.h"

#include "common/folders.h"

namespace tern {

std::string dataFolderOf(const SessionOptions& options) {
  return chosenDataFolder(options.dataFolderOverride, options.simulate, options.userDataFolder,
                          programFolderOf(options));
}

std::string programFolderOf(const SessionOptions& options) {
  return withTrailingSlash(options.programFolder);
}

}  // namespace tern
