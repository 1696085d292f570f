#include "presenters/navtex_store.h"

#include "fakes/store_fixture.h"

namespace tern::testing {
namespace {

class NavtexStore : public StoreTest {
 protected:
  TNAVTEX navtexStore{*store, memo, tree};
  // The node of a category under a root: 0 for 518 kHz, 1 for 490 kHz.
  TreeView::Node category(int root, int c) { return root * 11 + 1 + c; }
};

TEST_F(NavtexStore, MessagesGoUnderTheirFrequencyAndCategory) {
  const std::pair<const char*, int> cases[] = {{"SA01", 0}, {"SB02", 1}, {"SI03", 9},
                                               {"SZ04", 9}, {"SG05", 6}, {"SH06", 6},
                                               {"SJ07", 6}, {"Sa08", 9}, {"S", 9}};
  for (auto [key, c] : cases) navtex(kNavtex518, key, {2026, 3, 5, 3, 0, 0, 0});
  navtex(kNavtex490, "LA01", {2026, 3, 5, 3, 0, 0, 0});
  navtexStore.BuildTree();
  for (auto [key, c] : cases) {
    TreeView::Node n = tree.find(std::string(key) + "  05.03  03:00");
    ASSERT_NE(n, TreeView::kNoNode) << key;
    EXPECT_EQ(tree.items[static_cast<std::size_t>(n)].parent, category(0, c)) << key;
  }
  TreeView::Node national = tree.find("LA01  05.03  03:00");
  EXPECT_EQ(tree.items[static_cast<std::size_t>(national)].parent, category(1, 0));
  EXPECT_EQ(tree.items[11].caption, "National (490 kHz)");
  EXPECT_EQ(tree.items[static_cast<std::size_t>(category(1, 2))].caption, "Ice reports");
}

TEST_F(NavtexStore, SortedByKeyWithinACategory) {
  navtex(kNavtex518, "FA12", {2026, 3, 5, 1, 0, 0, 0});
  navtex(kNavtex518, "FA03", {2026, 3, 5, 2, 0, 0, 0});
  navtex(kNavtex518, "FB01", {2026, 3, 5, 3, 0, 0, 0});
  navtexStore.BuildTree();
  EXPECT_EQ(tree.children(category(0, 0)),
            (std::vector<std::string>{"FA03  05.03  02:00", "FA12  05.03  01:00"}));
  EXPECT_EQ(tree.children(category(0, 1)), (std::vector<std::string>{"FB01  05.03  03:00"}));
  // The list itself is now in key order, as the data file will be.
  EXPECT_EQ(store->navtex(kNavtex518).records()[0].keyText(), "FA03");
}

TEST_F(NavtexStore, ExpandStateSurvivesARebuild) {
  navtex(kNavtex490, "LC01", {2026, 3, 5, 1, 0, 0, 0}, "ICE\r\nFAST ICE\r\n");
  navtexStore.BuildTree();
  EXPECT_TRUE(tree.items[0].expanded);
  EXPECT_TRUE(tree.items[11].expanded);
  tree.setExpanded(category(1, 2), true);  // the user opens "Ice reports" (national)
  TreeView::Node message = tree.find("LC01  05.03  01:00");
  tree.select(message);
  navtexStore.SelectionChanged();
  EXPECT_EQ(memo.lines, (std::vector<std::string>{"ICE", "FAST ICE", ""}));
  EXPECT_EQ(navtexStore.CurrentKey(), "LC01");

  navtexStore.BuildTree();
  EXPECT_TRUE(tree.items[static_cast<std::size_t>(category(1, 2))].expanded);
  EXPECT_FALSE(tree.items[static_cast<std::size_t>(category(0, 2))].expanded);
  // A rebuild selects the first root: memo and key are empty again.
  EXPECT_EQ(tree.selected(), 0);
  EXPECT_TRUE(memo.lines.empty());
  EXPECT_TRUE(navtexStore.CurrentKey().empty());
  EXPECT_FALSE(tree.items[static_cast<std::size_t>(tree.find("LC01  05.03  01:00"))].bold);
}

TEST_F(NavtexStore, CollapseAllKeepsTheRootsOpen) {
  navtexStore.BuildTree();
  navtexStore.ExpandAll();
  EXPECT_TRUE(navtexStore.ExpandState()[5]);
  navtexStore.CollapseAll();
  EXPECT_TRUE(tree.items[0].expanded);
  EXPECT_TRUE(tree.items[11].expanded);
  EXPECT_FALSE(tree.items[5].expanded);
  EXPECT_FALSE(navtexStore.ExpandState()[5]);
}

TEST_F(NavtexStore, EmptyMessageShowsOneEmptyLine) {
  MessageRecord r;
  EXPECT_EQ(r.textLines(), (std::vector<std::string>{""}));
}

}  // namespace
}  // namespace tern::testing
