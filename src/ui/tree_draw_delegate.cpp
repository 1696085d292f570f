#include "ui/tree_draw_delegate.h"

#include <QTreeView>

namespace tern {

TTreeDrawDelegate::TTreeDrawDelegate(QTreeView* tree) : QStyledItemDelegate(tree), tree_(tree) {
  // The view draws the selected row's indentation itself, so it gets the same fill.
  QPalette palette = tree_->palette();
  palette.setColor(QPalette::Highlight, selectionFill());
  palette.setColor(QPalette::HighlightedText, palette.color(QPalette::Text));
  tree_->setPalette(palette);
}

bool TTreeDrawDelegate::drawsRed(const QModelIndex& index) const {
  if (!index.isValid() || !tree_->selectionModel()->isSelected(index)) return false;
  if (index.model()->hasChildren(index)) return false;
  // The topmost node visible in the viewport (the tree's "top item").
  QModelIndex top = tree_->indexAt(QPoint(1, 1));
  return index != top;
}

void TTreeDrawDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                              const QModelIndex& index) const {
  QStyleOptionViewItem drawn(option);
  drawn.palette.setColor(QPalette::Highlight, selectionFill());
  drawn.palette.setColor(QPalette::HighlightedText, drawn.palette.color(QPalette::Text));
  if (drawsRed(index)) {
    drawn.palette.setColor(QPalette::Text, selectedLeafText());
    drawn.palette.setColor(QPalette::HighlightedText, selectedLeafText());
  }
  QStyledItemDelegate::paint(painter, drawn, index);
}

}  // namespace tern
