#include "ui/qt_tree_view.h"

#include <QSignalBlocker>

namespace tern {

namespace {
constexpr int kNodeRole = Qt::UserRole;
constexpr int kTagRole = Qt::UserRole + 1;
}  // namespace

QtTreeView::QtTreeView(QTreeWidget* tree, std::array<QIcon, 3> stateIcons)
    : tree_(tree), stateIcons_(std::move(stateIcons)) {}

QTreeWidgetItem* QtTreeView::item(Node node) const {
  if (node < 0 || node >= static_cast<Node>(items_.size())) return nullptr;
  return items_[static_cast<std::size_t>(node)];
}

void QtTreeView::clear() {
  QSignalBlocker block(tree_);
  tree_->clear();
  items_.clear();
}

TreeView::Node QtTreeView::addNode(Node parent, const std::string& caption, std::int64_t tag) {
  QSignalBlocker block(tree_);
  QTreeWidgetItem* under = item(parent);
  auto* node = under != nullptr ? new QTreeWidgetItem(under) : new QTreeWidgetItem(tree_);
  node->setText(0, QString::fromStdString(caption));
  Node index = static_cast<Node>(items_.size());
  node->setData(0, kNodeRole, index);
  node->setData(0, kTagRole, static_cast<qlonglong>(tag));
  items_.push_back(node);
  return index;
}

void QtTreeView::setCaption(Node node, const std::string& caption) {
  if (QTreeWidgetItem* i = item(node)) i->setText(0, QString::fromStdString(caption));
}

void QtTreeView::setStateImage(Node node, StateImage image) {
  QTreeWidgetItem* i = item(node);
  if (i == nullptr) return;
  int index = static_cast<int>(image) - 1;
  i->setIcon(0, index >= 0 && index < 3 ? stateIcons_[static_cast<std::size_t>(index)] : QIcon());
  // A blocked entry is drawn grey, so it reads as out of reach even without its image.
  if (image == StateImage::Blocked)
    i->setForeground(0, QColor(192, 192, 192));
  else
    i->setData(0, Qt::ForegroundRole, QVariant());
}

void QtTreeView::setBold(Node node, bool bold) {
  QTreeWidgetItem* i = item(node);
  if (i == nullptr) return;
  QFont font = i->font(0);
  font.setBold(bold);
  i->setFont(0, font);
}

void QtTreeView::setExpanded(Node node, bool expanded) {
  QSignalBlocker block(tree_);
  if (QTreeWidgetItem* i = item(node)) i->setExpanded(expanded);
}

bool QtTreeView::isExpanded(Node node) const {
  QTreeWidgetItem* i = item(node);
  return i != nullptr && i->isExpanded();
}

void QtTreeView::expandAll() {
  QSignalBlocker block(tree_);
  tree_->expandAll();
}

void QtTreeView::collapseAll() {
  QSignalBlocker block(tree_);
  tree_->collapseAll();
}

void QtTreeView::scrollToTop() { tree_->scrollToTop(); }

void QtTreeView::select(Node node) {
  QSignalBlocker block(tree_);
  tree_->setCurrentItem(item(node));
}

TreeView::Node QtTreeView::selected() const {
  QTreeWidgetItem* current = tree_->currentItem();
  return current == nullptr ? kNoNode : current->data(0, kNodeRole).toInt();
}

std::int64_t QtTreeView::tag(Node node) const {
  QTreeWidgetItem* i = item(node);
  return i == nullptr ? -1 : i->data(0, kTagRole).toLongLong();
}

}  // namespace tern
