// In-memory tree and message sink for the selection model's tests, plus helpers that build
// schedules from text.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "common/message_sink.h"
#include "common/tree_view.h"
#include "config/schedule_file.h"

namespace tern::testing {

class FakeTreeView final : public TreeView {
 public:
  struct Item {
    Node parent;
    std::string caption;
    std::int64_t tag;
    StateImage image = StateImage::None;
    bool expanded = false;
  };
  std::vector<Item> items;
  Node selectedNode = kNoNode;
  int clears = 0;

  void clear() override {
    items.clear();
    selectedNode = kNoNode;
    ++clears;
  }
  Node addNode(Node parent, const std::string& caption, std::int64_t tag) override {
    items.push_back({parent, caption, tag});
    return static_cast<Node>(items.size()) - 1;
  }
  void setCaption(Node node, const std::string& caption) override { at(node).caption = caption; }
  void setStateImage(Node node, StateImage image) override { at(node).image = image; }
  void setBold(Node, bool) override {}
  void setExpanded(Node node, bool expanded) override { at(node).expanded = expanded; }
  bool isExpanded(Node node) const override {
    return items.at(static_cast<std::size_t>(node)).expanded;
  }
  void expandAll() override {
    for (auto& item : items) item.expanded = true;
  }
  void collapseAll() override {
    for (auto& item : items) item.expanded = false;
  }
  void scrollToTop() override {}
  void select(Node node) override { selectedNode = node; }
  Node selected() const override { return selectedNode; }
  int nodeCount() const override { return static_cast<int>(items.size()); }
  std::int64_t tag(Node node) const override {
    return items.at(static_cast<std::size_t>(node)).tag;
  }

  StateImage image(Node node) const { return items.at(static_cast<std::size_t>(node)).image; }

 private:
  Item& at(Node node) { return items.at(static_cast<std::size_t>(node)); }
};

class RecordingSink final : public MessageSink {
 public:
  struct Message {
    MessageKind kind;
    std::string text;
  };
  std::vector<Message> messages;
  void showMessage(MessageKind kind, const std::string& text) override {
    messages.push_back({kind, text});
  }
  bool askYesNo(const std::string&, bool) override { return false; }
};

inline ScheduleFile scheduleText(std::string_view text) {
  return parseScheduleText(
      ByteView(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()));
}

// One block in the file format.
inline std::string block(const std::string& id, const std::string& title,
                         const std::string& duration, const std::vector<std::string>& starts) {
  std::string text = id + "\r\n" + title + "\r\n-\r\n-\r\n" + duration + "\r\n";
  for (const auto& s : starts) text += s + "\r\n";
  return text + "#\r\n";
}

}  // namespace tern::testing
