// Runs code on the portable or the baseline paths (common/cpu_features.h) and hands back its
// result, so a test can compare it with the same code on the paths this processor picks.
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

// The same on the build's baseline (SSE2 on x86-64, nothing beyond it).
template <class Run>
auto onBaselinePaths(Run&& run) {
  struct Restore {
    bool was;
    ~Restore() { ForceBaselinePaths(was); }
  } restore{BaselinePathsForced()};
  ForceBaselinePaths(true);
  return run();
}

}  // namespace tern::testing
