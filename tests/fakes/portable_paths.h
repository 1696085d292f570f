// Runs code on the portable or the baseline paths (common/cpu_features.h) and hands back its
// result, so a test can compare it with the same code on the paths this processor picks.
#pragma once

#include <utility>

#include "common/cpu_features.h"

namespace tern::testing {

// Runs `run` with one of the switches on and puts it back as it was.
template <class Run>
auto withPathsForced(void (*force)(bool), bool (*forced)(), Run&& run) {
  struct Restore {
    void (*force)(bool);
    bool was;
    ~Restore() { force(was); }
  } restore{force, forced()};
  force(true);
  return run();
}

template <class Run>
auto onPortablePaths(Run&& run) {
  return withPathsForced(ForcePortablePaths, PortablePathsForced, std::forward<Run>(run));
}

// The same on the build's baseline (SSE2 on x86-64, nothing beyond it).
template <class Run>
auto onBaselinePaths(Run&& run) {
  return withPathsForced(ForceBaselinePaths, BaselinePathsForced, std::forward<Run>(run));
}

}  // namespace tern::testing
