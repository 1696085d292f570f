// Where an interrupted read-out stood. The receiver hands a channel's records over newest
// first and a read-out stops at the first record it already holds; when a pass is cut inside
// a channel, the records stored just before the cut would stop the next pass early and the
// older ones behind the cut would never be read. A mark per receiver channel remembers that
// the last pass did not finish and the last record it got; the next pass goes past the known
// records down to that one before a known record may stop it again.
//
// The marks belong to the message model because they describe what the data files lack: they
// are kept beside them in the data folder ("readout_marks.bin") and written atomically, so a
// restart between the cut and the next pass loses nothing either.
//
// When the PC's copy of a channel cannot be trusted (its data file was damaged, or this file
// was), no record tells where a pass may stop: the channel is marked to be read to the end of
// the receiver's log once, known records or not.
//
// File layout (little-endian, 86 bytes): "TRNM", a version byte (1), then for the receiver
// channels 0 (NAVTEX), 1 (DWD), 2 (fax) one state byte (0 finished, 1 interrupted, 2 read
// to the end) and the 26 header bytes of the record where the pass stood (all zero unless
// interrupted).
#pragma once

#include <array>
#include <cstdint>
#include <optional>

#include "common/bytes.h"
#include "messages/message_record.h"

namespace tern {

inline constexpr const char* kReadoutMarksFileName = "readout_marks.bin";

// Thread: plain value; guarded by the message store's mutex.
struct ReadoutMarks {
  static constexpr int kChannels = 3;  // receiver channels: 0 NAVTEX, 1 DWD, 2 fax
  static constexpr std::size_t kFileSize = 4 + 1 + kChannels * (1 + MessageRecord::kHeaderSize);

  // The header of the record an interrupted pass stood at; nothing after a finished pass.
  std::array<std::optional<MessageRecord::Header>, kChannels> stoodAt{};
  // The channel is read to the end of the receiver's log before a pass counts as finished.
  std::array<bool, kChannels> readAll{};

  bool operator==(const ReadoutMarks&) const = default;
};

Bytes serializeMarks(const ReadoutMarks& marks);
// False (marks cleared) when the bytes are not a marks file of this layout.
bool parseMarks(ByteView bytes, ReadoutMarks& marks);

}  // namespace tern
