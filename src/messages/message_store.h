// The PC side of the receiver's messages: the seven schedule tables, the two NAVTEX lists,
// the barometer store, the changed flags, the schedule identifiers that key the table rows,
// and the local data files that keep all of it across runs.
//
// The polling thread's read-outs change these structures while the window thread reads them
// to build its views; one mutex guards them. It is held only while the structures change or
// are read, never across an exchange with the receiver or a hand-over.
#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <functional>
#include <mutex>
#include <span>
#include <string>
#include <vector>

#include "common/message_sink.h"
#include "messages/baro_store.h"
#include "messages/channels.h"
#include "messages/data_files.h"
#include "messages/message_table.h"
#include "messages/navtex_list.h"
#include "messages/readout_marks.h"

namespace tern {

// Thread: the structures under mutex() from any thread; the changed flags are atomic.
class MessageStore {
 public:
  // Builds the identifier lists from the schedule files of `programFolder` (telling
  // `messages` about missing files and wrong counts) and loads the data files of
  // `dataFolder`. Both folders end with '/'. Without `messages` (null) nobody hears of the
  // schedules' problems, and the lists are built when first asked for: a tool that never
  // asks (tern-cli dump) never reads the schedules.
  //
  // ReadOnly is for tools that only look: the folder is left exactly as it is (no damaged
  // copies, no removal of temporaries) and every write is refused.
  enum class Access { ReadWrite, ReadOnly };
  MessageStore(std::string dataFolder, const std::string& programFolder, MessageSink* messages,
               Access access = Access::ReadWrite);

  std::mutex& mutex() const { return mutex_; }
  MessageTable& table(int index) { return tables_.at(static_cast<std::size_t>(index)); }
  const MessageTable& table(int index) const { return tables_.at(static_cast<std::size_t>(index)); }
  NavtexList& navtex(int which) { return navtex_.at(static_cast<std::size_t>(which)); }
  const NavtexList& navtex(int which) const { return navtex_.at(static_cast<std::size_t>(which)); }
  BaroStore& baro() { return baro_; }
  const BaroStore& baro() const { return baro_; }
  // Where interrupted read-outs stood, per receiver channel.
  ReadoutMarks& marks() { return marks_; }
  const ReadoutMarks& marks() const { return marks_; }

  // The row of a table whose identifier starts with the record's key text (its first six
  // characters compared); -1 when none does.
  int rowOf(int table, const std::string& keyText) const;
  const std::vector<std::string>& identifiers(int table) const {
    readScheduleIds(nullptr);
    return ids_.at(static_cast<std::size_t>(table));
  }

  std::array<std::atomic<std::uint8_t>, kChannelCount> ChangedFlags{};

  // A new serial for a stored or loaded record.
  std::uint64_t nextSerial() { return ++lastSerial_; }
  // Finds a record anywhere by its serial; nullptr when it is gone. Call under mutex().
  MessageRecord* find(std::uint64_t serial);

  const std::string& dataFolder() const { return dataFolder_; }
  std::string tableFilePath(int table) const;
  std::string navtexFilePath(int which) const;

  // Each file is written from a snapshot taken under the lock. A failed write keeps
  // everything in memory; the next read-out of the group and the shutdown write it again.
  FileStatus writeMarks();
  // The files of several tables, of both NAVTEX lists, of the barometer, or every data file, as one
  // batch of replacements (FileReplacementBatch): each file is as safe on disk as one written
  // alone, and the disk is waited for once. False when any write failed (all are tried).
  bool writeTables(std::span<const int> tables);
  bool writeNavtexLists();
  bool writeBaro();
  bool SaveFiles();
  // The description of the last failed write since the last call, or "" when every write
  // went through; for telling the user once.
  std::string takeWriteFailure();

  // Loads every data file (done by the constructor).
  void LoadFiles();
  // What went wrong while loading: one line per data file that could not be opened (with
  // the system's reason) or was damaged. A file that could not be opened is never written
  // over, so its messages are not lost; writes to it fail until the program starts again.
  struct LoadProblem {
    std::string path;
    LoadResult result;
    std::string reason;
  };
  const std::vector<LoadProblem>& loadProblems() const { return loadProblems_; }
  // Whether the messages of a table or list are all that its data file held: false while its
  // file could not be read at start, and while a damaged one has not yet been read again to
  // the end of the receiver's log. An export leaves its mirror's older files alone meanwhile.
  // Call under mutex().
  bool tableComplete(int table) const;
  bool navtexComplete(int which) const;

 private:
  // Builds the identifier lists once; later calls return at once. Thread: any.
  void readScheduleIds(MessageSink* messages) const;
  // A data file and how to take its bytes (under mutex()).
  struct FileSnapshot {
    std::string path;
    std::function<Bytes()> take;
  };
  FileStatus write(const std::string& path, const Bytes& bytes);
  bool writeBatch(const std::vector<FileSnapshot>& files);
  FileSnapshot tableSnapshot(int table) const;
  FileSnapshot navtexSnapshot(int which) const;
  FileSnapshot baroSnapshot() const;
  // Why a data file must not be written (a read-only store, a file unreadable at start).
  FileStatus refusal(const std::string& path) const;
  void noteWriteFailure(const FileStatus& status);
  void removeStaleTemporaryFiles() const;
  void noteLoad(const std::string& path, LoadResult result, const std::string& reason);
  bool copyComplete(const std::string& path, int group) const;

  mutable std::mutex mutex_;
  std::string dataFolder_;
  std::array<MessageTable, kTableCount> tables_;
  std::array<NavtexList, kNavtexCount> navtex_;
  BaroStore baro_;
  ReadoutMarks marks_;
  std::string programFolder_;
  mutable std::once_flag idsRead_;
  mutable std::array<std::vector<std::string>, kTableCount>
      ids_;  // written once, by readScheduleIds
  std::atomic<std::uint64_t> lastSerial_{0};
  std::string writeFailure_;  // under mutex_
  Access access_;
  std::vector<LoadProblem> loadProblems_;  // written only while loading
};

}  // namespace tern
