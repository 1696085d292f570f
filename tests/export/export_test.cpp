#include "export/export.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <csignal>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <future>
#include <set>
#include <thread>

#include "common/error_text.h"
#include "common/file_io.h"
#include "export/export_folder_lock.h"
#include "export/export_queue.h"
#include "export/export_run.h"
#include "fakes/fax_encoder.h"
#include "fakes/store_fixture.h"
#include "fax/fax_image.h"
#include "synop/synop_gpx.h"

namespace tern::testing {
namespace {

namespace fs = std::filesystem;

std::set<std::string> namesIn(const fs::path& folder) {
  std::set<std::string> names;
  for (const auto& entry : fs::directory_iterator(folder)) names.insert(entry.path().filename());
  return names;
}

std::string fileText(const fs::path& path) {
  const Bytes b = readWholeFile(path.string(), 1 << 24).bytes;
  return std::string(b.begin(), b.end());
}

class ExportTest : public StoreTest {
 protected:
  std::string folder() const { return out_.string(); }
  fs::path sub(const char* name) const { return out_ / name; }
  MessageRecord& chart(int station, int row, int slot, const std::string& key, int lines) {
    const Bytes data = encodeBuffer(chartBuffer(lines));
    return put(kFirstFaxTable + station, row, slot, 0, key, CivilTime{2024, 3, 5, 14, 20},
               std::string(data.begin(), data.end()));
  }

  ScratchFolder out_{"tern_export"};
  const CivilTime t{2024, 3, 5, 14, 20};
};

TEST_F(ExportTest, TextFilesHoldTheNewestBulletinAndEveryNavtexMessage) {
  put(0, 0, 0, 3, "FQEN50", t, "Seewetter\r\nNordsee\nNNNN");
  put(0, 1, 1, 3, "FQEN51", t, "only an older recording");  // slot 0 empty: no file
  put(0, 2, 0, 3, "WODL45", t, "");                         // no data: no file
  put(1, 0, 0, 6, "WODL45", t, "GALE WARNING\n\n");
  navtex(kNavtex518, "SA01", t, "ZCZC SA01 NO LINE FEED");
  navtex(kNavtex518, "SA02", t, "");
  navtex(kNavtex518, "SA01", t, "later one wins\n");
  navtex(kNavtex490, "LA07", t, "NATIONAL\n");

  const ExportOutcome result =
      Export(folder(), *store, {.faxTurn = {}, .baroPicture = Bytes{'B', 'M'}});
  EXPECT_TRUE(result.complete()) << result.firstError;
  EXPECT_EQ(namesIn(out_), (std::set<std::string>{"BARO", "DWD_DEUTSCH", "DWD_ENGLISH", "FAX",
                                                  "INTERNAT", "NATIONAL"}));
  EXPECT_EQ(namesIn(sub("DWD_DEUTSCH")), std::set<std::string>{"FQEN50.TXT"});
  // The carriage return stays in its line and the line end adds its own.
  EXPECT_EQ(fileText(sub("DWD_DEUTSCH") / "FQEN50.TXT"), "Seewetter\r\r\nNordsee\r\nNNNN\r\n");
  EXPECT_EQ(fileText(sub("DWD_ENGLISH") / "WODL45.TXT"), "GALE WARNING\r\n\r\n");
  EXPECT_EQ(namesIn(sub("INTERNAT")), (std::set<std::string>{"SA01.TXT", "SA02.TXT"}));
  EXPECT_EQ(fileText(sub("INTERNAT") / "SA01.TXT"), "later one wins\r\n");
  EXPECT_EQ(fileText(sub("INTERNAT") / "SA02.TXT"), "");
  EXPECT_EQ(fileText(sub("NATIONAL") / "LA07.TXT"), "NATIONAL\r\n");
  EXPECT_EQ(fileText(sub("BARO") / kBaroExportName), "BM");
  EXPECT_EQ(result.written, 6);

  // Without a chart to draw (tern-cli) the barograph picture is left out.
  Export(folder(), *store);
  EXPECT_TRUE(namesIn(sub("BARO")).empty());
  EXPECT_EQ(ExportText(Bytes{'a', 'b'}), (Bytes{'a', 'b', 13, 10}));
}

TEST_F(ExportTest, TheSynopWaypointsGoBesideTheMirrorOfAnExistingFolderOnly) {
  // The export folder is the user's choice; a missing one is not made up.
  EXPECT_FALSE(ExportSynopGpx((out_ / "missing").string(), *store, t));
  EXPECT_FALSE(fs::exists(out_ / "missing"));
  ExportOutcome outcome;
  EXPECT_EQ(RunExport(folder(), *store, {}, t, &outcome), "");
  EXPECT_EQ(outcome.written, 1) << "the waypoint file counts like the mirror's files";
  EXPECT_EQ(fileText(sub("SYNOP") / "synop.gpx"), synopGpxOfStore(*store, t));
  ASSERT_TRUE(ExportSynopGpx(folder(), *store, t));  // replaced whole
  EXPECT_EQ(namesIn(sub("SYNOP")), std::set<std::string>{"synop.gpx"});

  // A file where its subfolder belongs: a failure counted as one, nothing counted as written.
  fs::remove_all(sub("SYNOP"));
  std::ofstream(sub("SYNOP")) << "mine";
  const std::string failure = RunExport(folder(), *store, {}, t, &outcome);
  EXPECT_EQ(failure.rfind("SYNOP/synop.gpx nicht geschrieben: ", 0), 0u) << failure;
  EXPECT_EQ(outcome.written, 0);
  EXPECT_EQ(outcome.failed, 1);
  EXPECT_EQ(outcome.firstError, failure);
}

TEST_F(ExportTest, TheMirrorDropsStrayFilesButLeavesSubfoldersAndNeedsAFolder) {
  put(0, 0, 0, 3, "FQEN50", t, "x");
  fs::create_directories(sub("DWD_DEUTSCH") / "keep");
  std::ofstream(sub("DWD_DEUTSCH") / "keep" / "inner.txt") << "mine";
  std::ofstream(sub("DWD_DEUTSCH") / "stray.txt") << "stray";
  std::ofstream(sub("DWD_DEUTSCH") / "FQEN50.TXT.tmp-abcdef") << "left by a crash";
  fs::permissions(sub("DWD_DEUTSCH") / "stray.txt", fs::perms::owner_read);
  EXPECT_TRUE(Export(folder(), *store).complete());
  EXPECT_EQ(namesIn(sub("DWD_DEUTSCH")), (std::set<std::string>{"FQEN50.TXT", "keep"}));
  EXPECT_EQ(fileText(sub("DWD_DEUTSCH") / "keep" / "inner.txt"), "mine");

  // An aged-out bulletin leaves the mirror at the next export.
  store->table(0).slot(0, 0) = MessageRecord::empty();
  Export(folder(), *store);
  EXPECT_EQ(namesIn(sub("DWD_DEUTSCH")), std::set<std::string>{"keep"});

  // A file where the folder should be, or no folder at all: nothing happens.
  std::ofstream(out_ / "plain") << "file";
  EXPECT_FALSE(Export((out_ / "plain").string(), *store).folderFound);
  EXPECT_FALSE(Export((out_ / "missing").string(), *store).folderFound);
  EXPECT_FALSE(Export("", *store).folderFound);
  EXPECT_EQ(fileText(out_ / "plain"), "file");
}

TEST_F(ExportTest, KeyTextsCannotNameFilesOutsideTheirSubfolder) {
  put(0, 0, 0, 3, "../../evil", t, "a");
  put(0, 1, 0, 3, "..", t, "b");
  put(0, 2, 0, 3, "", t, "c");
  put(0, 3, 0, 3, std::string("A\x01\x7f/B\\C"), t, "d");
  put(0, 4, 0, 3, "\xC4RGER", t, "e");  // Latin-1 as the receiver sends it
  chart(0, 0, 0, "../FAX", 40);
  // The mirror one level down, so whatever a name could reach above it is watched.
  const fs::path mirror = out_ / "mirror";
  fs::create_directories(mirror);
  EXPECT_TRUE(Export(mirror.string(), *store).complete());
  EXPECT_EQ(namesIn(mirror / "DWD_DEUTSCH"),
            (std::set<std::string>{".._.._evil.TXT", "__.TXT", "_.TXT", "A___B_C.TXT",
                                   "\xC3\x84RGER.TXT"}));
  EXPECT_EQ(namesIn(mirror / "FAX"), std::set<std::string>{"___FAX.BMP"});
  EXPECT_EQ(namesIn(out_), std::set<std::string>{"mirror"});
  EXPECT_EQ(namesIn(mirror).size(), 6u);
}

TEST_F(ExportTest, EachFaxRowGivesItsNewestChart) {
  chart(1, 3, 0, "QYAA00", 120);  // newest
  chart(1, 3, 1, "QYAA00", 60);
  chart(1, 3, 2, "QYAA00", 30);  // oldest: would win if every slot wrote the file
  chart(4, 0, 1, "PYAA10", 60);  // no newest recording in its row: no file
  EXPECT_TRUE(Export(folder(), *store).complete());
  EXPECT_EQ(namesIn(sub("FAX")), std::set<std::string>{"QYAA00.BMP"});

  ScratchFolder only{"tern_export_only"};
  store->table(kFirstFaxTable + 1).slot(3, 1) = MessageRecord::empty();
  store->table(kFirstFaxTable + 1).slot(3, 2) = MessageRecord::empty();
  Export(only.string(), *store);
  EXPECT_EQ(fileText(sub("FAX") / "QYAA00.BMP"), fileText(only / "FAX" / "QYAA00.BMP"));

  // The station's slant value reaches the decoding.
  ScratchFolder slanted{"tern_export_slant"};
  Export(slanted.string(), *store,
         {.faxTurn = [](int k) { return k == 1 ? 300 : 0; }, .baroPicture = {}});
  EXPECT_NE(fileText(slanted / "FAX" / "QYAA00.BMP"), fileText(only / "FAX" / "QYAA00.BMP"));
}

TEST_F(ExportTest, ABadlyReceivedChartIsMirroredWithTheNoticeTheWindowDraws) {
  chart(0, 0, 0, "PYAA10", 60).header[25] |= kQualityFlagBit;
  chart(0, 1, 0, "PYAA11", 60);
  std::vector<bool> notices;
  ExportInput input;
  input.drawNotice = [&notices](const FaxPicture& p) {
    notices.push_back(p.notice.has_value());
    FaxPicture drawn = p;
    if (drawn.notice) std::fill(drawn.pixels.begin(), drawn.pixels.end(), std::uint8_t{0});
    drawn.notice.reset();
    return drawn;
  };
  ASSERT_TRUE(Export(folder(), *store, input).complete());
  // Asked for the chart with the notice only; the other is exported as decoded.
  EXPECT_EQ(notices, std::vector<bool>{true});

  ScratchFolder plain{"tern_export_plain"};
  ASSERT_TRUE(Export(plain.string(), *store).complete());
  EXPECT_NE(fileText(sub("FAX") / "PYAA10.BMP"), fileText(plain / "FAX" / "PYAA10.BMP"));
  EXPECT_EQ(fileText(sub("FAX") / "PYAA11.BMP"), fileText(plain / "FAX" / "PYAA11.BMP"));
}

TEST_F(ExportTest, AReaderNeverSeesAMissingOrPartialFile) {
  std::string big(200000, 'x');
  for (int row = 0; row < 10; ++row)
    put(0, row, 0, 3, "BULL" + std::to_string(row), t, big + std::to_string(row));
  ASSERT_TRUE(Export(folder(), *store).complete());
  std::atomic<bool> done{false};
  std::atomic<int> bad{0};
  std::atomic<int> reads{0};
  std::thread reader([&] {
    while (!done) {
      for (int row = 0; row < 10; ++row) {
        const auto b = readWholeFile(
            (sub("DWD_DEUTSCH") / ("BULL" + std::to_string(row) + ".TXT")).string(), 1 << 24);
        if (!b.status || b.bytes.size() != big.size() + 3) ++bad;
        ++reads;
      }
    }
  });
  for (int i = 0; i < 20; ++i) {
    // A new content of the same size each time, so every file is replaced.
    for (int row = 0; row < 10; ++row)
      put(0, row, 0, 3, "BULL" + std::to_string(row), t,
          std::string(big.size(), i % 2 ? 'y' : 'x') + std::to_string(row));
    Export(folder(), *store);
  }
  done = true;
  reader.join();
  EXPECT_EQ(bad, 0);
  EXPECT_GT(reads, 0);
}

// The window's automatic export and the dialog's save (or the window and tern-cli) may start
// into the same folder at once; neither may take the other's temporary files for stale.
TEST_F(ExportTest, RunsIntoOneFolderTakeTurns) {
  for (int row = 0; row < 10; ++row)
    put(0, row, 0, 3, "BULL" + std::to_string(row), t, std::string(50000, 'b'));
  for (int n = 0; n < 30; ++n) navtex(kNavtex518, "SA" + std::to_string(n), t, "text");
  chart(0, 0, 0, "CHART", 600);

  std::future<ExportOutcome> waiting;
  {
    const ExportFolderLock otherRun(folder());
    ASSERT_TRUE(otherRun.held());
    waiting = std::async(std::launch::async, [&] { return Export(folder(), *store); });
    EXPECT_EQ(waiting.wait_for(std::chrono::milliseconds(300)), std::future_status::timeout);
  }
  EXPECT_TRUE(waiting.get().complete());

  // Overlapping runs whose files change each time: every run complete, nothing left over.
  std::atomic<int> failures{0};
  auto runs = [&](char fill) {
    for (int i = 0; i < 15; ++i) {
      {
        std::lock_guard lock(store->mutex());
        put(0, i % 10, 0, 3, "BULL" + std::to_string(i % 10), t, std::string(50000, fill));
      }
      const ExportOutcome r = Export(folder(), *store);
      if (!r.complete()) ++failures;
    }
  };
  std::thread other(runs, 'x');
  runs('y');
  other.join();
  EXPECT_EQ(failures, 0);
  EXPECT_EQ(namesIn(sub("DWD_DEUTSCH")).size(), 10u);
}

TEST_F(ExportTest, AFileOfTheSameContentIsLeftAsItIs) {
  navtex(kNavtex518, "SA01", t, "same");
  navtex(kNavtex518, "SA02", t, "old");
  chart(0, 0, 0, "CHART", 300);
  ASSERT_TRUE(Export(folder(), *store).complete());
  const auto inode = [&](const fs::path& p) {
    struct stat st {};
    return ::lstat(p.c_str(), &st) == 0 ? st.st_ino : 0;
  };
  const auto sa01 = inode(sub("INTERNAT") / "SA01.TXT");
  const auto sa02 = inode(sub("INTERNAT") / "SA02.TXT");
  const auto faxFile = *namesIn(sub("FAX")).begin();
  const auto chartFile = inode(sub("FAX") / faxFile);
  // A link in place of a file of the same bytes becomes the file again.
  navtex(kNavtex490, "LA01", t, "linked");
  ASSERT_TRUE(Export(folder(), *store).complete());
  const fs::path linked = sub("NATIONAL") / "LA01.TXT";
  const fs::path target = out_ / "LA01.copy";
  fs::copy_file(linked, target);
  fs::remove(linked);
  fs::create_symlink(target, linked);

  navtex(kNavtex518, "SA02", t, "new");
  const ExportOutcome again = Export(folder(), *store);
  EXPECT_TRUE(again.complete()) << again.firstError;
  EXPECT_EQ(again.written, 4);
  EXPECT_EQ(inode(sub("INTERNAT") / "SA01.TXT"), sa01);
  EXPECT_EQ(inode(sub("FAX") / faxFile), chartFile);
  EXPECT_NE(inode(sub("INTERNAT") / "SA02.TXT"), sa02);
  EXPECT_EQ(fileText(sub("INTERNAT") / "SA02.TXT"), "new\r\n");
  EXPECT_FALSE(fs::is_symlink(linked));
  EXPECT_EQ(fileText(linked), "linked\r\n");
}

TEST(ExportQueue, RunsInOrderOffTheCallerAndFinishesWhatWasQueued) {
  ExportQueue queue;
  std::vector<std::string> done;  // touched only on the queue's thread until Finish
  std::thread::id worker;
  for (const char* failure : {"", "FAX: voll", ""})
    EXPECT_TRUE(queue.Run(
        [&, failure] {
          worker = std::this_thread::get_id();
          std::this_thread::sleep_for(std::chrono::milliseconds(20));
          return std::string(failure);
        },
        [&](const std::string& f) { done.push_back(f); }));
  queue.Finish();
  EXPECT_EQ(done, (std::vector<std::string>{"", "FAX: voll", ""}));
  EXPECT_NE(worker, std::this_thread::get_id());
  EXPECT_FALSE(queue.Run([] { return std::string(); }, nullptr));
}

TEST_F(ExportTest, AnUnwritableSubfolderIsReportedAndTheRestIsStillWritten) {
  put(0, 0, 0, 3, "FQEN50", t, "x");
  std::ofstream(sub("DWD_DEUTSCH")) << "a file where the subfolder belongs";
  const ExportOutcome result = Export(folder(), *store);
  EXPECT_FALSE(result.complete());
  EXPECT_EQ(result.failed, 1);
  EXPECT_NE(result.firstError.find("DWD_DEUTSCH"), std::string::npos) << result.firstError;
  EXPECT_EQ(result.written, 0);
  EXPECT_TRUE(fs::is_directory(sub("FAX")));
}

TEST_F(ExportTest, AReadOnlyFolderIsReportedAndTheDataFolderLosesNothing) {
  if (::geteuid() == 0) GTEST_SKIP() << "root writes anywhere";
  put(0, 0, 0, 3, "FQEN50", t, "x");
  ASSERT_TRUE(store->SaveFiles());
  const std::string dataFile = fileText(store->tableFilePath(0));
  fs::create_directories(sub("DWD_DEUTSCH"));
  std::ofstream(sub("DWD_DEUTSCH") / "old.txt") << "old";
  fs::permissions(sub("DWD_DEUTSCH"), fs::perms::owner_read | fs::perms::owner_exec);
  const ExportOutcome result = Export(folder(), *store);
  fs::permissions(sub("DWD_DEUTSCH"), fs::perms::owner_all);
  EXPECT_FALSE(result.complete());
  EXPECT_GE(result.failed, 1);
  EXPECT_NE(result.firstError.find("FQEN50"), std::string::npos) << result.firstError;
  EXPECT_TRUE(fs::exists(sub("FAX")));  // the other subfolders were still written
  EXPECT_EQ(fileText(store->tableFilePath(0)), dataFile);
  EXPECT_FALSE(store->table(0).slot(0, 0).isEmpty());
}

// The export removes only what it wrote itself: never through a symbolic link, never the
// old copy of a file it could not replace, never what a damaged data file may have lost.
TEST_F(ExportTest, TheMirrorDeletesOnlyWhatItsNewContentReplaced) {
  put(0, 0, 0, 3, "FQEN50", t, "old");
  navtex(kNavtex518, "SA01", t, "x");
  ASSERT_TRUE(Export(folder(), *store).complete());

  // A subfolder that links to the user's own folder is refused with a message.
  ScratchFolder own{"tern_export_own"};
  std::ofstream(own / "mine.txt") << "mine";
  fs::remove_all(sub("INTERNAT"));
  fs::create_directory_symlink(own.path(), sub("INTERNAT"));
  ExportOutcome result = Export(folder(), *store);
  EXPECT_EQ(result.failed, 1);
  EXPECT_NE(result.firstError.find("symbolischer Verweis"), std::string::npos) << result.firstError;
  EXPECT_EQ(namesIn(own.path()), std::set<std::string>{"mine.txt"});
  EXPECT_EQ(namesIn(sub("DWD_DEUTSCH")), std::set<std::string>{"FQEN50.TXT"});
  fs::remove(sub("INTERNAT"));

  // A full disk: the new bulletin of the row cannot be written, so the old one stays; the
  // reason is told once.
  put(0, 0, 0, 3, "FQEN51", t, std::string(20000, 'n'));
  ::signal(SIGXFSZ, SIG_IGN);
  rlimit previous{};
  ::getrlimit(RLIMIT_FSIZE, &previous);
  rlimit small = previous;
  small.rlim_cur = 4096;
  ::setrlimit(RLIMIT_FSIZE, &small);
  result = Export(folder(), *store);
  ::setrlimit(RLIMIT_FSIZE, &previous);
  EXPECT_EQ(result.failed, 1);
  EXPECT_EQ(namesIn(sub("DWD_DEUTSCH")), std::set<std::string>{"FQEN50.TXT"});
  const std::string cause = tern::systemErrorText(EFBIG);
  EXPECT_EQ(result.firstError.find(cause), result.firstError.rfind(cause)) << result.firstError;
  EXPECT_NE(result.firstError.find(cause), std::string::npos) << result.firstError;
  ASSERT_TRUE(Export(folder(), *store).complete());
  EXPECT_EQ(namesIn(sub("DWD_DEUTSCH")), std::set<std::string>{"FQEN51.TXT"});

  // A damaged DWD data file: what it lost is not gone from the receiver, so its subfolder
  // keeps the older files; the others are mirrored as always.
  std::ofstream(store->tableFilePath(1)) << "cut short";
  std::ofstream(sub("DWD_ENGLISH") / "WODL45.TXT") << "from before";
  std::ofstream(sub("DWD_DEUTSCH") / "stray.txt") << "stray";
  const MessageStore looking(dir_.slash(), std::string(TERN_ASSETS_DIR) + "/", nullptr,
                             MessageStore::Access::ReadOnly);
  result = Export(folder(), looking);
  EXPECT_TRUE(result.complete()) << result.firstError;
  EXPECT_EQ(result.keptIncomplete, 1);
  EXPECT_EQ(namesIn(sub("DWD_ENGLISH")), std::set<std::string>{"WODL45.TXT"});
  EXPECT_EQ(namesIn(sub("DWD_DEUTSCH")), std::set<std::string>{});
}

}  // namespace
}  // namespace tern::testing
