#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>

#include "common/file_io.h"
#include "readout/readout_fixture.h"

namespace tern::testing {
namespace {

TEST_F(ReadoutTest, ShippedScheduleFilesKeyEveryRowWithoutComplaint) {
  open();
  EXPECT_TRUE(sink.texts.empty());
  const std::pair<int, const char*> rows[] = {{0, "WODL45"}, {2, "ASXX40"}};
  for (auto [table, id] : rows) EXPECT_EQ(store->rowOf(table, id), 0) << id;
  // The "/" blocks of the German programme stand for eight rows each.
  int smvx1 = store->rowOf(0, "SMVX41");
  ASSERT_GE(smvx1, 0);
  EXPECT_EQ(store->rowOf(0, "SMVX48"), smvx1 + 7);
  EXPECT_EQ(store->rowOf(0, "NOSUCH"), -1);
}

TEST_F(ReadoutTest, MissingScheduleFilesAreReportedAndGiveEmptyIdentifiers) {
  store = std::make_unique<MessageStore>(dataFolder(), dataFolder(), &sink);
  // Per file: the error box, then the count name.
  ASSERT_EQ(sink.texts.size(), 14u);
  EXPECT_EQ(sink.texts[0], "Fehler im Sendeplan!");
  EXPECT_EQ(sink.texts[1], "DwdDeutschIdCount");
  EXPECT_EQ(sink.texts[13], "FaxNewOrleansIdCount");
  EXPECT_EQ(store->identifiers(1).size(), 40u);
  EXPECT_EQ(store->rowOf(1, ""), 0);  // only an empty key finds a row
}

// Without a sink nobody hears of the schedules, so they are read when first asked for: a
// schedule that arrives after the store was made is the one used.
TEST_F(ReadoutTest, WithoutASinkTheSchedulesAreReadWhenFirstAskedFor) {
  const std::string program = dataFolder() + "program/";
  std::filesystem::create_directory(program);
  MessageStore looking(dataFolder(), program, nullptr, MessageStore::Access::ReadOnly);
  for (const auto& entry : std::filesystem::directory_iterator(programFolder()))
    if (entry.path().filename().string().rfind("SCHEDULE_", 0) == 0)
      std::filesystem::copy_file(entry.path(), program + entry.path().filename().string());
  EXPECT_EQ(looking.rowOf(0, "WODL45"), 0);
  EXPECT_EQ(looking.identifiers(2)[0].substr(0, 6), "ASXX40");
}

TEST_F(ReadoutTest, SaveThenLoadKeepsEveryByteAndTheNewFlags) {
  open();
  {
    std::lock_guard lock(store->mutex());
    MessageTable::Counters counters{};
    auto h = makeHeader(3, 4, "WODL45", {2026, 3, 5, 12, 0, 0, 0});
    store->table(0).store(0, counters, h, Bytes{1, 2, 3, 4}, store->nextSerial());
    store->navtex(kNavtex490)
        .append(makeHeader(9, 1, "LA01", {2026, 3, 5, 12, 0, 0, 0}), Bytes{7}, store->nextSerial());
    store->baro().samples()[0] = 0x55;
  }
  ASSERT_TRUE(store->SaveFiles());
  for (const char* name :
       {"fax_dwd_data.bin", "fax_northwood_data.bin", "fax_halifax_data.bin", "fax_boston_data.bin",
        "fax_new_orleans_data.bin", "dwd_d_data.bin", "dwd_e_data.bin", "navtex_518_data.bin",
        "navtex_490_data.bin", "baro_data.bin"}) {
    EXPECT_TRUE(fileExists(dataFolder() + name)) << name;
  }
  EXPECT_EQ(std::filesystem::file_size(dataFolder() + "dwd_d_data.bin"), 26u * 3u * 27u + 4u);
  EXPECT_EQ(std::filesystem::file_size(dataFolder() + "baro_data.bin"), 258568u);

  MessageStore again(dataFolder(), programFolder(), nullptr);
  EXPECT_EQ(again.table(0).slot(0, 0).data, (Bytes{1, 2, 3, 4}));
  EXPECT_EQ(again.table(0).slot(0, 0).newFlag, 1);
  ASSERT_EQ(again.navtex(kNavtex490).records().size(), 1u);
  EXPECT_EQ(again.baro().samples()[0], 0x55);
  // Loaded tables are handed to the views at the first pass; missing files are not.
  EXPECT_EQ(again.ChangedFlags[kChannelDwdGerman], 1);
  EXPECT_EQ(again.ChangedFlags[kChannelNavtex518], 1);
}

TEST_F(ReadoutTest, UnwritableDataFolderKeepsTheMessagesInMemory) {
  open();
  {
    std::lock_guard lock(store->mutex());
    MessageTable::Counters counters{};
    store->table(1).store(0, counters, makeHeader(6, 0, "WODL45", {2026, 3, 5, 12, 0, 0, 0}), {},
                          store->nextSerial());
  }
  // The data folder is replaced by a file: nothing can be written there.
  std::filesystem::remove_all(dir_);
  { std::ofstream(dir_.string()) << "x"; }
  EXPECT_FALSE(store->SaveFiles());
  EXPECT_FALSE(store->table(1).slot(0, 0).isEmpty());
  std::filesystem::remove(dir_);
  std::filesystem::create_directories(dir_);
  EXPECT_TRUE(store->SaveFiles());  // tried again later: now it works
}

}  // namespace
}  // namespace tern::testing

namespace tern::testing {
namespace {

TEST_F(ReadoutTest, CrashBetweenWriteAndRenameLosesNothing) {
  open();
  {
    std::lock_guard lock(store->mutex());
    MessageTable::Counters counters{};
    store->table(0).store(0, counters, makeHeader(3, 2, "WODL45", {2026, 3, 5, 12, 0, 0, 0}),
                          Bytes{1, 2}, store->nextSerial());
  }
  ASSERT_TRUE(store->SaveFiles());
  // What a crash in the middle of the next write leaves: a half temporary file.
  { std::ofstream(dataFolder() + "dwd_d_data.bin.tmp-AbC123") << "half"; }
  { std::ofstream(dataFolder() + "notes.tmp-keep") << "not ours"; }
  MessageStore again(dataFolder(), programFolder(), nullptr);
  EXPECT_EQ(again.table(0).slot(0, 0).data, (Bytes{1, 2}));
  EXPECT_FALSE(std::filesystem::exists(dataFolder() + "dwd_d_data.bin.tmp-AbC123"));
  EXPECT_TRUE(std::filesystem::exists(dataFolder() + "notes.tmp-keep"));
}

TEST_F(ReadoutTest, FilesThatCannotBeOpenedAreReportedAndNeverReplaced) {
  // A FIFO and a folder named like data files: opening must not block, and neither may be
  // taken for a damaged file, renamed or written over. (A file without read permission is
  // the same case for any user but root.)
  ASSERT_EQ(::mkfifo((dataFolder() + "navtex_518_data.bin").c_str(), 0644), 0);
  std::filesystem::create_directory(dataFolder() + "dwd_d_data.bin");
  open();
  ASSERT_EQ(store->loadProblems().size(), 2u);
  for (const auto& problem : store->loadProblems()) {
    EXPECT_EQ(problem.result, LoadResult::Unreadable) << problem.path;
  }
  EXPECT_NE(store->loadProblems()[0].reason.find("dwd_d_data.bin"), std::string::npos);
  {
    std::lock_guard lock(store->mutex());
    store->navtex(kNavtex518)
        .append(makeHeader(10, 0, "SA01", {2026, 3, 5, 12, 0, 0, 0}), {}, store->nextSerial());
  }
  EXPECT_FALSE(store->SaveFiles());
  EXPECT_NE(store->takeWriteFailure().find("die Datei war beim Start nicht lesbar"),
            std::string::npos);
  EXPECT_TRUE(std::filesystem::is_fifo(dataFolder() + "navtex_518_data.bin"));
  EXPECT_TRUE(std::filesystem::is_directory(dataFolder() + "dwd_d_data.bin"));
  EXPECT_FALSE(std::filesystem::exists(dataFolder() + "navtex_518_data.bin.damaged"));
  EXPECT_TRUE(std::filesystem::exists(dataFolder() + "dwd_e_data.bin")) << "the others are written";
}

TEST_F(ReadoutTest, ReadOnlyUseLeavesADamagedFolderAsItIs) {
  { std::ofstream(dataFolder() + "dwd_d_data.bin") << "too short for a table"; }
  { std::ofstream(dataFolder() + "baro_data.bin.tmp-AbC123") << "half"; }
  MessageStore looking(dataFolder(), programFolder(), nullptr, MessageStore::Access::ReadOnly);
  ASSERT_EQ(looking.loadProblems().size(), 1u);
  EXPECT_EQ(looking.loadProblems()[0].result, LoadResult::Damaged);
  EXPECT_FALSE(looking.SaveFiles());
  EXPECT_FALSE(std::filesystem::exists(dataFolder() + "dwd_d_data.bin.damaged"));
  EXPECT_TRUE(std::filesystem::exists(dataFolder() + "baro_data.bin.tmp-AbC123"));
  EXPECT_FALSE(std::filesystem::exists(dataFolder() + "dwd_e_data.bin"));
}

TEST_F(ReadoutTest, ReadOnlyDataFolderKeepsTheMessagesInMemory) {
  if (::geteuid() == 0) GTEST_SKIP() << "root writes into read-only folders";
  open();
  {
    std::lock_guard lock(store->mutex());
    store->navtex(kNavtex518)
        .append(makeHeader(10, 0, "SA01", {2026, 3, 5, 12, 0, 0, 0}), {}, store->nextSerial());
  }
  std::filesystem::permissions(
      dir_, std::filesystem::perms::owner_read | std::filesystem::perms::owner_exec);
  EXPECT_FALSE(store->SaveFiles());
  EXPECT_FALSE(store->takeWriteFailure().empty());
  EXPECT_EQ(store->navtex(kNavtex518).records().size(), 1u);
  std::filesystem::permissions(dir_, std::filesystem::perms::owner_all);
}

}  // namespace
}  // namespace tern::testing
