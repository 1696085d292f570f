#include "presenters/fax_store.h"

#include <algorithm>
#include <mutex>

#include "common/latin1.h"
#include "config/schedule_file.h"
#include "config/schedule_table.h"
#include "presenters/dwd_store.h"

namespace tern {

namespace {
const char* const kMissingFile = "Missing file:";
const char* const kScheduleError = "Fehler im Sendeplan!";
}  // namespace

TFAX::TFAX(MessageStore& store, MessageSink& messages, FaxTurnSource faxTurn)
    : store_(store), messages_(messages), faxTurn_(std::move(faxTurn)) {}

void TFAX::AddStation(const std::string& fileName, const std::string& caption, int slots, int rows,
                      int table, TreeView* tree, FaxImageView* image) {
  TFAXData station;
  station.FileName = fileName;
  station.Caption = caption;
  station.Slots = std::clamp(slots, 0, MessageTable::kSlots);
  station.Rows = std::max(rows, 0);
  station.Table = table;
  station.Tree = tree;
  station.Image = image;
  ScheduleFile file = readScheduleFile(fileName);
  if (!file.readable)
    messages_.showMessage(MessageKind::Plain, kMissingFile + fileName);
  else
    station.Entries = scheduleEntryTexts(file);
  stations_.push_back(std::move(station));
  current_ = StationCount() - 1;
}

void TFAX::AddStations(const std::string& programFolder,
                       const std::array<TreeView*, kFaxStationCount>& trees,
                       const std::array<FaxImageView*, kFaxStationCount>& images) {
  for (int k = 0; k < kFaxStationCount; ++k) {
    const ScheduleInfo& info = faxStation(k);
    AddStation(programFolder + info.fileName, info.caption, MessageTable::kSlots,
               info.identifierCount, kFirstFaxTable + k, trees[static_cast<std::size_t>(k)],
               images[static_cast<std::size_t>(k)]);
  }
}

void TFAX::BuildTree() {
  for (int k = 0; k < StationCount(); ++k) {
    current_ = k;
    TFAXData& st = stations_[static_cast<std::size_t>(k)];
    if (st.Tree == nullptr) continue;
    TreeView& tree = *st.Tree;
    bool scheduleError = false;
    {
      std::lock_guard lock(store_.mutex());
      const MessageTable& table = store_.table(st.Table);
      tree.clear();
      const TreeView::Node top = tree.addNode(TreeView::kNoNode, st.Caption);
      const int rows = std::min(st.Rows, table.rowCount());
      for (int row = 0; row < rows && !scheduleError; ++row) {
        bool any = false;
        for (int s = 0; s < st.Slots; ++s) any = any || !table.slot(row, s).isEmpty();
        if (!any) continue;
        if (row >= static_cast<int>(st.Entries.size())) {
          scheduleError = true;
          break;
        }
        const TreeView::Node group =
            tree.addNode(top, latin1ToUtf8(st.Entries[static_cast<std::size_t>(row)]));
        for (int s = 0; s < st.Slots; ++s) {
          const MessageRecord& r = table.slot(row, s);
          if (r.isEmpty()) continue;
          const TreeView::Node node = tree.addNode(group, latin1ToUtf8(TDWDStore::RecordCaption(r)),
                                                   static_cast<std::int64_t>(r.serial));
          tree.setBold(node, r.newFlag != 0);
        }
      }
      if (!scheduleError) tree.setExpanded(top, true);
    }
    // Told outside the lock: a message box waits for the user.
    if (scheduleError) {
      messages_.showMessage(MessageKind::Warning, kScheduleError);
      return;
    }
  }
}

std::optional<TFAX::Decoded> TFAX::decode(std::uint64_t serial, bool markRead, int faxTurn,
                                          FaxPicture* full) {
  bool quality = false;
  Decoded decoded;
  {
    std::lock_guard lock(store_.mutex());
    MessageRecord* r = serial == 0 ? nullptr : store_.find(serial);
    if (r == nullptr) return std::nullopt;
    if (markRead) r->newFlag = 0;
    decoded.key = r->keyText();
    quality = (r->flagByte() & kQualityFlagBit) != 0;
    // Only the unpacking reads the record; the layout works on the store's own buffers.
    image_.Unpack(r->data);
  }
  decoded.rect = image_.Layout(quality, faxTurn, full);
  return decoded;
}

bool TFAX::decodeImage(std::uint64_t serial, FaxPicture* full) {
  if (current_ < 0) return false;
  const int turn = faxTurnOf(current_);
  auto decoded = decode(serial, false, turn, full);
  if (!decoded) return false;
  TFAXData& st = CurrentStation();
  st.RotationState = 0;
  st.StationRect = decoded->rect;
  st.CurrentKey = decoded->key;
  st.ShownSerial = serial;
  return true;
}

bool TFAX::ShowChart(std::uint64_t serial) {
  if (current_ < 0) return false;
  TFAXData& st = CurrentStation();
  if (st.HalfSize != 0) {
    if (!decodeImage(serial, nullptr)) return false;
    RenderImage(true);
    return true;
  }
  // At full size the decode writes the picture in the same pass as the buffer.
  if (!decodeImage(serial, &picture_)) return false;
  if (st.Image != nullptr) st.Image->showPicture(picture_);
  return true;
}

void TFAX::ShowSelected(const TreeView* tree) {
  int station = -1;
  for (int k = 0; k < StationCount(); ++k)
    if (tree != nullptr && stations_[static_cast<std::size_t>(k)].Tree == tree) station = k;
  if (station < 0) return;
  current_ = station;
  TreeView& view = *CurrentStation().Tree;
  const TreeView::Node node = view.selected();
  if (node == TreeView::kNoNode) return;
  const std::int64_t tag = view.tag(node);
  if (tag <= 0) return;
  const auto serial = static_cast<std::uint64_t>(tag);
  {
    // Marked read before the decode, like every view of a message.
    std::lock_guard lock(store_.mutex());
    MessageRecord* r = store_.find(serial);
    if (r == nullptr) return;  // dropped by a read-out since the tree was built
    r->newFlag = 0;
  }
  view.setBold(node, false);
  ShowChart(serial);
}

void TFAX::RenderImage(bool half) {
  if (current_ < 0) return;
  TFAXData& st = CurrentStation();
  st.HalfSize = half ? 1 : 0;
  image_.Render(half, st.RotationState, st.StationRect, picture_);
  if (st.Image != nullptr) st.Image->showPicture(picture_);
}

void TFAX::RotateImage() {
  if (current_ < 0) return;
  image_.Rotate();
  TFAXData& st = CurrentStation();
  st.RotationState = static_cast<std::uint8_t>((st.RotationState + 1) % 4);
}

std::optional<std::string> TFAX::SelectedKey() const {
  if (current_ < 0 || CurrentTree() == nullptr) return std::nullopt;
  const TreeView& view = *CurrentTree();
  const TreeView::Node node = view.selected();
  if (node == TreeView::kNoNode || view.tag(node) <= 0) return std::nullopt;
  std::lock_guard lock(store_.mutex());
  const MessageRecord* r = store_.find(static_cast<std::uint64_t>(view.tag(node)));
  if (r == nullptr) return std::nullopt;
  return r->keyText();
}

std::string TFAX::ImageFileName(const std::string& keyText) {
  // Key texts come from the receiver: nothing in them may reach outside the folder.
  std::string name = keyText.substr(0, 6);
  for (char& c : name) {
    const auto u = static_cast<unsigned char>(c);
    const bool keep = (u >= '0' && u <= '9') || (u >= 'A' && u <= 'Z') || (u >= 'a' && u <= 'z') ||
                      u == '-' || u == '_' || u == ' ';
    if (!keep) c = '_';
  }
  if (name.empty()) return "_.BMP";
  return name + ".BMP";
}

}  // namespace tern
