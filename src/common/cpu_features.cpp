#include "common/cpu_features.h"

#if defined(__x86_64__) || defined(__i386__)
#include <cpuid.h>
#define TERN_CPU_X86 1
#endif

namespace tern {

std::atomic<bool> detail::portablePathsForced{false};

namespace {

std::atomic<bool> baselinePathsForced{false};

// Whether a feature beyond the baseline may be used at all.
bool beyondBaseline() { return !PortablePathsForced() && !BaselinePathsForced(); }

struct Features {
  bool avx2 = false;
  bool shaNi = false;
  bool fastPext = false;
};

#ifdef TERN_CPU_X86
// The register state the system saves on a task switch (XCR0); only asked when the processor
// says the system set OSXSAVE.
unsigned long long savedRegisterState() {
  unsigned low = 0, high = 0;
  __asm__ volatile("xgetbv" : "=a"(low), "=d"(high) : "c"(0));
  return (static_cast<unsigned long long>(high) << 32) | low;
}

Features ask() {
  Features f;
  // Three questions in all: the highest leaf with the maker's name, leaf 1 and leaf 7.
  unsigned a = 0, b = 0, c = 0, d = 0;
  __cpuid(0, a, b, c, d);
  if (a < 7) return f;
  // "AuthenticAMD" and "HygonGenuine" as the registers hold them.
  const bool amdDesign = (b == 0x68747541 && d == 0x69746e65 && c == 0x444d4163) ||
                         (b == 0x6f677948 && d == 0x6e65476e && c == 0x656e6975);
  __cpuid(1, a, b, c, d);
  const unsigned baseFamily = (a >> 8) & 0xF;
  const unsigned family = baseFamily == 0xF ? baseFamily + ((a >> 20) & 0xFF) : baseFamily;
  const bool ssse3 = (c & bit_SSSE3) != 0;
  const bool sse41 = (c & bit_SSE4_1) != 0;
  const bool osxsave = (c & bit_OSXSAVE) != 0;
  const bool avx = (c & bit_AVX) != 0;
  // Both the SSE and the AVX halves of the registers must survive a task switch.
  const bool ymmSaved = osxsave && (savedRegisterState() & 0x6) == 0x6;
  __cpuid_count(7, 0, a, b, c, d);
  f.avx2 = avx && ymmSaved && (b & bit_AVX2) != 0;
  f.shaNi = ssse3 && sse41 && (b & bit_SHA) != 0;
  // Before family 19h, AMD's designs take pext in microcode, hundreds of cycles a word.
  f.fastPext = (b & bit_BMI2) != 0 && !(amdDesign && family < 0x19);
  return f;
}
#else
Features ask() { return {}; }
#endif

const Features& features() {
  static const Features f = ask();
  return f;
}

}  // namespace

bool ProcessorHasAvx2() { return beyondBaseline() && features().avx2; }
bool ProcessorHasShaNi() { return beyondBaseline() && features().shaNi; }
bool ProcessorHasFastPext() { return beyondBaseline() && features().fastPext; }

void ForcePortablePaths(bool force) {
  detail::portablePathsForced.store(force, std::memory_order_relaxed);
}

bool PortablePathsForced() { return detail::portablePathsForced.load(std::memory_order_relaxed); }

void ForceBaselinePaths(bool force) { baselinePathsForced.store(force, std::memory_order_relaxed); }

bool BaselinePathsForced() { return baselinePathsForced.load(std::memory_order_relaxed); }

}  // namespace tern
