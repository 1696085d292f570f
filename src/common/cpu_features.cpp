#include "common/cpu_features.h"

#if defined(__x86_64__) || defined(__i386__)
#include <cpuid.h>
#define TERN_CPU_X86 1
#endif

namespace tern {

std::atomic<bool> detail::portablePathsForced{false};

namespace {

struct Features {
  bool avx2 = false;
  bool shaNi = false;
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
  // Three questions in all: the highest leaf, leaf 1 and leaf 7.
  const unsigned highest = __get_cpuid_max(0, nullptr);
  if (highest < 7) return f;
  unsigned a = 0, b = 0, c = 0, d = 0;
  __cpuid(1, a, b, c, d);
  const bool ssse3 = (c & bit_SSSE3) != 0;
  const bool sse41 = (c & bit_SSE4_1) != 0;
  const bool osxsave = (c & bit_OSXSAVE) != 0;
  const bool avx = (c & bit_AVX) != 0;
  // Both the SSE and the AVX halves of the registers must survive a task switch.
  const bool ymmSaved = osxsave && (savedRegisterState() & 0x6) == 0x6;
  __cpuid_count(7, 0, a, b, c, d);
  f.avx2 = avx && ymmSaved && (b & bit_AVX2) != 0;
  f.shaNi = ssse3 && sse41 && (b & bit_SHA) != 0;
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

bool ProcessorHasAvx2() { return !PortablePathsForced() && features().avx2; }
bool ProcessorHasShaNi() { return !PortablePathsForced() && features().shaNi; }

void ForcePortablePaths(bool force) {
  detail::portablePathsForced.store(force, std::memory_order_relaxed);
}

bool PortablePathsForced() { return detail::portablePathsForced.load(std::memory_order_relaxed); }

}  // namespace tern
