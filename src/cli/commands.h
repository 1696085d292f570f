// The commands of tern-cli. Each takes the words after the command name and returns the
// process exit status: 0 on success, non-zero with one clear message on stderr otherwise.
#pragma once

#include <string>
#include <vector>

namespace tern::cli {

using Words = std::vector<std::string>;

int cmdVersion(const Words& words);
int cmdInfo(const Words& words);
int cmdPayload(const Words& words);
int cmdSchedules(const Words& words);
int cmdSynop(const Words& words);
int cmdSeewetter(const Words& words);
int cmdReadout(const Words& words);
int cmdDump(const Words& words);
int cmdFax(const Words& words);
int cmdUpdate(const Words& words);
int cmdReceiveTest(const Words& words);
int cmdExport(const Words& words);
int cmdWatch(const Words& words);
int cmdDoctor(const Words& words);

}  // namespace tern::cli
