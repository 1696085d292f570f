#include "common/file_io.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>

#include "fakes/scratch_folder.h"

namespace tern {
namespace {

class FileIo : public ::testing::Test {
 protected:
  std::string path(const char* name) const { return (dir_ / name).string(); }
  testing::ScratchFolder dir_{"tern_file_io"};
};

// What the user reads of a failed save or read names the file and the reason, in German.
TEST_F(FileIo, FailuresAreToldInGerman) {
  const struct {
    FileStatus status;
    std::string text;
  } cases[] = {
      {readWholeFile(path("missing"), 10).status,
       path("missing") + " kann nicht geöffnet werden: Datei oder Ordner nicht vorhanden"},
      {readWholeFile(dir_.string(), 10).status,
       dir_.string() + " kann nicht gelesen werden: Ist ein Ordner"},
      {replaceFileAtomically(path("no/such/file"), Bytes{1}),
       "Für " + path("no/such/file") +
           " kann keine Zwischendatei angelegt werden: Datei oder Ordner nicht vorhanden"},
  };
  for (const auto& c : cases) {
    EXPECT_FALSE(c.status);
    EXPECT_EQ(c.status.message, c.text);
  }
}

TEST_F(FileIo, ReplaceThenReadGivesTheSameBytesAndLeavesNoTemporaryFile) {
  Bytes data{0, 1, 2, 255};
  ASSERT_TRUE(replaceFileAtomically(path("a.bin"), data));
  ASSERT_TRUE(replaceFileAtomically(path("a.bin"), Bytes{9}));
  auto read = readWholeFile(path("a.bin"), 100);
  ASSERT_TRUE(read.status);
  EXPECT_EQ(read.bytes, Bytes{9});
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir_), {}), 1);
}

TEST_F(FileIo, FailedReplaceKeepsTheOldFileWhole) {
  ASSERT_TRUE(replaceFileAtomically(path("a.bin"), Bytes{1, 2, 3}));
  if (::geteuid() == 0) GTEST_SKIP() << "root may write into read-only folders";
  ::chmod(dir_.c_str(), 0555);
  FileStatus s = replaceFileAtomically(path("a.bin"), Bytes{7});
  EXPECT_FALSE(s.ok);
  EXPECT_NE(s.error, 0);
  EXPECT_EQ(readWholeFile(path("a.bin"), 100).bytes, (Bytes{1, 2, 3}));
}

TEST_F(FileIo, ReplaceIntoMissingFolderFails) {
  FileStatus s = replaceFileAtomically(path("missing/a.bin"), Bytes{1});
  EXPECT_FALSE(s.ok);
  EXPECT_EQ(s.error, ENOENT);
}

// A batch replaces each file as a single replacement would: the bytes exactly (also across
// the pieces the disk is started on), a failing file on its own, and nothing left behind.
TEST_F(FileIo, BatchReplacesEachFileOrFailsItAlone) {
  ASSERT_TRUE(replaceFileAtomically(path("a.bin"), Bytes{1, 2, 3}));
  Bytes large((std::size_t{9} << 20) + 3);
  for (std::size_t i = 0; i < large.size(); ++i)
    large[i] = static_cast<std::uint8_t>(i * 7 + i / 4096);
  std::vector<FileStatus> statuses;
  {
    FileReplacementBatch batch;
    batch.add(path("a.bin"), Bytes{9});
    batch.add(path("missing/c.bin"), Bytes{5});
    batch.add(path("large.bin"), large);
    // Readers still see the old file until the batch is committed.
    EXPECT_EQ(readWholeFile(path("a.bin"), 100).bytes, (Bytes{1, 2, 3}));
    statuses = batch.commit();
  }
  ASSERT_EQ(statuses.size(), 3u);
  EXPECT_TRUE(statuses[0]);
  EXPECT_EQ(statuses[1].error, ENOENT);
  EXPECT_TRUE(statuses[2]);
  EXPECT_EQ(readWholeFile(path("a.bin"), 100).bytes, Bytes{9});
  EXPECT_EQ(readWholeFile(path("large.bin"), large.size()).bytes, large);
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir_), {}), 2);

  // A batch dropped before its commit changes nothing.
  {
    FileReplacementBatch dropped;
    dropped.add(path("a.bin"), Bytes{4});
  }
  EXPECT_EQ(readWholeFile(path("a.bin"), 100).bytes, Bytes{9});
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir_), {}), 2);
}

TEST_F(FileIo, ReadRefusesOversizeMissingAndFolders) {
  ASSERT_TRUE(replaceFileAtomically(path("big.bin"), Bytes(101, 0)));
  EXPECT_EQ(readWholeFile(path("big.bin"), 100).status.error, EFBIG);
  EXPECT_TRUE(readWholeFile(path("big.bin"), 101).status.ok);
  EXPECT_EQ(readWholeFile(path("none.bin"), 100).status.error, ENOENT);
  EXPECT_FALSE(readWholeFile(dir_.string(), 100).status.ok);
}

// One buffer handed from read to read: each result is that file's bytes alone, whether the
// file before it was longer or shorter or could not be read.
TEST_F(FileIo, AReusedBufferHoldsOnlyTheFileJustRead) {
  ASSERT_TRUE(replaceFileAtomically(path("long.bin"), Bytes(300, 7)));
  ASSERT_TRUE(replaceFileAtomically(path("short.bin"), Bytes{1, 2, 3}));
  const struct {
    const char* name;
    std::size_t cap;
    bool ok;
    Bytes bytes;
  } reads[] = {{"short.bin", 300, true, {1, 2, 3}}, {"long.bin", 300, true, Bytes(300, 7)},
               {"short.bin", 300, true, {1, 2, 3}}, {"none.bin", 300, false, {}},
               {"long.bin", 100, false, {}},        {"long.bin", 300, true, Bytes(300, 7)}};
  Bytes buffer;
  for (const auto& r : reads) {
    FileData file = readWholeFile(path(r.name), r.cap, std::move(buffer));
    EXPECT_EQ(file.status.ok, r.ok) << r.name;
    EXPECT_EQ(file.bytes, r.bytes) << r.name;
    buffer = std::move(file.bytes);
  }
}

TEST_F(FileIo, AFolderThatCannotBeMadeTellsWhyMkdirRefused) {
  std::filesystem::create_symlink(dir_ / "nowhere", dir_ / "dangling");
  errno = 0;
  EXPECT_FALSE(makeFolder(path("dangling")));
  EXPECT_EQ(errno, EEXIST) << "not the ENOENT of the look that follows it";
}

}  // namespace
}  // namespace tern
