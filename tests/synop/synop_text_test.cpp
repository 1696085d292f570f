#include "synop/synop_text.h"

#include <gtest/gtest.h>

namespace tern {
namespace {

TEST(SynopText, SplitWordsTrimsAndCutsAtBlanks) {
  struct Case {
    const char* line;
    std::vector<std::string> words;
  } cases[] = {
      {"", {""}},
      {"   ", {""}},
      {"DBBH 05124  99543\r", {"DBBH", "05124", "99543"}},
      {"\t 1234=\x01", {"1234="}},
      {"A\tB C", {"A\tB", "C"}},  // only blanks separate words
  };
  for (const auto& c : cases) {
    std::vector<std::string> words;
    SplitWords(c.line, words);
    EXPECT_EQ(words, c.words) << c.line;
  }
}

TEST(SynopText, CutLinesKeepsCarriageReturnsAndDropsAnEmptyLastLine) {
  EXPECT_EQ(CutLines("a\r\nb\n\nc"), (std::vector<std::string>{"a\r", "b", "", "c"}));
  EXPECT_EQ(CutLines("a\n"), (std::vector<std::string>{"a"}));
  EXPECT_TRUE(CutLines("").empty());
}

TEST(SynopText, NumberConversions) {
  struct Case {
    const char* text;
    const char* number;
    int digits;
  } cases[] = {
      {"07", "7", 7},           {"00", "0", 0},      {"", "0", -1},
      {"//", "0", -1},          {"-5", "-5", -1},    {"1a", "0", -1},
      {"99999999999", "0", -1}, {"123", "123", 123},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(NumberText(c.text), c.number) << c.text;
    EXPECT_EQ(DigitsToInt(c.text), c.digits) << c.text;
  }
}

TEST(SynopText, CharacterAccessStaysInsideTheWord) {
  EXPECT_EQ(synop::charAt("123", 3), '3');
  EXPECT_EQ(synop::charAt("123", 4), '\0');
  EXPECT_EQ(synop::charAt("123", 0), '\0');
  EXPECT_EQ(synop::chars("12345", 4, 5), "45");
  EXPECT_EQ(synop::chars("1234", 4, 5), "4");
  EXPECT_EQ(synop::chars("12", 4, 5), "");
  EXPECT_EQ(synop::tenths(123), "12.3");
  EXPECT_EQ(synop::tenths(5), "0.5");
}

}  // namespace
}  // namespace tern
