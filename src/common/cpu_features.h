// What the processor offers beyond the build's baseline, asked once, on first use. The
// compiler's own check (__builtin_cpu_supports) would link a constructor that asks the
// processor at every start of every program; under a hypervisor each question (cpuid) costs
// several microseconds, and most starts never turn a chart or hash a message.
#pragma once

namespace tern {

// Thread: any; the first call answers for every later one.
bool ProcessorHasAvx2();   // AVX2, with the system saving the 256-bit registers
bool ProcessorHasShaNi();  // the SHA extensions, with SSSE3 and SSE4.1 beside them

}  // namespace tern
