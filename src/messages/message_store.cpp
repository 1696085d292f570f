#include "messages/message_store.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <utility>

#include "config/schedule_file.h"
#include "config/schedule_table.h"
#include "link/protocol.h"

namespace tern {

namespace {

// Table index -> schedule index: the tables follow the schedules' fixed order.
const char* scheduleFileOf(int table) {
  return kSchedules[static_cast<std::size_t>(table)].fileName;
}

int expectedRows(int table) { return kSchedules[static_cast<std::size_t>(table)].identifierCount; }

// The receiver's record log a table's messages come from.
std::uint8_t groupOfTable(int table) {
  return table < kFirstFaxTable ? protocol::kGroupDwd : protocol::kGroupFax;
}

// Fax first, then DWD: the order the files were always read and written in.
constexpr std::array<int, kTableCount> kTableLoadOrder = [] {
  std::array<int, kTableCount> order{};
  for (int k = 0; k < kTableCount; ++k)
    order[static_cast<std::size_t>(k)] = (k + kFirstFaxTable) % kTableCount;
  return order;
}();

}  // namespace

MessageStore::MessageStore(std::string dataFolder, const std::string& programFolder,
                           MessageSink* messages, Access access)
    : dataFolder_(std::move(dataFolder)), programFolder_(programFolder), access_(access) {
  for (int t = 0; t < kTableCount; ++t)
    tables_[static_cast<std::size_t>(t)] = MessageTable(expectedRows(t));
  if (messages != nullptr) readScheduleIds(messages);
  LoadFiles();
}

void MessageStore::readScheduleIds(MessageSink* messages) const {
  std::call_once(idsRead_, [&] {
    for (int t = 0; t < kTableCount; ++t) {
      ScheduleFile file = readScheduleFile(programFolder_ + scheduleFileOf(t));
      auto& ids = ids_[static_cast<std::size_t>(t)];
      if (!file.readable && messages != nullptr) {
        messages->showMessage(MessageKind::Plain, "Fehler im Sendeplan!");
      }
      ids = scheduleIdentifiers(file);
      if (static_cast<int>(ids.size()) != expectedRows(t) && messages != nullptr) {
        messages->showMessage(MessageKind::Plain,
                              kSchedules[static_cast<std::size_t>(t)].countName);
      }
      // Only the rows the table has are kept; rows without an identifier keep the empty text.
      ids.resize(static_cast<std::size_t>(expectedRows(t)));
    }
  });
}

int MessageStore::rowOf(int table, const std::string& keyText) const {
  const auto& ids = identifiers(table);
  for (std::size_t row = 0; row < ids.size(); ++row) {
    if (ids[row].substr(0, 6) == keyText.substr(0, 6)) return static_cast<int>(row);
  }
  return -1;
}

MessageRecord* MessageStore::find(std::uint64_t serial) {
  for (auto& t : tables_)
    if (MessageRecord* r = t.find(serial)) return r;
  for (auto& n : navtex_)
    if (MessageRecord* r = n.find(serial)) return r;
  return nullptr;
}

std::string MessageStore::tableFilePath(int table) const {
  return dataFolder_ + tableFileName(table);
}

std::string MessageStore::navtexFilePath(int which) const {
  return dataFolder_ + navtexFileName(which);
}

FileStatus MessageStore::writeMarks() {
  Bytes bytes;
  {
    std::lock_guard lock(mutex_);
    bytes = serializeMarks(marks_);
  }
  return write(dataFolder_ + kReadoutMarksFileName, bytes);
}

FileStatus MessageStore::refusal(const std::string& path) const {
  if (access_ == Access::ReadOnly)
    return FileStatus::failure(EROFS, path + " nicht geschrieben (nur zum Lesen geöffnet)");
  if (std::any_of(loadProblems_.begin(), loadProblems_.end(), [&](const LoadProblem& p) {
        return p.path == path && p.result == LoadResult::Unreadable;
      })) {
    // Its messages were never read: replacing the file would destroy them.
    return FileStatus::failure(EACCES,
                               path + " nicht ersetzt: die Datei war beim Start nicht lesbar");
  }
  return FileStatus::success();
}

void MessageStore::noteWriteFailure(const FileStatus& status) {
  if (status) return;
  std::lock_guard lock(mutex_);
  writeFailure_ = status.message;
}

FileStatus MessageStore::write(const std::string& path, const Bytes& bytes) {
  FileStatus status = refusal(path);
  if (status) status = writeDataFile(path, bytes);
  noteWriteFailure(status);
  return status;
}

std::string MessageStore::takeWriteFailure() {
  std::lock_guard lock(mutex_);
  return std::exchange(writeFailure_, std::string());
}

bool MessageStore::writeBatch(const std::vector<FileSnapshot>& files) {
  // Each file is taken under the lock on its own and handed to the disk before the next is
  // taken, so one copy is held at a time and the lock is never held while writing.
  FileReplacementBatch batch;
  std::vector<FileStatus> refused;
  for (const FileSnapshot& file : files) {
    refused.push_back(refusal(file.path));
    if (!refused.back()) continue;
    Bytes bytes;
    {
      std::lock_guard lock(mutex_);
      bytes = file.take();
    }
    batch.add(file.path, bytes);
  }
  const std::vector<FileStatus> written = batch.commit();
  bool ok = true;
  auto next = written.begin();
  for (const FileStatus& r : refused) {
    const FileStatus& status = r ? *next++ : r;
    noteWriteFailure(status);
    ok = ok && status.ok;
  }
  return ok;
}

MessageStore::FileSnapshot MessageStore::tableSnapshot(int table) const {
  return {tableFilePath(table),
          [this, table] { return serializeTable(tables_.at(static_cast<std::size_t>(table))); }};
}

MessageStore::FileSnapshot MessageStore::navtexSnapshot(int which) const {
  return {navtexFilePath(which),
          [this, which] { return serializeNavtex(navtex_.at(static_cast<std::size_t>(which))); }};
}

bool MessageStore::writeTables(std::span<const int> tables) {
  std::vector<FileSnapshot> files;
  for (int t : tables) files.push_back(tableSnapshot(t));
  return writeBatch(files);
}

bool MessageStore::writeNavtexLists() {
  std::vector<FileSnapshot> files;
  for (int which = 0; which < kNavtexCount; ++which) files.push_back(navtexSnapshot(which));
  return writeBatch(files);
}

MessageStore::FileSnapshot MessageStore::baroSnapshot() const {
  return {dataFolder_ + kBaroFileName, [this] { return serializeBaro(baro_); }};
}

bool MessageStore::writeBaro() { return writeBatch({baroSnapshot()}); }

bool MessageStore::SaveFiles() {
  std::vector<FileSnapshot> files;
  for (int t : kTableLoadOrder) files.push_back(tableSnapshot(t));
  for (int which = 0; which < kNavtexCount; ++which) files.push_back(navtexSnapshot(which));
  files.push_back(baroSnapshot());
  return writeBatch(files);
}

void MessageStore::removeStaleTemporaryFiles() const {
  std::vector<std::string> names = {kBaroFileName, kReadoutMarksFileName};
  for (const NavtexFrequency& f : kNavtexFrequencies) names.push_back(f.dataFile);
  for (const ScheduleInfo& s : kSchedules) names.push_back(s.dataFile);
  removeStaleTemporaries(dataFolder_, names);
}

void MessageStore::noteLoad(const std::string& path, LoadResult result, const std::string& reason) {
  if (result == LoadResult::Unreadable || result == LoadResult::Damaged)
    loadProblems_.push_back({path, result, reason});
}

void MessageStore::LoadFiles() {
  const bool readWrite = access_ == Access::ReadWrite;
  if (readWrite) removeStaleTemporaryFiles();
  loadProblems_.clear();
  bool readAllSet = false;
  {
    std::lock_guard lock(mutex_);
    auto serial = [this] { return nextSerial(); };
    auto load = [&](const std::string& path, auto&& loader) {
      std::string reason;
      LoadResult r = loader(path, LoadOptions{readWrite, &reason});
      noteLoad(path, r, reason);
      return r;
    };
    // What a damaged copy lacks is unknown, so no record may end the next pass of its
    // channel: it is read to the end of the receiver's log once.
    auto readAllOf = [&](std::uint8_t group) {
      readAllSet = readAllSet || !marks_.readAll[group];
      marks_.readAll[group] = true;
    };
    load(dataFolder_ + kBaroFileName,
         [&](const std::string& p, LoadOptions o) { return loadBaroFile(p, baro_, o); });
    // Marks that cannot be read may have said that any channel was cut short.
    if (load(dataFolder_ + kReadoutMarksFileName, [&](const std::string& p, LoadOptions o) {
          return loadMarksFile(p, marks_, o);
        }) == LoadResult::Damaged) {
      for (std::uint8_t group : {protocol::kGroupNavtex, protocol::kGroupDwd, protocol::kGroupFax})
        readAllOf(group);
    }
    for (int t : kTableLoadOrder) {
      auto& flag = ChangedFlags[static_cast<std::size_t>(kTableChannel[t])];
      LoadResult r = load(tableFilePath(t), [&](const std::string& p, LoadOptions o) {
        return loadTableFile(p, tables_[static_cast<std::size_t>(t)], serial, o);
      });
      // A loaded table (even a partly damaged one) is handed to the views at the first pass.
      flag = r == LoadResult::Loaded || r == LoadResult::Damaged ? 1 : 0;
      if (r == LoadResult::Damaged) readAllOf(groupOfTable(t));
    }
    for (int which = 0; which < kNavtexCount; ++which) {
      ChangedFlags[navtexFrequency(which).channel] = 1;
      if (load(navtexFilePath(which), [&](const std::string& p, LoadOptions o) {
            return loadNavtexFile(p, navtex_[static_cast<std::size_t>(which)], serial, o);
          }) == LoadResult::Damaged)
        readAllOf(protocol::kGroupNavtex);
    }
  }
  // At once: the damaged file was moved aside and the first save writes what was read of
  // it, which would look whole at the next start.
  if (readAllSet && readWrite) writeMarks();
}

bool MessageStore::copyComplete(const std::string& path, int group) const {
  for (const LoadProblem& p : loadProblems_) {
    if (p.path != path) continue;
    if (p.result == LoadResult::Unreadable) return false;
    if (p.result == LoadResult::Damaged && marks_.readAll[static_cast<std::size_t>(group)])
      return false;
  }
  return true;
}

bool MessageStore::tableComplete(int table) const {
  return copyComplete(tableFilePath(table), groupOfTable(table));
}

bool MessageStore::navtexComplete(int which) const {
  return copyComplete(navtexFilePath(which), protocol::kGroupNavtex);
}

}  // namespace tern
