// The local data files: one per schedule table, one per NAVTEX list and one for the
// barometer. Their byte layouts are fixed (users' files must stay readable): no file
// header, no count, no checksum; records are 26 header bytes, the new flag and the data.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "common/bytes.h"
#include "common/file_io.h"
#include "messages/baro_store.h"
#include "messages/message_table.h"
#include "messages/navtex_list.h"
#include "messages/readout_marks.h"

namespace tern {

// File names in the data folder.
inline constexpr const char* kFaxFileNames[5] = {"fax_dwd_data.bin", "fax_northwood_data.bin",
                                                 "fax_halifax_data.bin", "fax_boston_data.bin",
                                                 "fax_new_orleans_data.bin"};
inline constexpr const char* kDwdGermanFileName = "dwd_d_data.bin";
inline constexpr const char* kDwdEnglishFileName = "dwd_e_data.bin";
inline constexpr const char* kNavtex518FileName = "navtex_518_data.bin";
inline constexpr const char* kNavtex490FileName = "navtex_490_data.bin";
inline constexpr const char* kBaroFileName = "baro_data.bin";

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
};
LoadResult loadTableFile(const std::string& path, MessageTable& table, const SerialSource& serial,
                         LoadOptions options = {});
LoadResult loadNavtexFile(const std::string& path, NavtexList& list, const SerialSource& serial,
                          LoadOptions options = {});
LoadResult loadBaroFile(const std::string& path, BaroStore& store, LoadOptions options = {});
LoadResult loadMarksFile(const std::string& path, ReadoutMarks& marks, LoadOptions options = {});
FileStatus writeDataFile(const std::string& path, ByteView bytes);

}  // namespace tern
