#include "ui/tree_draw_delegate.h"

#include <gtest/gtest.h>

#include <QTreeWidget>

namespace tern {
namespace {

TEST(TreeDrawDelegate, SelectedLeafIsRedUnlessTopmostVisible) {
  QTreeWidget tree;
  auto* delegate = new TTreeDrawDelegate(&tree);
  tree.setItemDelegate(delegate);
  tree.resize(300, 400);
  auto* root = new QTreeWidgetItem(&tree, {"International (518 kHz)"});
  auto* leafA = new QTreeWidgetItem(root, {"SA01"});
  auto* leafB = new QTreeWidgetItem(root, {"SA02"});
  auto* lone = new QTreeWidgetItem(&tree, {"ohne Kinder"});
  tree.expandAll();
  tree.show();

  auto index = [&](QTreeWidgetItem* item) { return tree.indexFromItem(item); };
  tree.setCurrentItem(leafB);
  EXPECT_TRUE(delegate->drawsRed(index(leafB)));
  EXPECT_FALSE(delegate->drawsRed(index(leafA)));  // not selected

  tree.setCurrentItem(root);  // selected but has children
  EXPECT_FALSE(delegate->drawsRed(index(root)));

  // A leaf scrolled to the very top of the view is the first visible node.
  tree.setCurrentItem(lone);
  EXPECT_TRUE(delegate->drawsRed(index(lone)));
  delete root;
  EXPECT_FALSE(delegate->drawsRed(index(lone)));
}

}  // namespace
}  // namespace tern
