// The tree seam on a QTreeWidget. Changes made through the seam never emit the widget's
// selection signals, so a store's rebuild cannot re-enter the store; the store runs its
// own selection handling where it wants it.
#pragma once

#include <QIcon>
#include <QTreeWidget>
#include <array>
#include <vector>

#include "common/tree_view.h"

namespace tern {

// Thread: window thread only.
class QtTreeView final : public TreeView {
 public:
  // `stateIcons` are the images of free, selected and blocked entries (may be null icons).
  explicit QtTreeView(QTreeWidget* tree, std::array<QIcon, 3> stateIcons = {});

  void clear() override;
  Node addNode(Node parent, const std::string& caption, std::int64_t tag) override;
  void setCaption(Node node, const std::string& caption) override;
  void setStateImage(Node node, StateImage image) override;
  void setBold(Node node, bool bold) override;
  void setExpanded(Node node, bool expanded) override;
  bool isExpanded(Node node) const override;
  void expandAll() override;
  void collapseAll() override;
  void scrollToTop() override;
  void select(Node node) override;
  Node selected() const override;
  int nodeCount() const override { return static_cast<int>(items_.size()); }
  std::int64_t tag(Node node) const override;

  QTreeWidget* widget() const { return tree_; }

 private:
  QTreeWidgetItem* item(Node node) const;

  QTreeWidget* tree_;
  std::array<QIcon, 3> stateIcons_;
  std::vector<QTreeWidgetItem*> items_;
};

}  // namespace tern
