// The drawing rule shared by every message tree of the main window: the selected leaf is
// drawn in red, so the message being read stands out when the tree has lost the focus,
// except when it is the topmost visible node. The selection is filled pale yellow instead
// of the desktop's dark highlight, on which red cannot be read: red on that fill has a
// contrast above 5:1, and the pale fill stands out on the light tree backgrounds.
#pragma once

#include <QColor>
#include <QStyledItemDelegate>

class QTreeView;

namespace tern {

// Thread: window thread only.
class TTreeDrawDelegate : public QStyledItemDelegate {
  Q_OBJECT
 public:
  explicit TTreeDrawDelegate(QTreeView* tree);

  // True when the node at `index` is drawn in red.
  bool drawsRed(const QModelIndex& index) const;

  static QColor selectionFill() { return {255, 240, 160}; }
  static QColor selectedLeafText() { return {192, 0, 0}; }

 protected:
  // The colour is decided while painting only: sizing runs through initStyleOption, and
  // finding the topmost node asks for sizes, which would recurse.
  void paint(QPainter* painter, const QStyleOptionViewItem& option,
             const QModelIndex& index) const override;

 private:
  QTreeView* tree_;
};

}  // namespace tern
