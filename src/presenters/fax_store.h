// The fax store: the charts that the receiver recorded from the five radio fax stations.
// Each station has a tree of schedule entries and recordings and an image; a selected
// recording is decoded into the store's one image buffer and rendered at full or half size,
// in any of four quarter turns. The message records stay in the message store; the tree
// nodes carry their serials, so a record that a read-out moved or dropped is found missing
// rather than read after it was freed.
//
// The store does not know the settings: the slant value of a station comes through a
// callback the window supplies (from the selection model's fax schedules).
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "common/message_sink.h"
#include "common/tree_view.h"
#include "config/schedule_table.h"
#include "fax/fax_image.h"
#include "fax/fax_picture.h"
#include "messages/message_store.h"

namespace tern {

// One fax station and the view state of the chart it shows.
// Thread: window thread only.
struct TFAXData {
  std::string FileName;            // schedule file, full path
  std::uint8_t RotationState = 0;  // quarter turns applied since the chart was decoded
  FaxRect StationRect;             // the decoded chart in the unturned buffer
  // The schedule entry list: identifier (first six characters) + " " + title, Latin-1.
  std::vector<std::string> Entries;
  std::uint8_t HalfSize = 1;  // 1: shown at half size
  std::string CurrentKey;     // key text of the chart decoded last, Latin-1
  FaxImageView* Image = nullptr;
  TreeView* Tree = nullptr;
  std::string Caption;
  int Table = 0;  // the station's schedule table in the message store
  int Rows = 0;
  int Slots = MessageTable::kSlots;
  std::uint64_t ShownSerial = 0;  // the record decoded last for this station; 0: none
};

// Thread: window thread only; reads and marks records under the message store's lock.
class TFAX {
 public:
  // The slant value (`FaxTurn`) of a station's schedule; none means 0 for all.
  using FaxTurnSource = std::function<int(int station)>;

  TFAX(MessageStore& store, MessageSink& messages, FaxTurnSource faxTurn = {});

  // Appends a station and makes it current; its entry list comes from the schedule file
  // ("Missing file:" + the file name when it cannot be read; the list stays empty).
  void AddStation(const std::string& fileName, const std::string& caption, int slots, int rows,
                  int table, TreeView* tree, FaxImageView* image);
  // The five stations in table order, schedule files from `programFolder` (ends with '/').
  void AddStations(const std::string& programFolder,
                   const std::array<TreeView*, kFaxStationCount>& trees,
                   const std::array<FaxImageView*, kFaxStationCount>& images);
  void SetFaxTurnSource(FaxTurnSource faxTurn) { faxTurn_ = std::move(faxTurn); }

  // Rebuilds every station's tree; the last station is current afterwards. A recorded row
  // without a schedule entry shows "Fehler im Sendeplan!" and ends the rebuild.
  void BuildTree();
  // Makes the station of `tree` current and shows its selected recording, marking it read.
  void ShowSelected(const TreeView* tree);
  // Decodes the record into the buffer for the current station and renders it at the
  // station's size. False (nothing changed) when the record is gone.
  bool ShowChart(std::uint64_t serial);
  // Renders the current station's chart at half or full size and shows it.
  void RenderImage(bool half);
  // A quarter turn counter-clockwise of the buffer; the caller renders afterwards.
  void RotateImage();

  // The key text of the current station's selected recording; nothing when no recording is
  // selected or it is gone.
  std::optional<std::string> SelectedKey() const;
  // File name of a chart: the key's first six characters + ".BMP"; characters that do not
  // belong in a file name become '_'.
  static std::string ImageFileName(const std::string& keyText);

  int StationCount() const { return static_cast<int>(stations_.size()); }
  int Current() const { return current_; }
  TFAXData& Station(int k) { return stations_.at(static_cast<std::size_t>(k)); }
  const TFAXData& Station(int k) const { return stations_.at(static_cast<std::size_t>(k)); }
  TFAXData& CurrentStation() { return Station(current_); }
  const TFAXData& CurrentStation() const { return Station(current_); }
  bool HalfSize() const { return CurrentStation().HalfSize != 0; }
  TreeView* CurrentTree() const { return CurrentStation().Tree; }
  // The picture rendered last.
  const FaxPicture& Picture() const { return picture_; }
  const FaxImage& Buffers() const { return image_; }

 private:
  struct Decoded {
    std::string key;
    FaxRect rect;
  };
  // Given `full`, the chart is also rendered into it at full size, unturned.
  std::optional<Decoded> decode(std::uint64_t serial, bool markRead, int faxTurn, FaxPicture* full);
  bool decodeImage(std::uint64_t serial, FaxPicture* full);
  int faxTurnOf(int station) const { return faxTurn_ ? faxTurn_(station) : 0; }

  MessageStore& store_;
  MessageSink& messages_;
  FaxTurnSource faxTurn_;
  std::vector<TFAXData> stations_;
  int current_ = -1;
  FaxImage image_;
  FaxPicture picture_;
};

}  // namespace tern
