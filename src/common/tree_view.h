// The tree seam. Stores and the selection model fill trees through this interface and never
// see the toolkit; the window implements it with a tree widget, tests in memory.
#pragma once

#include <cstdint>
#include <string>

namespace tern {

// Thread: called on the window thread only.
class TreeView {
 public:
  using Node = int;  // index of a node in creation order since the last clear()
  static constexpr Node kNoNode = -1;
  // State images of selection trees.
  enum class StateImage { None = 0, Free = 1, Selected = 2, Blocked = 3 };

  virtual ~TreeView() = default;
  virtual void clear() = 0;
  // Adds a node under `parent` (kNoNode: top level) with a UTF-8 caption. `tag` is the
  // caller's reference to what the node stands for (for example a message), -1 for none.
  virtual Node addNode(Node parent, const std::string& caption, std::int64_t tag = -1) = 0;
  virtual void setCaption(Node node, const std::string& caption) = 0;
  virtual void setStateImage(Node node, StateImage image) = 0;
  virtual void setBold(Node node, bool bold) = 0;
  virtual void setExpanded(Node node, bool expanded) = 0;
  virtual bool isExpanded(Node node) const = 0;
  virtual void expandAll() = 0;
  virtual void collapseAll() = 0;
  virtual void scrollToTop() = 0;
  virtual void select(Node node) = 0;
  virtual Node selected() const = 0;  // kNoNode when nothing is selected
  virtual int nodeCount() const = 0;
  virtual std::int64_t tag(Node node) const = 0;
};

}  // namespace tern
