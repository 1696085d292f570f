#include "common/process_holders.h"

#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace tern {

namespace fs = std::filesystem;

namespace {

// A numeric /proc entry's pid, or 0.
int pidOf(const std::string& name) {
  auto digit = [](unsigned char c) { return std::isdigit(c) != 0; };
  if (name.empty() || !std::all_of(name.begin(), name.end(), digit)) return 0;
  try {
    return std::stoi(name);
  } catch (...) {
    return 0;
  }
}

}  // namespace

std::string describeProcess(const ProcessRef& process) {
  std::string pid = "PID " + std::to_string(process.pid);
  return process.name.empty() ? pid : process.name + " (" + pid + ")";
}

std::string processName(int pid, const std::string& procRoot) {
  std::ifstream in(procRoot + "/" + std::to_string(pid) + "/comm");
  std::string name;
  std::getline(in, name);
  return name;
}

std::vector<ProcessRef> processesHolding(const std::string& path, const std::string& procRoot) {
  std::vector<ProcessRef> out;
  std::error_code ec;
  const fs::path wanted = fs::canonical(path, ec);
  if (ec) return out;
  const int self = static_cast<int>(::getpid());
  for (fs::directory_iterator it(procRoot, ec), end; !ec && it != end; it.increment(ec)) {
    const int pid = pidOf(it->path().filename().string());
    if (pid == 0 || pid == self) continue;
    std::error_code fdError;
    for (fs::directory_iterator fd(it->path() / "fd", fdError), fdEnd; !fdError && fd != fdEnd;
         fd.increment(fdError)) {
      std::error_code linkError;
      if (fs::read_symlink(fd->path(), linkError) == wanted && !linkError) {
        out.push_back({pid, processName(pid, procRoot)});
        break;
      }
    }
  }
  std::sort(out.begin(), out.end(),
            [](const ProcessRef& a, const ProcessRef& b) { return a.pid < b.pid; });
  return out;
}

std::optional<ProcessRef> flockHolder(const std::string& path, const std::string& procRoot) {
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0) return std::nullopt;
  char id[64];
  std::snprintf(id, sizeof id, "%02x:%02x:%lu", major(st.st_dev), minor(st.st_dev),
                static_cast<unsigned long>(st.st_ino));
  // "1: FLOCK  ADVISORY  WRITE 1234 08:01:5678 0 EOF"; waiters carry "->" before the kind.
  std::ifstream locks(procRoot + "/locks");
  for (std::string line; std::getline(locks, line);) {
    std::istringstream fields(line);
    std::string number, kind, mode, access, file;
    int pid = 0;
    if (!(fields >> number >> kind) || kind != "FLOCK") continue;
    if (!(fields >> mode >> access >> pid >> file) || file != id) continue;
    return ProcessRef{pid, processName(pid, procRoot)};
  }
  return std::nullopt;
}

}  // namespace tern
