#include <iostream>

#include "cli/commands.h"

namespace tern::cli {

int cmdVersion(const Words&) {
  std::cout << "tern-cli " << TERN_VERSION << '\n';
  return 0;
}

}  // namespace tern::cli
