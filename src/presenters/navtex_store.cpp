#include "presenters/navtex_store.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <mutex>

#include "common/latin1.h"
#include "messages/navtex_subjects.h"

namespace tern {

namespace {

// Subject nodes per NAVTEX list, in the order of the frequencies: the root, then its
// categories (0 the 518 kHz root, 1..10 its categories, 11 the 490 kHz root, 12..21).
constexpr int rootOf(int which) { return which * (kNavtexCategories + 1); }

// Key text compared byte by byte as unsigned characters up to the first 0 byte.
bool keyLess(const MessageRecord& a, const MessageRecord& b) {
  std::string ka = a.keyText(), kb = b.keyText();
  return std::lexicographical_compare(
      ka.begin(), ka.end(), kb.begin(), kb.end(),
      [](char x, char y) { return static_cast<unsigned char>(x) < static_cast<unsigned char>(y); });
}

}  // namespace

TNAVTEX::TNAVTEX(MessageStore& store, TextView& memo, TreeView& tree)
    : store_(store), memo_(memo), tree_(tree) {
  subjectNodes_.fill(TreeView::kNoNode);
}

std::string TNAVTEX::RecordCaption(const MessageRecord& r) {
  CivilTime t = r.receptionTime();
  char buf[32];
  std::snprintf(buf, sizeof buf, "  %02d.%02d  %02d:%02d", t.day, t.month, t.hour, t.minute);
  return r.keyText() + buf;
}

void TNAVTEX::BuildTree() {
  // Clearing the tree drops its selection; the memo follows when the first root is selected.
  tree_.clear();
  for (int which = 0; which < kNavtexCount; ++which) {
    const auto root = static_cast<std::size_t>(rootOf(which));
    subjectNodes_[root] = tree_.addNode(TreeView::kNoNode, navtexFrequency(which).caption);
    for (int c = 0; c < kNavtexCategories; ++c)
      subjectNodes_[root + 1 + static_cast<std::size_t>(c)] =
          tree_.addNode(subjectNodes_[root], kNavtexCategoryCaptions[static_cast<std::size_t>(c)]);
    expandState_[root] = true;
  }
  int hidden = 0;
  {
    std::lock_guard lock(store_.mutex());
    for (int which = 0; which < kNavtexCount; ++which) {
      auto& records = store_.navtex(which).records();
      std::stable_sort(records.begin(), records.end(), keyLess);
      const int root = rootOf(which);
      for (const MessageRecord& r : records) {
        if (!filter_.Shown(which, r.keyText())) {
          ++hidden;
          continue;
        }
        std::string caption = RecordCaption(r);
        char indicator = caption.size() > 1 ? caption[1] : ' ';
        TreeView::Node parent =
            subjectNodes_[static_cast<std::size_t>(root + 1 + NavtexCategoryOf(indicator))];
        TreeView::Node node =
            tree_.addNode(parent, latin1ToUtf8(caption), static_cast<std::int64_t>(r.serial));
        tree_.setBold(node, r.newFlag != 0);
      }
    }
  }
  statusText_ = hidden == 0 ? std::string()
                            : std::to_string(hidden) + " NAVTEX-Meldung" +
                                  (hidden == 1 ? "" : "en") + " ausgeblendet (Filter)";
  built_ = true;
  tree_.select(subjectNodes_[0]);
  SelectionChanged();
  for (int i = 0; i < kSubjectNodes; ++i)
    tree_.setExpanded(subjectNodes_[static_cast<std::size_t>(i)],
                      expandState_[static_cast<std::size_t>(i)]);
  tree_.scrollToTop();
}

void TNAVTEX::recordExpandState() {
  if (!built_) return;
  for (int i = 0; i < kSubjectNodes; ++i)
    expandState_[static_cast<std::size_t>(i)] =
        tree_.isExpanded(subjectNodes_[static_cast<std::size_t>(i)]);
}

void TNAVTEX::ExpandAll() {
  tree_.expandAll();
  recordExpandState();
  tree_.scrollToTop();
}

void TNAVTEX::CollapseAll() {
  tree_.collapseAll();
  recordExpandState();
  if (!built_) return;
  for (int which = 0; which < kNavtexCount; ++which) {
    const auto root = static_cast<std::size_t>(rootOf(which));
    expandState_[root] = true;
    tree_.setExpanded(subjectNodes_[root], true);
  }
}

void TNAVTEX::SelectionChanged() {
  TreeView::Node selected = tree_.selected();
  std::int64_t tag = selected == TreeView::kNoNode ? -1 : tree_.tag(selected);
  if (tag <= 0) {
    memo_.clear();
    currentKey_.clear();
    return;
  }
  std::unique_lock lock(store_.mutex());
  MessageRecord* r = store_.find(static_cast<std::uint64_t>(tag));
  if (r == nullptr) {  // dropped by a read-out since the tree was built
    lock.unlock();
    memo_.clear();
    currentKey_.clear();
    return;
  }
  currentKey_ = r->keyText();
  r->newFlag = 0;
  MessageRecord shown = *r;
  lock.unlock();
  recordExpandState();
  tree_.setBold(selected, false);
  ShowMessage(shown);
}

void TNAVTEX::ShowMessage(const MessageRecord& record) {
  memo_.clear();
  memo_.setLines(record.textLines());
}

}  // namespace tern
