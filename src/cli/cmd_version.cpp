#include <iostream>

#include "cli/cli_args.h"
#include "cli/commands.h"
#include "common/version.h"

namespace tern::cli {

int cmdVersion(const Words& words) {
  if (!words.empty()) return fail("Unerwartetes Argument " + words.front());
  std::cout << "tern-cli " << kProgramVersion << '\n';
  return 0;
}

}  // namespace tern::cli
