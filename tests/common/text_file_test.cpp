#include "common/text_file.h"

#include <gtest/gtest.h>

namespace tern {
namespace {

Bytes bytesOf(std::string_view s) { return Bytes(s.begin(), s.end()); }

TEST(TextFile, SavedLinesLoadBackUnchanged) {
  const std::vector<std::string> lines{"FQEW22 EDZW 081200", "", "Wind SW 5, Böen 7 °", "  "};
  const Bytes file = encodeTextFile(lines);
  EXPECT_EQ(file, bytesOf("FQEW22 EDZW 081200\n\nWind SW 5, Böen 7 °\n  \n"));
  EXPECT_EQ(decodeTextFile(file), lines);
  EXPECT_TRUE(encodeTextFile({}).empty());
}

TEST(TextFile, InvalidUtf8IsReadAsLatin1) {
  // A received bulletin: "Böen" in Latin-1 with CR LF line ends.
  EXPECT_EQ(decodeTextFile(bytesOf("B\xF6"
                                   "en\r\nx")),
            (std::vector<std::string>{"Böen", "x"}));
  // One stray Latin-1 byte makes the whole file Latin-1, also where it looked like UTF-8.
  EXPECT_EQ(decodeTextFile(bytesOf("\xC3\xA4\n\xFF")), (std::vector<std::string>{"Ã¤", "ÿ"}));
}

TEST(TextFile, LineEndsOfEveryKindAndTheByteOrderMark) {
  EXPECT_EQ(decodeTextFile(bytesOf("\xEF\xBB\xBF"
                                   "a\rb\r\n\r\nc\n")),
            (std::vector<std::string>{"a", "b", "", "c"}));
  EXPECT_TRUE(decodeTextFile({}).empty());
  EXPECT_EQ(decodeTextFile(bytesOf("\n")), (std::vector<std::string>{""}));
}

TEST(TextFile, Utf8Validation) {
  EXPECT_TRUE(isValidUtf8("plain ASCII"));
  EXPECT_TRUE(isValidUtf8("\xE2\x82\xAC \xF0\x9F\x8C\x8A"));  // euro sign, water wave
  EXPECT_FALSE(isValidUtf8("\xC3"));                          // cut off
  EXPECT_FALSE(isValidUtf8("\xE2\x82"));                      // cut off
  EXPECT_FALSE(isValidUtf8("\xC0\xAF"));                      // overlong '/'
  EXPECT_FALSE(isValidUtf8("\xED\xA0\x80"));                  // surrogate
  EXPECT_FALSE(isValidUtf8("\xF4\x90\x80\x80"));              // beyond U+10FFFF
  EXPECT_FALSE(isValidUtf8("\x80"));                          // continuation alone
}

}  // namespace
}  // namespace tern
