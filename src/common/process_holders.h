// Who has a file open. The receiver's device nodes and the data folder's lock are held by
// processes the user may not know about (another TERN, a terminal program, a modem manager);
// naming them turns "cannot open" into something the user can act on. Only processes whose
// /proc entries this user may read are seen.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace tern {

struct ProcessRef {
  int pid = 0;
  std::string name;  // the command name, empty when unknown
};

// "minicom (PID 1234)".
std::string describeProcess(const ProcessRef& process);

// The command name of a process, empty when it cannot be read.
std::string processName(int pid, const std::string& procRoot = "/proc");

// Processes other than this one with `path` open (compared after resolving links), in pid
// order. Reads only the links in /proc/<pid>/fd, so a file on a hung mount cannot block it.
std::vector<ProcessRef> processesHolding(const std::string& path,
                                         const std::string& procRoot = "/proc");

// The process that holds an flock(2) on `path` (from /proc/locks), if any.
std::optional<ProcessRef> flockHolder(const std::string& path,
                                      const std::string& procRoot = "/proc");

}  // namespace tern
