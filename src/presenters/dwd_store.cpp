#include "presenters/dwd_store.h"

#include <cstdio>
#include <mutex>

#include "common/latin1.h"
#include "link/transmitter_names.h"

namespace tern {

namespace {
const char* const kBrokenOff = "Aufzeichnung nach Sendeplan abgebrochen.";
}

TDWDStore::TDWDStore(MessageStore& store, TextView& memo, TreeView& tree, int table,
                     std::string topCaption)
    : store_(store), memo_(memo), tree_(tree), table_(table), topCaption_(std::move(topCaption)) {}

std::string TDWDStore::RecordCaption(const MessageRecord& r) {
  CivilTime t = r.receptionTime();
  char buf[32];
  std::snprintf(buf, sizeof buf, "%02d.%02d  %02d:%02d  ", t.day, t.month, t.hour, t.minute);
  return buf + TransmitterName(r.transmitterCode());
}

std::vector<std::string> TDWDStore::BulletinLines(const MessageRecord& record) {
  std::vector<std::string> lines;
  std::string line;
  for (std::uint8_t b : record.data) {
    if (b == '\n') {
      lines.push_back(std::move(line));
      line.clear();
    } else {
      line.push_back(static_cast<char>(b));
    }
  }
  if (!line.empty()) lines.push_back(std::move(line));
  if (record.flagByte() & 1) {
    lines.emplace_back();
    lines.emplace_back(kBrokenOff);
  }
  return lines;
}

void TDWDStore::BuildTree() {
  std::lock_guard lock(store_.mutex());
  const MessageTable& table = store_.table(table_);
  tree_.clear();
  top_ = tree_.addNode(TreeView::kNoNode, topCaption_);
  nodes_.assign(static_cast<std::size_t>(table.rowCount()) * 4, TreeView::kNoNode);
  for (int row = 0; row < table.rowCount(); ++row) {
    bool any = false;
    for (int s = 0; s < MessageTable::kSlots; ++s) any = any || !table.slot(row, s).isEmpty();
    if (!any) continue;
    const std::string& id = store_.identifiers(table_)[static_cast<std::size_t>(row)];
    std::string caption = id.size() > 7 ? id.substr(7) : std::string();
    TreeView::Node group = tree_.addNode(top_, latin1ToUtf8(caption));
    nodes_[static_cast<std::size_t>(row) * 4] = group;
    for (int s = 0; s < MessageTable::kSlots; ++s) {
      const MessageRecord& r = table.slot(row, s);
      if (r.isEmpty()) continue;
      TreeView::Node node =
          tree_.addNode(group, latin1ToUtf8(RecordCaption(r)), static_cast<std::int64_t>(r.serial));
      nodes_[static_cast<std::size_t>(row) * 4 + 1 + static_cast<std::size_t>(s)] = node;
      tree_.setBold(node, r.newFlag != 0);
    }
  }
  tree_.setExpanded(top_, true);
}

void TDWDStore::ExpandAll() {
  tree_.expandAll();
  tree_.scrollToTop();
}

void TDWDStore::CollapseAll() {
  tree_.collapseAll();
  if (top_ != TreeView::kNoNode && top_ < tree_.nodeCount()) tree_.setExpanded(top_, true);
}

void TDWDStore::SelectionChanged() {
  TreeView::Node selected = tree_.selected();
  if (selected == TreeView::kNoNode) return;
  for (std::size_t k = 0; k < nodes_.size(); ++k) {
    if (k % 4 == 0 || nodes_[k] != selected) continue;
    {
      std::lock_guard lock(store_.mutex());
      MessageRecord* r = store_.find(static_cast<std::uint64_t>(tree_.tag(selected)));
      if (r != nullptr) r->newFlag = 0;
    }
    tree_.setBold(selected, false);
    ShowBulletin(static_cast<int>(k));
    return;
  }
}

void TDWDStore::ShowBulletin(int k) {
  memo_.clear();
  TreeView::Node node = nodes_.at(static_cast<std::size_t>(k));
  std::lock_guard lock(store_.mutex());
  // The record is looked up by its serial: one that a read-out moved or dropped since the
  // tree was built is simply not shown.
  const MessageRecord* r = node == TreeView::kNoNode
                               ? nullptr
                               : store_.find(static_cast<std::uint64_t>(tree_.tag(node)));
  if (r == nullptr) {
    currentKey_.clear();
    return;
  }
  currentKey_ = r->keyText();
  memo_.setLines(BulletinLines(*r));
}

}  // namespace tern
