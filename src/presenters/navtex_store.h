// The NAVTEX store: both frequency lists as a tree of subject categories, the selected
// message as text, unread ones in bold. Which category nodes the user opened survives
// every rebuild of the tree. Messages the NAVTEX filter hides are left out of the tree (they
// stay in the lists, the data files and the export); the status text counts them.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "common/text_view.h"
#include "common/tree_view.h"
#include "messages/message_store.h"
#include "messages/navtex_filter.h"
#include "messages/navtex_subjects.h"

namespace tern {

// Thread: window thread only; reads (and sorts) the message store's lists under its lock.
class TNAVTEX {
 public:
  static constexpr int kSubjectNodes = kNavtexCount * (kNavtexCategories + 1);

  TNAVTEX(MessageStore& store, TextView& memo, TreeView& tree);

  // Takes effect at the next BuildTree.
  void SetFilter(const NavtexFilter& filter) { filter_ = filter; }
  void BuildTree();
  void ExpandAll();
  void CollapseAll();
  void SelectionChanged();
  void ShowMessage(const MessageRecord& record);

  const std::string& CurrentKey() const { return currentKey_; }
  // Shown in status panel 2 while the NAVTEX page is open: how many messages the filter
  // hides ("3 NAVTEX-Meldungen ausgeblendet (Filter)"), empty when none.
  const std::string& StatusText() const { return statusText_; }
  const std::array<bool, kSubjectNodes>& ExpandState() const { return expandState_; }

  // "SA01  05.03  14:20"
  static std::string RecordCaption(const MessageRecord& record);

 private:
  void recordExpandState();

  MessageStore& store_;
  TextView& memo_;
  TreeView& tree_;
  std::string currentKey_;
  std::string statusText_;
  NavtexFilter filter_;
  std::array<TreeView::Node, kSubjectNodes> subjectNodes_{};
  std::array<bool, kSubjectNodes> expandState_{};
  bool built_ = false;
};

}  // namespace tern
