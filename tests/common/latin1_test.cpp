#include "common/latin1.h"

#include <gtest/gtest.h>

namespace tern {
namespace {

TEST(Latin1, RoundTripsEveryByte) {
  std::string all;
  for (int i = 0; i < 256; ++i) all.push_back(static_cast<char>(i));
  EXPECT_EQ(utf8ToLatin1(latin1ToUtf8(all)), all);
}

TEST(Latin1, ConvertsUmlautsAndReplacesWhatLatin1CannotHold) {
  EXPECT_EQ(latin1ToUtf8("Men\xFC"), "Menü");
  EXPECT_EQ(utf8ToLatin1("Empfänger"), "Empf\xE4nger");
  EXPECT_EQ(utf8ToLatin1("€"), "?");
  // A truncated sequence at the end and a stray continuation byte.
  EXPECT_EQ(utf8ToLatin1("a\xC3"), "a?");
  EXPECT_EQ(utf8ToLatin1("\x80"
                         "b"),
            "?b");
}

TEST(Latin1, MessageTextIsShownWithoutCarriageReturnsAsUtf8) {
  const struct {
    std::vector<std::string> lines;
    const char* shown;
  } cases[] = {
      {{"ST\xDC"
        "RMISCH \xFC"
        "ber der \xD6stsee\r\r",
        "", "NNNN"},
       "STÜRMISCH über der Östsee\n\nNNNN"},
      {{}, ""},
      {{""}, ""},
      {{"a\rb", "\x85\xFF"}, "ab\n\xC2\x85\xC3\xBF"},
  };
  for (const auto& c : cases) EXPECT_EQ(shownText(c.lines), c.shown) << c.shown;
}

TEST(Latin1, ReceivedBytesStayOnOneLineWhenPrinted) {
  EXPECT_EQ(printableLatin1("SA\x07\r\n\\1\xE4\x85\x7F"),
            "SA\\x07\\x0D\\x0A\\\\1\xC3\xA4\\x85\\x7F");
  EXPECT_EQ(withControlsEscaped("Zeile\nneu \xC3\xA4"), "Zeile\\x0Aneu \xC3\xA4");
}

}  // namespace
}  // namespace tern
