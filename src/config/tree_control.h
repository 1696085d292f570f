// The selection model of the reception schedule: the seven schedules with their entries, the
// shared minute map that refuses overlapping transmissions, and the receiver settings that
// go with them (stored in the settings file, sent to the receiver as the schedule block).
// The configuration dialog drives it; it shows itself only through the tree and message
// seams, so it runs the same under the window, the command-line tool and the tests.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "common/bytes.h"
#include "common/file_io.h"
#include "common/message_sink.h"
#include "common/tree_view.h"
#include "config/schedule_file.h"
#include "config/schedule_table.h"
#include "config/time_alloc.h"
#include "config/tree_node_data.h"

namespace tern {

using TTreeNodeDataArray = std::vector<TTreeNodeData>;

// One schedule. Entries: the root record, then per block its group record and time records;
// entry i is shown by node i of TreeView.
struct TTreeData {
  std::string FileName;
  std::string Caption;
  std::int32_t StartOffset = 0;  // minutes, -30..30
  TTreeNodeDataArray Entries;
  tern::TreeView* TreeView = nullptr;  // owned by the dialog; may be null (no display)
  std::int32_t FirstCode = 0;
  std::int32_t LastCode = 0;
  std::int32_t FaxTurn = 0;  // fax slant correction of this station, at most kMaxFaxTurn
  // The entries as read from the file (offset 0, nothing selected): what a missing or
  // invalid settings file falls back to without reading (and reporting) the file again.
  TTreeNodeDataArray DefaultEntries;

  std::int32_t EntryCount() const { return static_cast<std::int32_t>(Entries.size()); }
  bool inRange(int code) const { return code >= FirstCode && code <= LastCode; }
};

inline constexpr const char* kSettingsFileName = "TERN_CONFIG.CFG";
inline constexpr std::size_t kSettingsHeaderSize = 1033;
inline constexpr std::size_t kExportPathSize = 1024;
inline constexpr std::int32_t kMaxFaxTurn = 1000;
inline constexpr int kMaxBaroHeight = 750;
inline constexpr int kMaxStartOffset = 30;
inline constexpr int kPayloadSlots = 200;
inline constexpr std::size_t kPayloadSize = 2001;
// The settings file's first three bytes: the version of the program that defined its layout.
// It is a mark of the file format, not the program's version (common/version.h): it stays as
// it is when the program's version moves on, or every settings file written before would be
// refused.
inline constexpr std::array<std::uint8_t, 3> kSettingsSignature{1, 3, 40};

// Option bits.
inline constexpr std::uint8_t kOptionAntenna = 0x01;
inline constexpr std::uint8_t kOptionNavtex490 = 0x02;
inline constexpr std::uint8_t kOptionNavtex518 = 0x04;

// The 2001-byte schedule block for the receiver: 200 slots of 10 bytes, then the options.
using SchedulePayload = std::array<std::uint8_t, kPayloadSize>;

enum class SettingsLoad {
  Valid,    // read and applied
  Missing,  // no settings file (or none that could be opened): the defaults apply, valid
  Invalid,  // damaged, or written with other schedule files: the defaults apply
};

enum class NavtexChoice { Navtex490, Navtex518, PowerSave };

// What the settings do to other parts of the program. Unset hooks do nothing.
struct SettingsHooks {
  // The barometer height changed (or was loaded): barograph StationHeight and redraw.
  std::function<void(int metres)> baroHeightChanged;
  // The automatic export was switched: the polling thread follows.
  std::function<void(bool on)> autoExportChanged;
  // A save with the automatic export switched on exports all messages into the folder
  // (UTF-8 path).
  std::function<void(const std::string& folder)> runExport;
};

// Thread: one thread at a time: the window thread (the polling thread's steps that read it
// run there, inside the hand-over), or in tern-cli the thread that runs the passes while the
// main thread waits. The polling thread gets the schedule block as a copy (PushSettings).
class TTreeControl {
 public:
  // `dataFolder` ends with '/' and holds the settings file.
  TTreeControl(MessageSink& messages, std::string dataFolder);

  // --- schedules and selection -------------------------------------------------------------
  // Appends a schedule read from `fileName`, makes it current and builds its tree. A file
  // that cannot be read stands in as one "Error!" block; a damaged one is shown as far as it
  // reads and the user is told what is wrong with it (once per file).
  void AddSchedule(const std::string& fileName, const std::string& caption, int lastCode,
                   int firstCode, tern::TreeView* tree);
  // The same with the file already read.
  void AddSchedule(const ScheduleFile& file, const std::string& fileName,
                   const std::string& caption, int lastCode, int firstCode, tern::TreeView* tree);
  // The seven schedules of kSchedules from the program folder (ends with '/'); `trees` may
  // hold nulls.
  void AddSchedules(const std::string& programFolder,
                    const std::array<tern::TreeView*, kScheduleCount>& trees = {});

  void BuildTree();  // the current schedule's tree
  void BuildTree(int schedule);
  // Settles the entry's state against the minute map and shows it; its caption too, unless
  // `caption` is false (for entries whose start, length and frequency did not change).
  void UpdateNode(int schedule, int entry, bool caption = true);
  void UpdateNodes();  // the current schedule, then expand its tree fully
  void UpdateNodes(int schedule);
  void SelectSchedule(int index);
  void ToggleEntry();  // the entry of the current tree's selected node
  void SelectAll();
  void DeselectAll();
  void SetFreqCode(int code);        // codes outside the current schedule's range are ignored
  void SetStartOffset(int minutes);  // on the current schedule
  void SetStartOffset(int schedule, int minutes);
  void RebuildAllCells();
  void ShowConflict(int schedule, int entry);

  // The text of a time record's node: times after the offset and the frequency.
  std::string NodeText(int schedule, int entry) const;
  // The frequency menu of the current schedule: (code, text) for its codes first..last.
  std::vector<std::pair<int, std::string>> FrequencyMenu() const;

  int Current() const { return current_; }
  int ScheduleCount() const { return static_cast<int>(schedules_.size()); }
  const TTreeData& Schedule(int index) const {
    return schedules_.at(static_cast<std::size_t>(index));
  }
  const TTimeAlloc& TimeAlloc() const { return cells_; }
  int CurrentStartOffset() const;
  int CurrentFaxTurn() const;
  void SetCurrentFaxTurn(int turn);  // values above kMaxFaxTurn are stored as kMaxFaxTurn
  tern::TreeView* CurrentTreeView() const;
  // The slant value of any schedule, read or set without making it current: the fax pages
  // use it while the configuration dialog may have another schedule current.
  int FaxTurn(int schedule) const;
  void SetFaxTurn(int schedule, int turn);  // values above kMaxFaxTurn are stored as kMaxFaxTurn

  // The configuration dialog shows the schedules in its trees only while it exists: it
  // attaches them when it is created (every tree is rebuilt from the entries as they are)
  // and detaches them before its widgets go. The model lives on without trees.
  void AttachTreeViews(const std::array<tern::TreeView*, kScheduleCount>& trees);
  void DetachTreeViews();

  // --- settings ----------------------------------------------------------------------------
  void SetHooks(SettingsHooks hooks) { hooks_ = std::move(hooks); }
  std::string SettingsPath() const { return dataFolder_ + kSettingsFileName; }
  // The folder of the settings file, where the choices kept beside it go.
  const std::string& SettingsFolder() const { return dataFolder_; }

  // Reads the settings file into the schedules and options. Whatever the result, the
  // schedules, the minute map, the trees and the payload agree afterwards; when the file is
  // missing or invalid, everything returns to the defaults (which also takes back changes
  // not saved, as a cancel expects).
  SettingsLoad LoadSettings();
  // The same with the file's bytes already read (Valid or Invalid).
  SettingsLoad LoadSettings(ByteView bytes);
  // Writes the settings file (replaced whole); a failure is shown to the user. While the
  // loaded file is unusable nothing is written (the user's file stays as it is) until the
  // dialog's save (Save) replaces it.
  FileStatus SaveSettings();
  // The settings file's bytes for the current state.
  Bytes SettingsBytes() const;
  void BuildPayload();
  const SchedulePayload& Payload() const { return payload_; }
  // False after a settings file was loaded that is damaged, cut short or of another version,
  // until the dialog's save: the defaults in its place are no choice of the user.
  bool SettingsUsable() const { return settingsUsable_; }
  // The schedule block that may go to the receiver: empty while the settings are unusable,
  // so the receiver's schedule is never overwritten by a block built from defaults.
  Bytes ScheduleBlockToSend() const;
  // The save button's work: payload, settings file, and the export run when switched on.
  FileStatus Save();
  // Every schedule and option back to its default.
  void RestoreDefaults();

  std::uint8_t Options() const { return options_; }
  std::int32_t BaroHeight() const { return baroHeight_; }
  bool ExportOn() const { return exportOn_ != 0; }
  std::string ExportPath() const;  // text up to the terminating NUL
  void ChooseNavtex(NavtexChoice choice);
  void SetAntenna(bool on);
  // Clamps to 0..750, stores and tells the barograph; returns the value stored.
  int SetBaroHeight(int metres);
  void SetExportOn(bool on);
  // False (nothing changed) when the path does not fit the 1023 bytes the file holds.
  bool SetExportPath(const std::string& folder);

 private:
  TTreeData& sched(int index) { return schedules_[static_cast<std::size_t>(index)]; }
  bool validSchedule(int index) const { return index >= 0 && index < ScheduleCount(); }
  void occupy(const TTreeNodeData& e) { cells_.fill(e.StartMinute, e.Duration, e.FreqCode); }
  void release(const TTreeNodeData& e) { cells_.fill(e.StartMinute, e.Duration, kFreeCell); }
  void RebuildOwnCells(int schedule);
  // Captions and state images of every node from the entries as they are, kinds untouched.
  void ShowEntries(int schedule);
  int selectedEntry() const;
  // A settings file may mark entries selected whose minutes another entry already holds,
  // or give an entry another station's frequency: such entries lose their claim here, so
  // the schedule block never asks for two recordings at once or a fax on an RTTY frequency.
  void NormaliseLoadedEntries();

  MessageSink& messages_;
  std::string dataFolder_;
  SettingsHooks hooks_;

  std::array<std::uint8_t, 3> signature_ = kSettingsSignature;
  std::uint8_t options_ = 0;
  std::int32_t baroHeight_ = 0;
  std::array<std::uint8_t, kExportPathSize> exportPath_{};
  std::uint8_t exportOn_ = 0;
  int current_ = -1;
  std::vector<TTreeData> schedules_;
  TTimeAlloc cells_;
  SchedulePayload payload_{};
  bool settingsUsable_ = true;
};

}  // namespace tern
