// What a fuzz target asserts about the reader it feeds: a broken promise stops the run like a
// crash, so libFuzzer keeps the input (and the replay in the test run fails on it).
#pragma once

#include <cstdlib>

namespace tern {

inline void check(bool condition) {
  if (!condition) std::abort();
}

}  // namespace tern
