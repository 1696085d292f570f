// The local data files: one per schedule table, one per NAVTEX list and one for the
// barometer. Their byte layouts are fixed (users' files must stay readable): no file
// header, no count, no checksum; records are 26 header bytes, the new flag and the data.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "common/bytes.h"
#include "common/file_io.h"
#include "messages/baro_store.h"
#include "messages/channels.h"
#include "messages/message_table.h"
#include "messages/navtex_list.h"
#include "messages/readout_marks.h"

namespace tern {

// File names in the data folder; the tables' and the NAVTEX lists' are in their rows.
inline constexpr const char* kBaroFileName = "baro_data.bin";

// The file of schedule table `table` (0..kTableCount-1) and of NAVTEX list `which`.
inline const char* tableFileName(int table) {
  return kSchedules[static_cast<std::size_t>(table)].dataFile;
}
inline const char* navtexFileName(int which) { return navtexFrequency(which).dataFile; }

// Gives each loaded record its serial.
using SerialSource = std::function<std::uint64_t()>;

Bytes serializeTable(const MessageTable& table);
Bytes serializeNavtex(const NavtexList& list);
Bytes serializeBaro(const BaroStore& store);

// Outcome of reading a data file. A damaged file keeps what could be read before the
// damage: complete records are never thrown away because a later one is broken. A file that
// cannot be opened or is no regular file (no permission, a folder, a FIFO, a device) is
// Unreadable: nothing is known about its content, so it is neither damaged nor replaced.
enum class LoadResult { Loaded, Missing, Damaged, Unreadable };

// Walks the records of a data file's bytes without copying their data: `visit` gets each
// record's index, its header and new flag (in a record whose own data stays empty) and a
// view of its data within `bytes`. A table file holds exactly `count` records (rows times
// slots; bytes after them are ignored), a NAVTEX file (no count) records up to its end.
// Damaged at the first record that is cut short or too long; the records before it were
// visited.
using RecordVisitor =
    std::function<void(std::size_t index, const MessageRecord& header, ByteView data)>;
LoadResult walkRecords(ByteView bytes, std::optional<std::size_t> count,
                       const RecordVisitor& visit);

// How many records `bytes` hold when they are a whole data file of tables or NAVTEX lists:
// records to the very last byte, each an empty slot or stamped with a valid reception time.
// 0 for anything else, such as a recording's data, which would have to line up by chance
// with every length field it holds.
std::size_t wholeDataFileRecords(ByteView bytes);

// Fills `table` (emptied first) from the file's bytes, row by row, slot by slot.
LoadResult parseTable(ByteView bytes, MessageTable& table, const SerialSource& serial);
LoadResult parseNavtex(ByteView bytes, NavtexList& list, const SerialSource& serial);
// A barometer file shorter than the full layout counts as missing (the ring is reset);
// bytes beyond it are ignored.
LoadResult parseBaro(ByteView bytes, BaroStore& store);

// Reading from the data folder. With `keepDamaged`, a damaged file is kept beside the new
// one as "<name>.damaged" (".damaged.2", ... when that name is taken) before it is first
// overwritten, so nothing the user had is destroyed; read-only users pass false and leave
// the folder as it is. `problem` receives
// the reason of an Unreadable or Damaged result.
struct LoadOptions {
  bool keepDamaged = true;
  std::string* problem = nullptr;
  // Memory for the file's bytes, handed from read to read by a reader of many files.
  Bytes* buffer = nullptr;
};
LoadResult loadTableFile(const std::string& path, MessageTable& table, const SerialSource& serial,
                         LoadOptions options = {});
LoadResult loadNavtexFile(const std::string& path, NavtexList& list, const SerialSource& serial,
                          LoadOptions options = {});
LoadResult loadBaroFile(const std::string& path, BaroStore& store, LoadOptions options = {});
// Walks a table file (`count` its rows times slots) or a NAVTEX file (no count) as
// walkRecords does, without a table or list in memory; the views are valid until the
// buffer of `options` (or the call, without one) is reused.
LoadResult visitRecordFile(const std::string& path, std::optional<std::size_t> count,
                           const RecordVisitor& visit, LoadOptions options = {});
// The barometer file's samples and status block as `visit(samples, block)` sees them; both
// empty for a file without the whole layout, which a store takes as a reset ring.
LoadResult visitBaroFile(const std::string& path,
                         const std::function<void(ByteView samples, ByteView block)>& visit,
                         LoadOptions options = {});
LoadResult loadMarksFile(const std::string& path, ReadoutMarks& marks, LoadOptions options = {});
FileStatus writeDataFile(const std::string& path, ByteView bytes);

}  // namespace tern
