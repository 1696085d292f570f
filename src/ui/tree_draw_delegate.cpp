#include "ui/tree_draw_delegate.h"

#include <QTreeView>

namespace tern {

TTreeDrawDelegate::TTreeDrawDelegate(QTreeView* tree) : QStyledItemDelegate(tree), tree_(tree) {}

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
  if (drawsRed(index)) {
    const QColor red(255, 0, 0);
    drawn.palette.setColor(QPalette::Text, red);
    drawn.palette.setColor(QPalette::HighlightedText, red);
  }
  QStyledItemDelegate::paint(painter, drawn, index);
}

}  // namespace tern
