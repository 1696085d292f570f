#include "messages/data_files.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <string>

namespace tern {

namespace {

// The largest data file the program writes: 40 rows x 3 slots of 1 MiB plus headers, or a
// NAVTEX list of a few thousand messages. Anything beyond is not one of ours.
constexpr std::size_t kMaxDataFileSize = std::size_t{160} << 20;

// What writeRecord appends: header, new flag and exactly the header's data length.
std::size_t recordSize(const MessageRecord& r) {
  return MessageRecord::kHeaderSize + 1 + r.dataLength();
}

void writeRecord(ByteWriter& w, const MessageRecord& r) {
  w.bytes(r.header);
  w.u8(r.newFlag);
  // The header's length decides how many bytes a reader takes; write exactly that many even
  // if the data array disagrees, so the file never goes out of step.
  std::uint32_t length = r.dataLength();
  ByteView data(r.data);
  if (data.size() >= length) {
    w.bytes(data.first(length));
  } else {
    w.bytes(data);
    w.zeros(length - data.size());
  }
}

// Reads one record; false (record untouched) when the bytes end early or the length is
// beyond the limit.
bool readRecord(ByteReader& in, MessageRecord& r) {
  auto header = in.take(MessageRecord::kHeaderSize);
  auto flag = in.u8();
  if (!header || !flag) return false;
  std::uint32_t length = getU32(*header, 1);
  if (length > MessageRecord::kMaxDataLength) return false;
  auto data = in.take(length);
  if (!data) return false;
  std::copy(header->begin(), header->end(), r.header.begin());
  r.newFlag = *flag;
  r.data.assign(data->begin(), data->end());
  return true;
}

// Moves a damaged file aside before it is first overwritten: "<name>.damaged", or with the
// first free number ("<name>.damaged.2", ...) when earlier copies are there; each may hold
// messages the others lack.
void keepDamagedCopy(const std::string& path) {
  for (int n = 1; n < 1000; ++n) {
    const std::string copy = path + ".damaged" + (n == 1 ? "" : "." + std::to_string(n));
    struct stat st {};
    if (::lstat(copy.c_str(), &st) == 0) continue;
    // link() never replaces an existing name, so a copy made meanwhile is never lost.
    if (::link(path.c_str(), copy.c_str()) == 0) {
      ::unlink(path.c_str());
      return;
    }
    if (errno == EEXIST) continue;
    // A file system without hard links: the name was free a moment ago.
    std::rename(path.c_str(), copy.c_str());
    return;
  }
}

}  // namespace

// The file is sized first: a hundred megabytes of charts grown by doubling would be copied
// about twice over and touch twice the memory.
Bytes serializeTable(const MessageTable& table) {
  std::size_t size = 0;
  for (int row = 0; row < table.rowCount(); ++row)
    for (int s = 0; s < MessageTable::kSlots; ++s) size += recordSize(table.slot(row, s));
  Bytes out;
  out.reserve(size);
  ByteWriter w(out);
  for (int row = 0; row < table.rowCount(); ++row)
    for (int s = 0; s < MessageTable::kSlots; ++s) writeRecord(w, table.slot(row, s));
  return out;
}

Bytes serializeNavtex(const NavtexList& list) {
  std::size_t size = 0;
  for (const MessageRecord& r : list.records()) size += recordSize(r);
  Bytes out;
  out.reserve(size);
  ByteWriter w(out);
  for (const MessageRecord& r : list.records()) writeRecord(w, r);
  return out;
}

Bytes serializeBaro(const BaroStore& store) {
  Bytes out;
  out.reserve(BaroStore::kFileSize);
  ByteWriter w(out);
  w.bytes(store.samples());
  w.bytes(store.block());
  return out;
}

LoadResult parseTable(ByteView bytes, MessageTable& table, const SerialSource& serial) {
  table.clear();
  ByteReader in(bytes);
  for (int row = 0; row < table.rowCount(); ++row) {
    for (int s = 0; s < MessageTable::kSlots; ++s) {
      MessageRecord r;
      if (!readRecord(in, r)) return LoadResult::Damaged;
      if (!r.isEmpty()) r.serial = serial();
      table.slot(row, s) = std::move(r);
    }
  }
  return LoadResult::Loaded;
}

LoadResult parseNavtex(ByteView bytes, NavtexList& list, const SerialSource& serial) {
  list.records().clear();
  ByteReader in(bytes);
  while (!in.atEnd()) {
    MessageRecord r;
    if (!readRecord(in, r)) return LoadResult::Damaged;
    r.serial = serial();
    list.records().push_back(std::move(r));
  }
  return LoadResult::Loaded;
}

LoadResult parseBaro(ByteView bytes, BaroStore& store) {
  if (bytes.size() < BaroStore::kFileSize) {
    store.resetRing();
    return bytes.empty() ? LoadResult::Missing : LoadResult::Damaged;
  }
  std::copy_n(bytes.begin(), BaroStore::kSamplesBytes, store.samples().begin());
  std::copy_n(bytes.begin() + BaroStore::kSamplesBytes, BaroStore::kBlockSize,
              store.block().begin());
  return LoadResult::Loaded;
}

namespace {

template <typename Parse>
LoadResult loadFile(const std::string& path, std::size_t maxBytes, const LoadOptions& options,
                    Parse parse) {
  FileData file = readWholeFile(path, maxBytes);
  if (!file.status) {
    parse(ByteView{});
    if (file.status.error == ENOENT) return LoadResult::Missing;
    // Too large to be ours: the content is wrong, the file itself was readable.
    if (file.status.error == EFBIG) {
      if (options.problem != nullptr) *options.problem = file.status.message;
      if (options.keepDamaged) keepDamagedCopy(path);
      return LoadResult::Damaged;
    }
    if (options.problem != nullptr) *options.problem = file.status.message;
    return LoadResult::Unreadable;
  }
  LoadResult result = parse(ByteView(file.bytes));
  if (result == LoadResult::Damaged) {
    if (options.problem != nullptr) *options.problem = "Inhalt beschädigt: " + path;
    if (options.keepDamaged) keepDamagedCopy(path);
  }
  return result;
}

}  // namespace

LoadResult loadTableFile(const std::string& path, MessageTable& table, const SerialSource& serial,
                         LoadOptions options) {
  return loadFile(path, kMaxDataFileSize, options,
                  [&](ByteView b) { return parseTable(b, table, serial); });
}

LoadResult loadNavtexFile(const std::string& path, NavtexList& list, const SerialSource& serial,
                          LoadOptions options) {
  return loadFile(path, kMaxDataFileSize, options,
                  [&](ByteView b) { return parseNavtex(b, list, serial); });
}

LoadResult loadBaroFile(const std::string& path, BaroStore& store, LoadOptions options) {
  // A short barometer file only resets the ring; it is never kept aside.
  options.keepDamaged = false;
  return loadFile(path, BaroStore::kFileSize + (std::size_t{1} << 20), options,
                  [&](ByteView b) { return parseBaro(b, store); });
}

LoadResult loadMarksFile(const std::string& path, ReadoutMarks& marks, LoadOptions options) {
  options.keepDamaged = false;
  // Only a file that is not there says nothing; an empty one was cut short like any other.
  return loadFile(path, ReadoutMarks::kFileSize, options, [&](ByteView b) {
    return parseMarks(b, marks) ? LoadResult::Loaded : LoadResult::Damaged;
  });
}

FileStatus writeDataFile(const std::string& path, ByteView bytes) {
  // A read-only file must not stop the write: the replacement is a new file anyway, and
  // the rename replaces the old one whatever its mode.
  return replaceFileAtomically(path, bytes);
}

}  // namespace tern
