#include "common/base64.h"

#include <gtest/gtest.h>

#include <string_view>

namespace tern {
namespace {

std::string encoded(std::string_view text) {
  return base64({reinterpret_cast<const unsigned char*>(text.data()), text.size()});
}

TEST(Base64, EncodesTheStandardVectorsWithTheirPadding) {
  const std::pair<std::string_view, std::string_view> cases[] = {
      {"", ""},
      {"f", "Zg=="},
      {"fo", "Zm8="},
      {"foo", "Zm9v"},
      {"foob", "Zm9vYg=="},
      {"fooba", "Zm9vYmE="},
      {"foobar", "Zm9vYmFy"},
  };
  for (const auto& [text, expected] : cases) EXPECT_EQ(encoded(text), expected) << text;
  // Every byte value, high bit included, and both characters beyond the letters and digits.
  const unsigned char high[] = {0xFB, 0xFF, 0xBF, 0x00, 0x80};
  EXPECT_EQ(base64(high), "+/+/AIA=");
}

}  // namespace
}  // namespace tern
