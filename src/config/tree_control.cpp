#include "config/tree_control.h"

#include <algorithm>
#include <string_view>

#include "common/latin1.h"

namespace tern {

namespace {

// Stands in for a schedule file that cannot be read: one entry over the whole day, so the
// tree shows plainly that the schedule is missing.
constexpr std::string_view kMissingSchedule =
    "Error!\nNo schedule\nNo schedule\nNo schedule\n23:59\n00:00\n#\n";

constexpr std::array<std::uint8_t, 6> kBlankId{' ', ' ', ' ', ' ', ' ', ' '};

// Whether two spans of the day share a minute, midnight wrapping included.
bool spansOverlap(int a, int lengthA, int b, int lengthB) {
  if (lengthA <= 0 || lengthB <= 0) return false;
  return dayMinute(b - a) < lengthA || dayMinute(a - b) < lengthB;
}

TreeView::StateImage imageOf(NodeKind kind) {
  switch (kind) {
    case NodeKind::Free:
      return TreeView::StateImage::Free;
    case NodeKind::Selected:
      return TreeView::StateImage::Selected;
    case NodeKind::Blocked:
      return TreeView::StateImage::Blocked;
    default:
      return TreeView::StateImage::None;
  }
}

}  // namespace

TTreeControl::TTreeControl(MessageSink& messages, std::string dataFolder)
    : messages_(messages), dataFolder_(std::move(dataFolder)) {
  // The receiver may be sent the block before any save: it must never be all zeros.
  BuildPayload();
}

void TTreeControl::AddSchedule(const std::string& fileName, const std::string& caption,
                               int lastCode, int firstCode, tern::TreeView* tree) {
  ScheduleFile file = readScheduleFile(fileName);
  if (!file.readable) {
    file = parseScheduleText(ByteView(
        reinterpret_cast<const std::uint8_t*>(kMissingSchedule.data()), kMissingSchedule.size()));
  } else if (!file.faults.empty()) {
    std::string text =
        "Fehler im Sendeplan!\n" + fileName + "\n" + describeScheduleFault(file.faults.front());
    if (file.faults.size() > 1)
      text += "\n(und " + std::to_string(file.faults.size() - 1) + " weitere Fehler)";
    messages_.showMessage(MessageKind::Warning, text);
  }
  AddSchedule(file, fileName, caption, lastCode, firstCode, tree);
}

void TTreeControl::AddSchedule(const ScheduleFile& file, const std::string& fileName,
                               const std::string& caption, int lastCode, int firstCode,
                               tern::TreeView* tree) {
  TTreeData data;
  data.FileName = fileName;
  data.Caption = caption;
  data.FirstCode = firstCode;
  data.LastCode = lastCode;
  data.TreeView = tree;

  TTreeNodeData root;
  root.Kind = NodeKind::Root;
  root.Text = recordText(utf8ToLatin1(caption));
  root.FreqCode = kRootFreqCode;
  root.Id = kBlankId;
  data.Entries.push_back(root);

  for (const ScheduleBlock& block : file.blocks) {
    TTreeNodeData group;
    group.Kind = NodeKind::Group;
    group.Text = recordText(block.identifier + " " + block.title);
    group.FreqCode = 0;
    group.Id = kBlankId;
    data.Entries.push_back(group);

    const int duration = timeTextMinutes(block.durationText);
    for (const std::string& startText : block.startTimes) {
      // Reduced to the day both ways: a start of "25:00" would otherwise stay beyond the
      // minute map and make every settings file written with it invalid.
      const int start = dayMinute(timeTextMinutes(startText));
      TTreeNodeData time;
      time.Kind = NodeKind::Free;
      time.StartMinute = static_cast<std::uint16_t>(start);
      time.Duration = static_cast<std::uint8_t>(duration);  // one byte: modulo 256
      time.FreqCode = static_cast<std::uint8_t>(firstCode);
      time.Id = identifierBytes(block.identifier);
      time.Text = FormatMinutes(start) + " - " + FormatMinutes(start + duration);
      data.Entries.push_back(time);
    }
  }
  data.DefaultEntries = data.Entries;
  schedules_.push_back(std::move(data));
  current_ = ScheduleCount() - 1;
  BuildTree();
}

void TTreeControl::AddSchedules(const std::string& programFolder,
                                const std::array<tern::TreeView*, kScheduleCount>& trees) {
  for (std::size_t s = 0; s < kSchedules.size(); ++s) {
    const ScheduleInfo& info = kSchedules[s];
    AddSchedule(programFolder + info.fileName, info.caption, info.lastCode, info.firstCode,
                trees[s]);
  }
}

void TTreeControl::BuildTree() {
  if (validSchedule(current_)) BuildTree(current_);
}

void TTreeControl::BuildTree(int schedule) {
  if (!validSchedule(schedule)) return;
  const TTreeData& s = sched(schedule);
  tern::TreeView* tree = s.TreeView;
  if (tree == nullptr) return;
  tree->clear();
  TreeView::Node lastRoot = TreeView::kNoNode;
  TreeView::Node lastGroup = TreeView::kNoNode;
  for (std::size_t i = 0; i < s.Entries.size(); ++i) {
    const TTreeNodeData& e = s.Entries[i];
    const auto tag = static_cast<std::int64_t>(i);
    switch (e.Kind) {
      case NodeKind::Root:
        lastRoot = tree->addNode(TreeView::kNoNode, latin1ToUtf8(e.Text), tag);
        lastGroup = TreeView::kNoNode;
        break;
      case NodeKind::Group:
        lastGroup = tree->addNode(lastRoot, latin1ToUtf8(e.Text), tag);
        break;
      default: {
        TreeView::Node node = tree->addNode(lastGroup, "", tag);
        tree->setStateImage(node, imageOf(e.Kind));
        break;
      }
    }
  }
  tree->expandAll();
  tree->scrollToTop();
}

std::string TTreeControl::NodeText(int schedule, int entry) const {
  const TTreeNodeData& e = Schedule(schedule).Entries.at(static_cast<std::size_t>(entry));
  std::string text;
  text.reserve(40);  // "hh:mm - hh:mm  Frequenz: nnnnnnnn Hz"
  AppendMinutes(text, e.StartMinute);
  text.append(" - ");
  AppendMinutes(text, e.StartMinute + e.Duration);
  text.append(" ");
  AppendFrequency(text, frequencyHz(e.FreqCode));
  return text;
}

void TTreeControl::UpdateNode(int schedule, int entry, bool caption) {
  if (!validSchedule(schedule)) return;
  TTreeData& s = sched(schedule);
  if (entry < 0 || entry >= s.EntryCount()) return;
  TTreeNodeData& e = s.Entries[static_cast<std::size_t>(entry)];
  tern::TreeView* tree = s.TreeView;
  const bool shown = tree != nullptr && entry < tree->nodeCount();

  TreeView::StateImage image = TreeView::StateImage::None;
  switch (e.Kind) {
    case NodeKind::Free:
      if (cells_.spanFree(e.StartMinute, e.Duration)) {
        image = TreeView::StateImage::Free;
      } else {
        e.Kind = NodeKind::Blocked;
        image = TreeView::StateImage::Blocked;
      }
      break;
    case NodeKind::Selected:
      if (cells_.spanHeldBy(e.StartMinute, e.Duration, s.FirstCode, s.LastCode)) {
        image = TreeView::StateImage::Selected;
      } else {
        e.Kind = NodeKind::Blocked;
        image = TreeView::StateImage::Blocked;
      }
      break;
    case NodeKind::Blocked:
      if (cells_.spanFree(e.StartMinute, e.Duration)) {
        e.Kind = NodeKind::Free;
        image = TreeView::StateImage::Free;
      } else {
        image = TreeView::StateImage::Blocked;
      }
      break;
    default:
      if (shown) tree->setStateImage(entry, TreeView::StateImage::None);
      return;
  }
  if (shown) {
    if (caption) tree->setCaption(entry, NodeText(schedule, entry));
    tree->setStateImage(entry, image);
  }
}

void TTreeControl::UpdateNodes() {
  if (validSchedule(current_)) UpdateNodes(current_);
}

void TTreeControl::UpdateNodes(int schedule) {
  if (!validSchedule(schedule)) return;
  for (int i = 0; i < sched(schedule).EntryCount(); ++i) UpdateNode(schedule, i);
  if (sched(schedule).TreeView != nullptr) sched(schedule).TreeView->expandAll();
}

void TTreeControl::ShowEntries(int schedule) {
  const TTreeData& s = sched(schedule);
  if (s.TreeView == nullptr) return;
  const int shown = std::min(s.EntryCount(), s.TreeView->nodeCount());
  for (int i = 0; i < shown; ++i) {
    const TTreeNodeData& e = s.Entries[static_cast<std::size_t>(i)];
    if (e.isTime()) s.TreeView->setCaption(i, NodeText(schedule, i));
    s.TreeView->setStateImage(i, imageOf(e.Kind));
  }
}

void TTreeControl::SelectSchedule(int index) {
  if (index == current_ || !validSchedule(index)) return;
  current_ = index;
  UpdateNodes();
}

int TTreeControl::selectedEntry() const {
  if (!validSchedule(current_)) return -1;
  const TTreeData& s = Schedule(current_);
  if (s.TreeView == nullptr) return -1;
  const TreeView::Node node = s.TreeView->selected();
  return node >= 0 && node < s.EntryCount() ? node : -1;
}

void TTreeControl::ToggleEntry() {
  const int i = selectedEntry();
  if (i < 0) return;
  TTreeData& s = sched(current_);
  TTreeNodeData& e = s.Entries[static_cast<std::size_t>(i)];
  switch (e.Kind) {
    case NodeKind::Free:
      if (!cells_.spanFree(e.StartMinute, e.Duration)) {
        // Taken, even if only by an entry of this schedule: two selected entries of one
        // channel would ask the receiver for two recordings at once.
        e.Kind = NodeKind::Blocked;
        UpdateNode(current_, i);
        // Another channel's minutes were shown already (the node was blocked); minutes of
        // this schedule's own entries were not, so the click says who holds them.
        bool ownHolder = false;
        for (int k = 0; k < e.Duration; ++k)
          ownHolder = ownHolder || s.inRange(cells_.cell((e.StartMinute + k) % kMinutesPerDay));
        if (ownHolder) ShowConflict(current_, i);
        return;
      }
      e.Kind = NodeKind::Selected;
      if (!s.inRange(e.FreqCode)) e.FreqCode = static_cast<std::uint8_t>(s.FirstCode);
      occupy(e);
      break;
    case NodeKind::Selected:
      e.Kind = NodeKind::Free;
      release(e);
      // Another selected entry of this schedule may share some of these minutes (toggling
      // lets two of them overlap); it must keep them.
      RebuildOwnCells(current_);
      break;
    case NodeKind::Blocked:
      ShowConflict(current_, i);
      break;
    default:
      return;
  }
  // The other entries of this schedule that want these minutes show it at once, without
  // expanding what the user collapsed. Only this entry's caption may have changed (its
  // frequency); rewriting every caption made a click on a long schedule slow.
  for (int k = 0; k < s.EntryCount(); ++k) UpdateNode(current_, k, k == i);
}

void TTreeControl::SelectAll() {
  if (!validSchedule(current_)) return;
  TTreeData& s = sched(current_);
  for (TTreeNodeData& e : s.Entries) {
    if (e.Kind != NodeKind::Free || !cells_.spanFree(e.StartMinute, e.Duration)) continue;
    e.Kind = NodeKind::Selected;
    if (!s.inRange(e.FreqCode)) e.FreqCode = static_cast<std::uint8_t>(s.FirstCode);
    occupy(e);
  }
  UpdateNodes();
}

void TTreeControl::DeselectAll() {
  if (!validSchedule(current_)) return;
  for (TTreeNodeData& e : sched(current_).Entries) {
    if (e.Kind != NodeKind::Selected) continue;
    e.Kind = NodeKind::Free;
    release(e);
  }
  UpdateNodes();
}

void TTreeControl::SetFreqCode(int code) {
  const int i = selectedEntry();
  if (i < 0) return;
  TTreeData& s = sched(current_);
  TTreeNodeData& e = s.Entries[static_cast<std::size_t>(i)];
  if (!e.isTime() || !s.inRange(code)) return;
  e.FreqCode = static_cast<std::uint8_t>(code);  // occupied cells keep their old code
  UpdateNode(current_, i);
}

void TTreeControl::SetStartOffset(int minutes) { SetStartOffset(current_, minutes); }

void TTreeControl::SetStartOffset(int schedule, int minutes) {
  if (!validSchedule(schedule)) return;
  TTreeData& s = sched(schedule);
  if (minutes < -kMaxStartOffset || minutes > kMaxStartOffset) minutes = 0;
  if (minutes == s.StartOffset) return;
  const int d = minutes - s.StartOffset;
  s.StartOffset = minutes;
  for (TTreeNodeData& e : s.Entries)
    e.StartMinute = static_cast<std::uint16_t>(dayMinute(e.StartMinute + d));
  RebuildOwnCells(schedule);
  UpdateNodes(schedule);
}

void TTreeControl::RebuildOwnCells(int schedule) {
  const TTreeData& s = sched(schedule);
  for (auto& cell : cells_.Cells)
    if (s.inRange(cell)) cell = kFreeCell;
  for (const TTreeNodeData& e : s.Entries) {
    if (e.Kind == NodeKind::Selected && s.inRange(e.FreqCode) &&
        cells_.spanFree(e.StartMinute, e.Duration))
      occupy(e);
  }
}

void TTreeControl::RebuildAllCells() {
  cells_.clear();
  for (const TTreeData& s : schedules_) {
    for (const TTreeNodeData& e : s.Entries) {
      if (e.Kind == NodeKind::Selected && s.inRange(e.FreqCode) &&
          cells_.spanFree(e.StartMinute, e.Duration))
        occupy(e);
    }
  }
}

void TTreeControl::ShowConflict(int schedule, int entry) {
  if (!validSchedule(schedule) || entry < 0 || entry >= sched(schedule).EntryCount()) return;
  const TTreeNodeData& e = sched(schedule).Entries[static_cast<std::size_t>(entry)];
  for (int si = 0; si < ScheduleCount(); ++si) {
    const TTreeData& s = sched(si);
    const std::string* group = nullptr;
    for (std::size_t gi = 0; gi < s.Entries.size(); ++gi) {
      const TTreeNodeData& g = s.Entries[gi];
      if (g.Kind == NodeKind::Group) group = &g.Text;
      if (g.Kind != NodeKind::Selected || &g == &e) continue;
      if (!spansOverlap(e.StartMinute, e.Duration, g.StartMinute, g.Duration)) continue;
      std::string text = "Empfangszeit bereits belegt durch: " + s.Caption + " " +
                         latin1ToUtf8(group != nullptr ? *group : std::string()) + " " +
                         FormatMinutes(g.StartMinute) + " - " +
                         FormatMinutes(g.StartMinute + g.Duration);
      messages_.showMessage(MessageKind::Plain, text);
      return;
    }
  }
}

std::vector<std::pair<int, std::string>> TTreeControl::FrequencyMenu() const {
  std::vector<std::pair<int, std::string>> items;
  if (!validSchedule(current_)) return items;
  const TTreeData& s = Schedule(current_);
  for (int code = s.FirstCode; code <= s.LastCode; ++code)
    items.emplace_back(code, FormatFrequency(frequencyHz(code)));
  return items;
}

int TTreeControl::CurrentStartOffset() const {
  return validSchedule(current_) ? Schedule(current_).StartOffset : 0;
}

int TTreeControl::CurrentFaxTurn() const {
  return validSchedule(current_) ? Schedule(current_).FaxTurn : 0;
}

void TTreeControl::SetCurrentFaxTurn(int turn) {
  // A stored value above the limit would make the whole settings file invalid on the next
  // start, losing every selection with it.
  if (validSchedule(current_)) sched(current_).FaxTurn = std::min(turn, kMaxFaxTurn);
}

int TTreeControl::FaxTurn(int schedule) const {
  return validSchedule(schedule) ? Schedule(schedule).FaxTurn : 0;
}

void TTreeControl::SetFaxTurn(int schedule, int turn) {
  if (validSchedule(schedule)) sched(schedule).FaxTurn = std::min(turn, kMaxFaxTurn);
}

void TTreeControl::AttachTreeViews(const std::array<tern::TreeView*, kScheduleCount>& trees) {
  for (int si = 0; si < ScheduleCount() && si < kScheduleCount; ++si) {
    sched(si).TreeView = trees[static_cast<std::size_t>(si)];
    BuildTree(si);
    UpdateNodes(si);
  }
}

void TTreeControl::DetachTreeViews() {
  for (TTreeData& s : schedules_) s.TreeView = nullptr;
}

tern::TreeView* TTreeControl::CurrentTreeView() const {
  return validSchedule(current_) ? Schedule(current_).TreeView : nullptr;
}

}  // namespace tern
