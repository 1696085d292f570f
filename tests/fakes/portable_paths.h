// Runs code on the portable paths (common/cpu_features.h) and hands back its result, so a
// test can compare it with the same code on the paths this processor picks.
#pragma once

#include "common/cpu_features.h"

namespace tern::testing {

template <class Run>
auto onPortablePaths(Run&& run) {
  struct Restore {
    bool was;
    ~Restore() { ForcePortablePaths(was); }
  } restore{PortablePathsForced()};
  ForcePortablePaths(true);
  return run();
}

}  // namespace tern::testing
