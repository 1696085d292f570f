// What the processor offers beyond the build's baseline, asked once, on first use. The
// compiler's own check (__builtin_cpu_supports) would link a constructor that asks the
// processor at every start of every program; under a hypervisor each question (cpuid) costs
// several microseconds, and most starts never turn a chart or hash a message.
//
// Every piece with processor-specific code (SHA-256, the fax turn, BMP packing, the fax
// decoder's unpacking and stores, the JSON escape scan) asks here before it takes its vector
// path, so one switch sends them all down the portable code an arm64 build runs: the tests
// compare both paths on the same inputs on x86-64.
#pragma once

#include <atomic>

namespace tern {

namespace detail {
extern std::atomic<bool> portablePathsForced;
}  // namespace detail

// Thread: any; the first call answers for every later one, except that ForcePortablePaths
// turns every answer off while it is on, and ForceBaselinePaths every answer but SSE2.
bool ProcessorHasAvx2();   // AVX2, with the system saving the 256-bit registers
bool ProcessorHasShaNi();  // the SHA extensions, with SSSE3 and SSE4.1 beside them
// BMI2's bit extraction (pext) in a single step: BMI2, on any design but AMD's before family
// 19h, which take it in microcode.
bool ProcessorHasFastPext();

// SSE2, the baseline of every x86-64 build: true there unless the portable paths are
// forced, false on a build for any other processor. Inline, as the JSON writer asks it for
// every string.
inline bool ProcessorHasSse2() {
#if defined(__SSE2__)
  return !detail::portablePathsForced.load(std::memory_order_relaxed);
#else
  return false;
#endif
}

// Sends every processor-specific piece down its portable path (`force` true) or back to the
// best one the processor allows. Takes effect at the next call of each piece; a call already
// running finishes on the path it took.
void ForcePortablePaths(bool force);
bool PortablePathsForced();

// Keeps every piece to the build's baseline (`force` true): SSE2 on x86-64, nothing beyond
// it, as on an x86-64 processor without AVX2; the tests compare that middle path too.
void ForceBaselinePaths(bool force);
bool BaselinePathsForced();

}  // namespace tern
