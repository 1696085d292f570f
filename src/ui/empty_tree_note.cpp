#include "ui/empty_tree_note.h"

#include <QEvent>
#include <QLabel>
#include <QTreeWidget>
#include <algorithm>

namespace tern {

EmptyTreeNote::EmptyTreeNote(QTreeWidget* tree)
    : QObject(tree), tree_(tree), viewport_(tree->viewport()) {
  note_ = new QLabel(QString::fromUtf8(kEmptyTreeNote), viewport_);
  note_->setObjectName("EmptyTreeNote");
  note_->setWordWrap(true);
  note_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  note_->setStyleSheet(QStringLiteral("QLabel { color: #606060; }"));
  // Every change of the tree repaints it; the note follows then (the model's own signals
  // would also come while the tree is half destroyed).
  viewport_->installEventFilter(this);
  update();
}

bool EmptyTreeNote::eventFilter(QObject* watched, QEvent* event) {
  // Only a paint reaches the tree; the events of its destruction (the viewport's Destroy and
  // child removals) pass untouched.
  if (event->type() == QEvent::Paint && viewport_ != nullptr && watched == viewport_) update();
  return QObject::eventFilter(watched, event);
}

void EmptyTreeNote::update() {
  bool empty = true;
  int below = 0;
  for (int i = 0; i < tree_->topLevelItemCount(); ++i) {
    const QTreeWidgetItem* root = tree_->topLevelItem(i);
    empty = empty && root->childCount() == 0;
    below = std::max(below, tree_->visualItemRect(root).bottom() + 1);
  }
  note_->setVisible(empty);
  if (!empty) return;
  const int margin = 8;
  const int width = std::max(60, viewport_->width() - 2 * margin);
  note_->setGeometry(margin, below + margin, width, note_->heightForWidth(width));
}

}  // namespace tern
