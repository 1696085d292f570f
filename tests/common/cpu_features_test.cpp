#include "common/cpu_features.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>

namespace tern {
namespace {

// The flags the kernel read off the processor, as /proc/cpuinfo lists them for the first one.
bool kernelListsFlag(const std::string& flag) {
  std::ifstream info("/proc/cpuinfo");
  for (std::string line; std::getline(info, line);) {
    if (line.rfind("flags", 0) != 0) continue;
    std::istringstream words(line.substr(line.find(':') + 1));
    for (std::string word; words >> word;)
      if (word == flag) return true;
    return false;
  }
  return false;
}

// Our own answers against the kernel's reading of the same processor (which also leaves out
// what the system does not save on a task switch).
TEST(CpuFeatures, AgreeWithTheKernel) {
#if defined(__x86_64__)
  struct Case {
    const char* flag;
    bool ours;
  };
  for (const Case& c : {Case{"avx2", ProcessorHasAvx2()}, Case{"sha_ni", ProcessorHasShaNi()}})
    EXPECT_EQ(c.ours, kernelListsFlag(c.flag)) << c.flag;
  // A fast pext is BMI2's, where the design does not take it in microcode.
  if (ProcessorHasFastPext()) {
    EXPECT_TRUE(kernelListsFlag("bmi2"));
  }
#else
  EXPECT_FALSE(ProcessorHasAvx2());
  EXPECT_FALSE(ProcessorHasShaNi());
  EXPECT_FALSE(ProcessorHasFastPext());
#endif
}

}  // namespace
}  // namespace tern
