// The switch that sends the processor-specific code down its portable paths, and the SHA-256
// and JSON escape scan on both paths: an x86-64 build checks here the code an arm64 build
// runs.
#include "fakes/portable_paths.h"

#include <gtest/gtest.h>

#include <string>

#include "common/cpu_features.h"
#include "common/json_writer.h"
#include "common/sha256.h"

namespace tern::testing {
namespace {

struct Answers {
  bool sse2, avx2, shaNi, shaHardware, fastPext;
  bool operator==(const Answers&) const = default;
};

Answers answers() {
  return {ProcessorHasSse2(), ProcessorHasAvx2(), ProcessorHasShaNi(), sha256HasHardwarePath(),
          ProcessorHasFastPext()};
}

TEST(PortablePaths, TheSwitchTurnsEveryFeatureOffAndBackOn) {
  const Answers best = answers();
#if defined(__x86_64__)
  EXPECT_TRUE(best.sse2);
#endif
  EXPECT_EQ(onPortablePaths(answers), (Answers{false, false, false, false, false}));
  EXPECT_FALSE(PortablePathsForced());
  EXPECT_EQ(answers(), best);
  EXPECT_EQ(onBaselinePaths(answers), (Answers{best.sse2, false, false, false, false}));
  EXPECT_FALSE(BaselinePathsForced());
  EXPECT_EQ(answers(), best);
}

// Every length up to a few blocks (each padding case), at odd starts.
TEST(PortablePaths, Sha256IsTheSameOnBothPaths) {
  Bytes buffer(300);
  for (std::size_t i = 0; i < buffer.size(); ++i)
    buffer[i] = static_cast<std::uint8_t>(i * 151 + 7);
  for (std::size_t offset : {0, 3}) {
    for (std::size_t length = 0; length <= 200; length += 1 + length / 40) {
      const ByteView data = ByteView(buffer).subspan(offset, length);
      ASSERT_EQ(sha256Hex(data), onPortablePaths([&] { return sha256Hex(data); }))
          << "offset " << offset << " length " << length;
    }
  }
}

std::string written(std::string_view text) {
  JsonWriter w;
  w.value(text);
  return std::string(w.text());
}

// Texts of every length the scan treats differently (under 4, 4-7, 8-15, 16 and more, whole
// and ragged blocks), clean and with one byte to escape at each place, each kind of them:
// a control byte, a quote, a backslash, and bytes just beside them that need nothing.
TEST(PortablePaths, JsonEscapeScanIsTheSameOnBothPaths) {
  const char escapes[] = {'\0', '\x1f', '"', '\\', ' ', '!', '#', '[', ']', '\x7f', '\xe4'};
  for (std::size_t length = 0; length <= 40; ++length) {
    std::string text(length, 'a');
    ASSERT_EQ(written(text), onPortablePaths([&] { return written(text); })) << length;
    for (std::size_t at = 0; at < length; ++at) {
      for (char c : escapes) {
        text[at] = c;
        ASSERT_EQ(written(text), onPortablePaths([&] { return written(text); }))
            << "length " << length << " byte " << int(static_cast<unsigned char>(c)) << " at "
            << at;
        text[at] = 'a';
      }
    }
  }
}

}  // namespace
}  // namespace tern::testing
