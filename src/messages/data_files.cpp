#include "messages/data_files.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
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

// Reads one record's header and new flag into `r` and gives a view of its data; false
// (record untouched) when the bytes end early or the length is beyond the limit.
bool readRecord(ByteReader& in, MessageRecord& r, ByteView& data) {
  auto header = in.take(MessageRecord::kHeaderSize);
  auto flag = in.u8();
  if (!header || !flag) return false;
  std::uint32_t length = getU32(*header, 1);
  if (length > MessageRecord::kMaxDataLength) return false;
  auto taken = in.take(length);
  if (!taken) return false;
  std::copy(header->begin(), header->end(), r.header.begin());
  r.newFlag = *flag;
  data = *taken;
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

LoadResult walkRecords(ByteView bytes, std::optional<std::size_t> count,
                       const RecordVisitor& visit) {
  ByteReader in(bytes);
  MessageRecord r;
  ByteView data;
  for (std::size_t i = 0; count ? i < *count : !in.atEnd(); ++i) {
    if (!readRecord(in, r, data)) return LoadResult::Damaged;
    visit(i, r, data);
  }
  return LoadResult::Loaded;
}

std::size_t wholeDataFileRecords(ByteView bytes) {
  std::size_t records = 0;
  bool plausible = true;
  const LoadResult walked =
      walkRecords(bytes, std::nullopt, [&](std::size_t, const MessageRecord& r, ByteView) {
        ++records;
        plausible = plausible &&
                    ((r.isEmpty() && r.dataLength() == 0) || isValidCivilTime(r.receptionTime()));
      });
  return walked == LoadResult::Loaded && plausible ? records : 0;
}

LoadResult parseTable(ByteView bytes, MessageTable& table, const SerialSource& serial) {
  table.clear();
  const auto slots = static_cast<std::size_t>(MessageTable::kSlots);
  return walkRecords(bytes, static_cast<std::size_t>(table.rowCount()) * slots,
                     [&](std::size_t i, const MessageRecord& header, ByteView data) {
                       MessageRecord& r =
                           table.slot(static_cast<int>(i / slots), static_cast<int>(i % slots));
                       r.header = header.header;
                       r.newFlag = header.newFlag;
                       r.data.assign(data.begin(), data.end());
                       if (!r.isEmpty()) r.serial = serial();
                     });
}

LoadResult parseNavtex(ByteView bytes, NavtexList& list, const SerialSource& serial) {
  list.records().clear();
  return walkRecords(bytes, std::nullopt,
                     [&](std::size_t, const MessageRecord& header, ByteView data) {
                       MessageRecord& r = list.records().emplace_back();
                       r.header = header.header;
                       r.newFlag = header.newFlag;
                       r.data.assign(data.begin(), data.end());
                       r.serial = serial();
                     });
}

namespace {

// The samples and status block of a barometer file; nothing when it is shorter than the
// layout (bytes beyond it are ignored).
struct BaroParts {
  ByteView samples;
  ByteView block;
  LoadResult result = LoadResult::Loaded;
};
BaroParts baroParts(ByteView bytes) {
  if (bytes.size() < BaroStore::kFileSize)
    return {{}, {}, bytes.empty() ? LoadResult::Missing : LoadResult::Damaged};
  return {bytes.first(BaroStore::kSamplesBytes),
          bytes.subspan(BaroStore::kSamplesBytes, BaroStore::kBlockSize), LoadResult::Loaded};
}

}  // namespace

LoadResult parseBaro(ByteView bytes, BaroStore& store) {
  const BaroParts parts = baroParts(bytes);
  if (parts.result != LoadResult::Loaded) {
    store.resetRing();
    return parts.result;
  }
  std::copy(parts.samples.begin(), parts.samples.end(), store.samples().begin());
  std::copy(parts.block.begin(), parts.block.end(), store.block().begin());
  return LoadResult::Loaded;
}

namespace {

template <typename Parse>
LoadResult loadFile(const std::string& path, std::size_t maxBytes, const LoadOptions& options,
                    Parse parse) {
  FileData file =
      readWholeFile(path, maxBytes, options.buffer ? std::move(*options.buffer) : Bytes{});
  const LoadResult result = [&] {
    if (!file.status) {
      parse(ByteView{});
      if (file.status.error == ENOENT) return LoadResult::Missing;
      if (options.problem != nullptr) *options.problem = file.status.message;
      // Too large to be ours: the content is wrong, the file itself was readable.
      if (file.status.error != EFBIG) return LoadResult::Unreadable;
      if (options.keepDamaged) keepDamagedCopy(path);
      return LoadResult::Damaged;
    }
    LoadResult parsed = parse(ByteView(file.bytes));
    if (parsed == LoadResult::Damaged) {
      if (options.problem != nullptr) *options.problem = "Inhalt beschädigt: " + path;
      if (options.keepDamaged) keepDamagedCopy(path);
    }
    return parsed;
  }();
  if (options.buffer) *options.buffer = std::move(file.bytes);
  return result;
}

constexpr std::size_t kMaxBaroFileSize = BaroStore::kFileSize + (std::size_t{1} << 20);

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

LoadResult visitRecordFile(const std::string& path, std::optional<std::size_t> count,
                           const RecordVisitor& visit, LoadOptions options) {
  return loadFile(path, kMaxDataFileSize, options,
                  [&](ByteView b) { return walkRecords(b, count, visit); });
}

LoadResult loadBaroFile(const std::string& path, BaroStore& store, LoadOptions options) {
  // A short barometer file only resets the ring; it is never kept aside.
  options.keepDamaged = false;
  return loadFile(path, kMaxBaroFileSize, options, [&](ByteView b) { return parseBaro(b, store); });
}

LoadResult visitBaroFile(const std::string& path,
                         const std::function<void(ByteView samples, ByteView block)>& visit,
                         LoadOptions options) {
  options.keepDamaged = false;
  return loadFile(path, kMaxBaroFileSize, options, [&](ByteView b) {
    const BaroParts parts = baroParts(b);
    visit(parts.samples, parts.block);
    return parts.result;
  });
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
