// In-memory implementations of the view seams (tree, text, chart), so the presenters and the
// selection model are tested without a display.
#pragma once

#include <string>
#include <vector>

#include "common/text_view.h"
#include "common/tree_view.h"
#include "presenters/chart_view.h"

namespace tern::testing {

class MemoryTreeView final : public TreeView {
 public:
  struct Item {
    Node parent;
    std::string caption;
    std::int64_t tag;
    bool bold = false;
    bool expanded = false;
    StateImage image = StateImage::None;
  };
  std::vector<Item> items;
  Node current = kNoNode;
  int clears = 0;

  void clear() override {
    items.clear();
    current = kNoNode;
    ++clears;
  }
  Node addNode(Node parent, const std::string& caption, std::int64_t tag) override {
    items.push_back({parent, caption, tag});
    return static_cast<Node>(items.size()) - 1;
  }
  void setCaption(Node n, const std::string& caption) override { at(n).caption = caption; }
  void setStateImage(Node n, StateImage image) override { at(n).image = image; }
  void setBold(Node n, bool bold) override { at(n).bold = bold; }
  void setExpanded(Node n, bool expanded) override { at(n).expanded = expanded; }
  bool isExpanded(Node n) const override { return items.at(static_cast<std::size_t>(n)).expanded; }
  void expandAll() override {
    for (auto& i : items) i.expanded = true;
  }
  void collapseAll() override {
    for (auto& i : items) i.expanded = false;
  }
  void scrollToTop() override {}
  void select(Node n) override { current = n; }
  Node selected() const override { return current; }
  int nodeCount() const override { return static_cast<int>(items.size()); }
  std::int64_t tag(Node n) const override { return items.at(static_cast<std::size_t>(n)).tag; }

  StateImage image(Node n) const { return items.at(static_cast<std::size_t>(n)).image; }
  // Children captions of a node, in order.
  std::vector<std::string> children(Node parent) const {
    std::vector<std::string> out;
    for (const auto& i : items)
      if (i.parent == parent) out.push_back(i.caption);
    return out;
  }
  Node find(const std::string& caption) const {
    for (std::size_t i = 0; i < items.size(); ++i)
      if (items[i].caption == caption) return static_cast<Node>(i);
    return kNoNode;
  }

 private:
  Item& at(Node n) { return items.at(static_cast<std::size_t>(n)); }
};

class MemoryTextView final : public TextView {
 public:
  void setLines(const std::vector<std::string>& l) override { lines = l; }
  void clear() override { lines.clear(); }
  std::vector<std::string> lines;
};

class MemoryChartView final : public ChartView {
 public:
  void setPoints(const std::vector<Point>& p) override { points = p; }
  void setTimeRange(double s, double e) override {
    start = s;
    end = e;
  }
  void setPressureRange(double lo, double hi) override {
    minimum = lo;
    maximum = hi;
  }
  void undoZoom() override { ++undoZooms; }
  void setFootText(const std::string& t) override { foot = t; }

  std::vector<Point> points;
  double start = 0, end = 0, minimum = 0, maximum = 0;
  int undoZooms = 0;
  std::string foot;
};

}  // namespace tern::testing
