// The DWD bulletin stores: one schedule table (German or English) as a tree of schedule
// entries and their recordings, the selected bulletin as text, unread ones in bold. Both
// languages share this implementation; TDWDDeutsch and TDWDEnglisch only pick the table.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "common/text_view.h"
#include "common/tree_view.h"
#include "messages/message_store.h"

namespace tern {

// Thread: window thread only; reads the message store under its lock.
class TDWDStore {
 public:
  TDWDStore(MessageStore& store, TextView& memo, TreeView& tree, int table, std::string topCaption);

  void BuildTree();
  void ExpandAll();
  void CollapseAll();
  // The tree's selection changed: show the selected bulletin and mark it read.
  void SelectionChanged();
  // Shows the bulletin of node-table entry k (row k / 4, slot k % 4 - 1).
  void ShowBulletin(int k);

  // Key text of the bulletin shown last; empty when none is shown.
  const std::string& CurrentKey() const { return currentKey_; }

  // The caption of a recording's node: "05.03  14:20  DDH9 (11039.0 kHz)".
  static std::string RecordCaption(const MessageRecord& record);
  // The memo's lines of a bulletin: LF ends a line, every other byte (CR too) belongs to it;
  // a broken-off recording ends with an empty line and a note.
  static std::vector<std::string> BulletinLines(const MessageRecord& record);

 private:
  MessageStore& store_;
  TextView& memo_;
  TreeView& tree_;
  int table_;
  std::string topCaption_;
  std::string currentKey_;
  std::vector<TreeView::Node> nodes_;  // 4 per row: group, slot 0, 1, 2
  TreeView::Node top_ = TreeView::kNoNode;
};

class TDWDDeutsch : public TDWDStore {
 public:
  TDWDDeutsch(MessageStore& store, TextView& memo, TreeView& tree)
      : TDWDStore(store, memo, tree, 0, "Wetter deutsch") {}
};

class TDWDEnglisch : public TDWDStore {
 public:
  TDWDEnglisch(MessageStore& store, TextView& memo, TreeView& tree)
      : TDWDStore(store, memo, tree, 1, "Wetter englisch") {}
};

}  // namespace tern
