// The settings half of TTreeControl: the settings file, the schedule block for the receiver
// and the option changes of the configuration dialog.
//
// Settings file (little-endian, no padding):
//   0     signature 1, 3, 40
//   3     options
//   4     barometer height, i32
//   8     export folder, 1024 bytes, NUL-terminated
//   1032  export switch
//   1033  per schedule in the fixed order: fax slant i32, start offset i32, then every entry
//         as its 140-byte record (start minutes already moved by the offset)
// The file holds no counts: it fits only the schedule files it was written with, so its size
// must be exactly what the schedules give; a file of any other size is invalid.
#include <algorithm>
#include <cerrno>
#include <cstring>

#include "config/tree_control.h"

namespace tern {

namespace {

constexpr std::size_t kSlotSize = 10;
constexpr std::uint8_t kEmptySlotFrequency = 255;

TTreeNodeDataArray shifted(TTreeNodeDataArray entries, int offset) {
  for (TTreeNodeData& e : entries)
    e.StartMinute = static_cast<std::uint16_t>(dayMinute(e.StartMinute + offset));
  return entries;
}

}  // namespace

SettingsLoad TTreeControl::LoadSettings() {
  std::size_t expected = kSettingsHeaderSize;
  for (const TTreeData& s : schedules_)
    expected += 8 + TTreeNodeData::kRecordSize * s.Entries.size();

  FileData data = readWholeFile(SettingsPath(), expected);
  if (!data.status) {
    RestoreDefaults();
    // Too large for these schedule files is a file of other schedules, not a missing one.
    const bool invalid = data.status.error == EFBIG;
    settingsUsable_ = !invalid;
    return invalid ? SettingsLoad::Invalid : SettingsLoad::Missing;
  }
  return LoadSettings(data.bytes);
}

SettingsLoad TTreeControl::LoadSettings(ByteView bytes) {
  // Everything is read into a copy first: an invalid file leaves no half-applied state.
  ByteReader r(bytes);
  auto signature = r.take(3);
  auto options = r.u8();
  auto baro = r.i32();
  auto path = r.take(kExportPathSize);
  auto exportOn = r.u8();
  bool valid =
      r.ok() && std::equal(signature->begin(), signature->end(), kSettingsSignature.begin());

  std::vector<TTreeNodeDataArray> entries(schedules_.size());
  std::vector<std::int32_t> offsets(schedules_.size(), 0);
  std::vector<std::int32_t> turns(schedules_.size(), 0);
  for (std::size_t si = 0; valid && si < schedules_.size(); ++si) {
    auto turn = r.i32();
    auto offset = r.i32();
    if (!turn || !offset || *turn > kMaxFaxTurn) {
      valid = false;
      break;
    }
    turns[si] = *turn;
    offsets[si] = *offset < -kMaxStartOffset || *offset > kMaxStartOffset ? 0 : *offset;
    entries[si] = shifted(schedules_[si].DefaultEntries, offsets[si]);
    for (TTreeNodeData& e : entries[si]) {
      auto record = r.take(TTreeNodeData::kRecordSize);
      if (!record) {
        valid = false;
        break;
      }
      // Only the choices come from the file; texts, times and identifiers always come from
      // the schedule files. Root and group records keep their kinds, and a time record takes
      // only a time kind: a damaged file cannot make a heading selectable.
      const auto kind = static_cast<NodeKind>((*record)[0]);
      const std::uint8_t code = (*record)[133];
      if (e.isTime()) {
        if (kind == NodeKind::Free || kind == NodeKind::Selected || kind == NodeKind::Blocked)
          e.Kind = kind;
        if (code <= kFreeCell) e.FreqCode = code;
      }
      if (e.FreqCode > kFreeCell + 1 || e.StartMinute >= kMinutesPerDay) valid = false;
    }
  }
  if (!valid || !r.atEnd()) {
    RestoreDefaults();
    settingsUsable_ = false;
    return SettingsLoad::Invalid;
  }
  settingsUsable_ = true;

  std::copy(signature->begin(), signature->end(), signature_.begin());
  options_ = *options;
  std::copy(path->begin(), path->end(), exportPath_.begin());
  exportOn_ = *exportOn;
  for (std::size_t si = 0; si < schedules_.size(); ++si) {
    schedules_[si].FaxTurn = turns[si];
    schedules_[si].StartOffset = offsets[si];
    schedules_[si].Entries = std::move(entries[si]);
  }
  NormaliseLoadedEntries();
  SetBaroHeight(*baro);
  BuildPayload();
  return SettingsLoad::Valid;
}

void TTreeControl::NormaliseLoadedEntries() {
  for (TTreeData& s : schedules_) {
    for (TTreeNodeData& e : s.Entries)
      if (e.isTime() && !s.inRange(e.FreqCode)) e.FreqCode = static_cast<std::uint8_t>(s.FirstCode);
  }
  // As RebuildAllCells, except that a selected entry finding its minutes taken, even by its
  // own schedule, is blocked at once instead of staying selected beside its twin.
  cells_.clear();
  for (TTreeData& s : schedules_) {
    for (TTreeNodeData& e : s.Entries) {
      if (e.Kind != NodeKind::Selected) continue;
      if (cells_.spanFree(e.StartMinute, e.Duration))
        occupy(e);
      else
        e.Kind = NodeKind::Blocked;
    }
  }
  for (int si = 0; si < ScheduleCount(); ++si)
    for (int i = 0; i < sched(si).EntryCount(); ++i) UpdateNode(si, i);
}

void TTreeControl::RestoreDefaults() {
  signature_ = kSettingsSignature;
  options_ = 0;
  exportPath_.fill(0);
  exportOn_ = 0;
  for (TTreeData& s : schedules_) {
    s.FaxTurn = 0;
    s.StartOffset = 0;
    s.Entries = s.DefaultEntries;
  }
  cells_.clear();
  for (int si = 0; si < ScheduleCount(); ++si) ShowEntries(si);
  SetBaroHeight(0);
  BuildPayload();
}

Bytes TTreeControl::SettingsBytes() const {
  Bytes out;
  ByteWriter w(out);
  w.bytes(signature_);
  w.u8(options_);
  w.i32(baroHeight_);
  w.bytes(exportPath_);
  w.u8(exportOn_);
  for (const TTreeData& s : schedules_) {
    w.i32(s.FaxTurn);
    w.i32(s.StartOffset);
    for (const TTreeNodeData& e : s.Entries) e.write(out);
  }
  return out;
}

FileStatus TTreeControl::SaveSettings() {
  // A slant drag after an unusable file would otherwise make the defaults look like the
  // user's saved choice at the next start.
  if (!settingsUsable_)
    return FileStatus::failure(EPERM, SettingsPath() +
                                          " bleibt unverändert, bis die Einstellungen im Dialog "
                                          "gespeichert werden");
  // Replaced whole through a temporary file, which also takes care of a write-protected
  // old file: the new one simply takes its place.
  FileStatus status = replaceFileAtomically(SettingsPath(), SettingsBytes());
  if (!status)
    messages_.showMessage(MessageKind::Warning,
                          "Die Einstellungen konnten nicht gespeichert werden.");
  return status;
}

void TTreeControl::BuildPayload() {
  payload_.fill(0);
  for (int k = 0; k < kPayloadSlots; ++k) payload_[k * kSlotSize + 3] = kEmptySlotFrequency;
  int slot = 0;
  for (const TTreeData& s : schedules_) {
    for (const TTreeNodeData& e : s.Entries) {
      if (e.Kind != NodeKind::Selected) continue;
      if (slot == kPayloadSlots) break;
      std::uint8_t* out = payload_.data() + slot * kSlotSize;
      putU16(out, e.StartMinute);
      out[2] = e.Duration;
      // A code beyond the table (possible from a settings file) names no frequency: the
      // receiver chooses, as for the schedule's own AUTO code.
      const int code = e.FreqCode < kFrequencyCodeCount ? e.FreqCode : s.FirstCode;
      out[3] =
          kFrequencyTable[static_cast<std::size_t>(std::clamp(code, 0, kFrequencyCodeCount - 1))]
              .receiverNumber;
      std::copy(e.Id.begin(), e.Id.end(), out + 4);
      ++slot;
    }
  }
  payload_[kPayloadSize - 1] = options_;
}

Bytes TTreeControl::ScheduleBlockToSend() const {
  if (!settingsUsable_) return {};
  return Bytes(payload_.begin(), payload_.end());
}

FileStatus TTreeControl::Save() {
  BuildPayload();
  // The user has seen the settings in the dialog and chose them.
  settingsUsable_ = true;
  FileStatus status = SaveSettings();
  if (exportOn_ == 1 && hooks_.runExport) hooks_.runExport(ExportPath());
  return status;
}

std::string TTreeControl::ExportPath() const {
  const auto* begin = reinterpret_cast<const char*>(exportPath_.data());
  return std::string(begin, strnlen(begin, exportPath_.size()));
}

void TTreeControl::ChooseNavtex(NavtexChoice choice) {
  options_ &= static_cast<std::uint8_t>(~(kOptionNavtex490 | kOptionNavtex518));
  if (choice == NavtexChoice::Navtex490) options_ |= kOptionNavtex490;
  if (choice == NavtexChoice::Navtex518) options_ |= kOptionNavtex518;
}

void TTreeControl::SetAntenna(bool on) {
  options_ = static_cast<std::uint8_t>(on ? options_ | kOptionAntenna : options_ & ~kOptionAntenna);
}

int TTreeControl::SetBaroHeight(int metres) {
  baroHeight_ = std::clamp(metres, 0, kMaxBaroHeight);
  if (hooks_.baroHeightChanged) hooks_.baroHeightChanged(baroHeight_);
  return baroHeight_;
}

void TTreeControl::SetExportOn(bool on) {
  const std::uint8_t value = on ? 1 : 0;
  if (value == exportOn_) return;
  exportOn_ = value;
  if (hooks_.autoExportChanged) hooks_.autoExportChanged(on);
}

bool TTreeControl::SetExportPath(const std::string& folder) {
  if (folder.size() >= kExportPathSize || folder.find('\0') != std::string::npos) return false;
  exportPath_.fill(0);
  std::copy(folder.begin(), folder.end(), exportPath_.begin());
  return true;
}

}  // namespace tern
