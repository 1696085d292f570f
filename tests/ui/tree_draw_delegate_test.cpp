#include "ui/tree_draw_delegate.h"

#include <gtest/gtest.h>

#include <QTreeWidget>
#include <algorithm>
#include <cmath>

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

// Contrast ratio of two colours as the accessibility guidelines define it.
double luminance(const QColor& c) {
  auto channel = [](int v) {
    const double s = v / 255.0;
    return s <= 0.03928 ? s / 12.92 : std::pow((s + 0.055) / 1.055, 2.4);
  };
  return 0.2126 * channel(c.red()) + 0.7152 * channel(c.green()) + 0.0722 * channel(c.blue());
}
double contrast(const QColor& a, const QColor& b) {
  const double la = luminance(a), lb = luminance(b);
  return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

TEST(TreeDrawDelegate, TheSelectedLeafCanBeRead) {
  EXPECT_GE(contrast(TTreeDrawDelegate::selectedLeafText(), TTreeDrawDelegate::selectionFill()),
            4.5);
  // What is really drawn: the fill beside the text and the strongest text pixel.
  QTreeWidget tree;
  tree.setItemDelegate(new TTreeDrawDelegate(&tree));
  tree.resize(300, 200);
  auto* root = new QTreeWidgetItem(&tree, {"FAX DWD"});
  new QTreeWidgetItem(root, {"Kopfzeile"});
  auto* leaf = new QTreeWidgetItem(root, {"09.12  04:30  DDH3 (3855.0 kHz)"});
  tree.expandAll();
  tree.show();
  tree.setCurrentItem(leaf);
  const QRect row = tree.visualItemRect(leaf);
  const QImage shot = tree.viewport()->grab().toImage();
  const QColor fill = shot.pixelColor(row.right() - 2, row.center().y());
  QColor text = fill;
  for (int y = row.top(); y <= row.bottom(); ++y)
    for (int x = row.left(); x < row.right(); ++x)
      if (contrast(shot.pixelColor(x, y), fill) > contrast(text, fill))
        text = shot.pixelColor(x, y);
  EXPECT_EQ(fill, TTreeDrawDelegate::selectionFill());
  EXPECT_GT(text.red(), 2 * text.green()) << "the selected leaf stays red";
  EXPECT_GE(contrast(text, fill), 4.5)
      << text.name().toStdString() << " on " << fill.name().toStdString();
}

}  // namespace
}  // namespace tern
