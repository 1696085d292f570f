#include "common/folders.h"

#include <unistd.h>

#include <climits>

#include "common/file_io.h"

namespace tern {

std::string withTrailingSlash(std::string path) {
  if (path.empty() || path.back() != '/') path.push_back('/');
  return path;
}

std::optional<std::string> userDataFolder(const char* xdgDataHome, const char* home) {
  if (xdgDataHome != nullptr && xdgDataHome[0] == '/') return withTrailingSlash(xdgDataHome);
  if (home != nullptr && home[0] == '/') return withTrailingSlash(home) + ".local/share/";
  return std::nullopt;
}

std::string dataFolderFor(const std::optional<std::string>& userData,
                          const std::string& programFolder) {
  if (!userData) return withTrailingSlash(programFolder);
  return withTrailingSlash(*userData) + "TERN/";
}

std::string chosenDataFolder(const std::optional<std::string>& chosen, bool simulate,
                             const std::optional<std::string>& userData,
                             const std::string& programFolder) {
  if (chosen) return withTrailingSlash(*chosen);
  if (simulate && userData) return withTrailingSlash(*userData) + "TERN-Simulation/";
  return dataFolderFor(userData, programFolder);
}

std::string executableFolder() {
  char buffer[PATH_MAX];
  ssize_t n = ::readlink("/proc/self/exe", buffer, sizeof buffer - 1);
  if (n <= 0) return "./";
  std::string path(buffer, static_cast<std::size_t>(n));
  auto slash = path.rfind('/');
  return slash == std::string::npos ? std::string("./") : path.substr(0, slash + 1);
}

bool makeFolders(const std::string& path) {
  if (path.empty()) return false;
  if (isDirectory(path)) return true;
  for (std::size_t pos = path.find('/', 1); pos != std::string::npos;
       pos = path.find('/', pos + 1)) {
    makeFolder(path.substr(0, pos));
  }
  return makeFolder(path) || isDirectory(path);
}

}  // namespace tern
