// A minimal tree for the fuzz targets: checks that every node the selection model touches
// exists, so a wrong node index shows up as a crash.
#pragma once

#include <cstdlib>
#include <vector>

#include "common/message_sink.h"
#include "common/tree_view.h"

namespace tern::fuzz {

class CheckingTree final : public TreeView {
 public:
  void clear() override { parents_.clear(); }
  Node addNode(Node parent, const std::string&, std::int64_t) override {
    if (parent != kNoNode) check(parent);
    parents_.push_back(parent);
    return static_cast<Node>(parents_.size()) - 1;
  }
  void setCaption(Node n, const std::string&) override { check(n); }
  void setStateImage(Node n, StateImage) override { check(n); }
  void setBold(Node n, bool) override { check(n); }
  void setExpanded(Node n, bool) override { check(n); }
  bool isExpanded(Node n) const override {
    check(n);
    return true;
  }
  void expandAll() override {}
  void collapseAll() override {}
  void scrollToTop() override {}
  void select(Node n) override { selected_ = n; }
  Node selected() const override { return selected_; }
  int nodeCount() const override { return static_cast<int>(parents_.size()); }
  std::int64_t tag(Node n) const override {
    check(n);
    return n;
  }

 private:
  void check(Node n) const {
    if (n < 0 || n >= nodeCount()) std::abort();
  }
  std::vector<Node> parents_;
  Node selected_ = kNoNode;
};

class NullSink final : public MessageSink {
 public:
  void showMessage(MessageKind, const std::string&) override {}
  bool askYesNo(const std::string&, bool) override { return false; }
};

}  // namespace tern::fuzz
