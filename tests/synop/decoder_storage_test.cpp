// The decoder keeps its storage from one rebuild to the next (texts, words, line strings,
// the filter's keys); nothing of an earlier rebuild may show in a later one. And the word
// cutter that works without allocating must cut exactly as SplitWords does.
#include <gtest/gtest.h>

#include "common/file_io.h"
#include "synop/synop_decoder.h"
#include "synop/synop_text.h"

namespace tern {
namespace {

std::vector<std::string> wordsBySplitWords(std::string_view text) {
  std::vector<std::string> words;
  for (const std::string& line : CutLines(text)) {
    std::vector<std::string> lineWords;
    SplitWords(line, lineWords);
    for (auto& w : lineWords)
      if (!w.empty()) words.push_back(std::move(w));
  }
  return words;
}

TEST(SynopDecoderStorage, ForEachWordCutsAsSplitWords) {
  const char* texts[] = {
      "",
      "ZCZC 412\r\r\nSMVX41 EDZW 051200\r\r\nBBXX\r\r\nDBBH 05124 99543=\r\r\nNNNN\r\r\n",
      "A\t B\r \nC",                    // a control character before a blank stays in the word
      "41008 =\r \nX",                  // ... but not at the end of a line
      "A\tB C\x01",                     // only blanks separate words
      "   \n\n \r\n",                   // lines of nothing
      "LONGWORD\rWITHIN EIGHTBYTES\t",  // control characters beyond the first eight bytes
      "\xff\xfe 99\x85 \x7f",           // bytes above 0x7f are no control characters
      "1234567 12345678 123456789 x",
  };
  for (const char* text : texts) {
    std::vector<std::string> words;
    ForEachWord(text, [&](std::string_view w) { words.emplace_back(w); });
    EXPECT_EQ(words, wordsBySplitWords(text)) << text;
  }
}

std::string sample(const char* name) {
  auto data = readWholeFile(std::string(TERN_TEST_DATA_DIR "/synop/") + name, 1 << 20);
  EXPECT_TRUE(data.status) << name;
  return std::string(data.bytes.begin(), data.bytes.end());
}

struct Shown {
  std::string name;
  std::int32_t latitude;
  std::uint16_t age;
  std::vector<std::string> lines;
  bool operator==(const Shown&) const = default;
};

std::vector<Shown> shown(const TSynopDecoder& d) {
  std::vector<Shown> out;
  for (const auto& r : d.ReportList()) out.push_back({r.name, r.latitude, r.AgeKey, r.lines});
  return out;
}

std::vector<Shown> rebuiltByAFreshDecoder(const BulletinSource& source) {
  TSynopDecoder d;
  d.RebuildReports(source);
  return shown(d);
}

TEST(SynopDecoderStorage, EveryRebuildEqualsOneOfAFreshDecoder) {
  MemoryBulletinSource full;
  full.put(DwdStore::German, "SMVX41", 0, sample("smvx41_german.txt"));
  full.put(DwdStore::English, "SIVX41", 0, sample("sivx41_english.txt"));
  full.put(DwdStore::German, "SXEN40", 0, sample("sxen40.txt"));
  full.put(DwdStore::German, "SXMM41", 0, sample("sxmm41.txt"));
  // Fewer and shorter reports, with a wind unit of its own and Latin-1 text.
  MemoryBulletinSource small;
  small.put(DwdStore::German, "SMVX42", 0,
            "ZCZC\r\nBBXX\r\nX\xC4Y 05121 99543 10067 41496 82715 10052=");
  MemoryBulletinSource empty;
  // The full set with a change only where a rebuild reads last: the older copy of an
  // English heading.
  MemoryBulletinSource fullWithOlderCopy = full;
  fullWithOlderCopy.put(DwdStore::English, "SIVX48", 1,
                        "ZCZC\r\nBBXX\r\nZZZZ 05121 99543 10067 41496 82715 10052=");

  struct Step {
    const BulletinSource* source;
    bool rebuilt;  // false: the same texts as the rebuild before, the list stands
  };
  const Step steps[] = {{&full, true},
                        {&small, true},
                        {&full, true},
                        {&full, false},
                        {&empty, true},
                        {&empty, false},
                        {&full, true},
                        {&fullWithOlderCopy, true},
                        {&fullWithOlderCopy, false}};
  TSynopDecoder d;
  int n = 0;
  for (const Step& step : steps) {
    EXPECT_EQ(d.RebuildReports(*step.source), step.rebuilt) << "step " << n;
    EXPECT_EQ(shown(d), rebuiltByAFreshDecoder(*step.source)) << "step " << n++;
  }
  // The eager reading without the filter shares the storage as well.
  d.ReadBulletins(small);
  TSynopDecoder fresh;
  fresh.ReadBulletins(small);
  EXPECT_EQ(shown(d), shown(fresh));
  // ... and the list it left is no rebuild's: the same texts as before are decoded again.
  EXPECT_TRUE(d.RebuildReports(fullWithOlderCopy));
  EXPECT_EQ(shown(d), rebuiltByAFreshDecoder(fullWithOlderCopy));
}

TEST(SynopDecoderStorage, CopiedTextsOfARow) {
  MemoryBulletinSource source;
  source.put(DwdStore::German, "SMVX41", 0, "newest");
  source.put(DwdStore::German, "SMVX41", 2, "oldest");
  std::vector<std::string> texts = {"stale", "stale", "stale"};
  source.copyTexts(DwdStore::German, "SMVX41", texts);
  EXPECT_EQ(texts, (std::vector<std::string>{"newest", "", "oldest"}));
  source.copyTexts(DwdStore::English, "SMVX41", std::span(texts).first(2));
  EXPECT_EQ(texts, (std::vector<std::string>{"", "", "oldest"}));
}

}  // namespace
}  // namespace tern
