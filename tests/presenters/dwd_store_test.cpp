#include "presenters/dwd_store.h"

#include "fakes/store_fixture.h"

namespace tern::testing {
namespace {

class DwdStore : public StoreTest {
 protected:
  TDWDDeutsch german{*store, memo, tree};
};

TEST_F(DwdStore, TreeListsFilledRowsWithRecordingsNewestFirst) {
  put(0, 1, 0, 4, "FQEN50", {2026, 3, 5, 14, 20, 0, 0}, "a");
  put(0, 1, 2, 3, "FQEN50", {2026, 3, 4, 8, 5, 0, 0}, "b");
  german.BuildTree();
  ASSERT_EQ(tree.items[0].caption, "Wetter deutsch");
  EXPECT_TRUE(tree.items[0].expanded);
  auto groups = tree.children(0);
  ASSERT_EQ(groups.size(), 1u);  // only the row with recordings
  EXPECT_EQ(groups[0], "Seewetterbericht fuer Nord- und Ostsee");
  EXPECT_EQ(tree.children(1), (std::vector<std::string>{"05.03  14:20  DDH9 (11039.0 kHz)",
                                                        "04.03  08:05  DDH47 (147.3 kHz)"}));
  EXPECT_TRUE(tree.items[2].bold);
  EXPECT_FALSE(tree.items[1].expanded);  // groups stay closed
}

TEST_F(DwdStore, SelectingShowsTheBulletinAndClearsItsNewFlag) {
  MessageRecord& r = put(0, 0, 0, 3, "WODL45", {2026, 3, 5, 14, 20, 0, 0}, "A\r\nB\nC");
  german.BuildTree();
  tree.select(2);
  german.SelectionChanged();
  EXPECT_EQ(memo.lines, (std::vector<std::string>{"A\r", "B", "C"}));
  EXPECT_EQ(german.CurrentKey(), "WODL45");
  EXPECT_EQ(r.newFlag, 0);
  EXPECT_FALSE(tree.items[2].bold);

  // Group and top nodes leave memo and key alone.
  for (TreeView::Node n : {0, 1}) {
    tree.select(n);
    german.SelectionChanged();
    EXPECT_EQ(memo.lines.size(), 3u);
    EXPECT_EQ(german.CurrentKey(), "WODL45");
  }
}

TEST_F(DwdStore, BulletinLineRules) {
  struct Case {
    std::string data;
    std::uint8_t flag;
    std::vector<std::string> lines;
  };
  const Case cases[] = {
      {"one\ntwo", 0, {"one", "two"}},
      {"one\n", 0, {"one"}},
      {"", 0, {}},
      {"", 1, {"", "Aufzeichnung nach Sendeplan abgebrochen."}},
      {"x\r\r\n=\n", 1, {"x\r\r", "=", "", "Aufzeichnung nach Sendeplan abgebrochen."}},
  };
  for (const Case& c : cases) {
    MessageRecord r;
    r.header = makeHeader(3, static_cast<std::uint32_t>(c.data.size()), "K", {}, c.flag);
    r.data.assign(c.data.begin(), c.data.end());
    EXPECT_EQ(TDWDStore::BulletinLines(r), c.lines) << c.data;
  }
}

TEST_F(DwdStore, RecordDroppedAfterTheTreeWasBuiltIsNotShown) {
  put(0, 0, 0, 3, "WODL45", {2026, 3, 5, 14, 20, 0, 0}, "old");
  german.BuildTree();
  store->table(0).slot(0, 0) = MessageRecord::empty();  // a read-out dropped it
  tree.select(2);
  german.SelectionChanged();
  EXPECT_TRUE(memo.lines.empty());
  EXPECT_TRUE(german.CurrentKey().empty());
}

TEST_F(DwdStore, EnglishStoreReadsItsOwnTable) {
  TDWDEnglisch english(*store, memo, tree);
  put(1, 0, 0, 6, "WODL45", {2026, 3, 5, 0, 0, 0, 0}, "x");
  put(0, 0, 0, 3, "WODL45", {2026, 3, 5, 0, 0, 0, 0}, "y");
  english.BuildTree();
  EXPECT_EQ(tree.items[0].caption, "Wetter englisch");
  EXPECT_EQ(tree.nodeCount(), 3);
  english.CollapseAll();
  EXPECT_TRUE(tree.items[0].expanded);
  EXPECT_FALSE(tree.items[1].expanded);
}

}  // namespace
}  // namespace tern::testing
