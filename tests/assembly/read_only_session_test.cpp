// The sessions beside the application session: the read-only one of the commands that only
// read a data folder, and the folder claim that every writer holds. Both decide the folder
// as the application session does; the reader never makes, locks or changes anything.
#include "assembly/read_only_session.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>

#include "assembly/folder_claim.h"
#include "assembly/session_fixture.h"
#include "fakes/recording_view.h"
#include "messages/channels.h"

namespace tern::testing {
namespace {

namespace fs = std::filesystem;

// Name, size and time of every file below `folder`: what a reader must leave alone.
std::map<std::string, std::pair<std::uintmax_t, fs::file_time_type>> contents(
    const fs::path& folder) {
  std::map<std::string, std::pair<std::uintmax_t, fs::file_time_type>> all;
  for (const auto& entry : fs::recursive_directory_iterator(folder))
    all[entry.path().string()] = {entry.is_regular_file() ? entry.file_size() : 0,
                                  entry.last_write_time()};
  return all;
}

TEST_F(SessionTest, AMissingDataFolderIsNamedAndNeverMadeWhateverIsOpened) {
  const fs::path missing = dir_ / "not" / "there";
  options.dataFolderOverride = missing.string();
  const std::function<void(ReadOnlySession&)> opens[] = {
      [](ReadOnlySession&) {},
      [](ReadOnlySession& s) { s.Store(); },
      [](ReadOnlySession& s) { s.SettingsState(); },
      [](ReadOnlySession& s) { s.ExportSettings(); },
  };
  for (const auto& open : opens) {
    ReadOnlySession reader(options, &sink);
    EXPECT_EQ(reader.MissingFolderProblem(),
              "Den Datenordner " + missing.string() + "/ gibt es nicht");
    open(reader);
    EXPECT_FALSE(fs::exists(dir_ / "not"));
  }
  EXPECT_TRUE(sink.texts.empty()) << sink.last();

  // Without a sink, what the schedule files would say is not said, and nothing breaks.
  options.programFolder = (dir_ / "no-program").string();
  ReadOnlySession quiet(options, nullptr);
  quiet.Store();
  EXPECT_EQ(quiet.SettingsState(), SettingsLoad::Missing);
  EXPECT_TRUE(sink.texts.empty()) << sink.last();
  ReadOnlySession(options, &sink).Store();
  EXPECT_FALSE(sink.texts.empty()) << "a sink hears of the missing schedule files";
}

TEST_F(SessionTest, AFolderInUseIsReadAsItIsWithoutTouchingIt) {
  ApplicationSession writer(options, clock);
  writer.Open(sink);
  RecordingView view;
  DirectHandOver handOver;
  writer.Attach(view, handOver);
  writer.Thread()->RunPass();
  writer.Settings().SetFaxTurn(kFirstFaxTable + 1, 7);
  ASSERT_TRUE(writer.Settings().SaveSettings());
  ASSERT_EQ(writer.Close(), "");
  const fs::path data = writer.DataFolder();
  // What the writer would clean up at its next start: a cut-short data file and a temporary.
  fs::resize_file(data / "navtex_518_data.bin", 100);
  std::ofstream(data / "baro_data.bin.tmp-abc123") << "cut";
  const auto before = contents(data);

  options.dataFolderOverride = writer.DataFolder();
  ReadOnlySession reader(options, &sink);
  EXPECT_EQ(reader.MissingFolderProblem(), "");
  EXPECT_GT(reader.Store().baro().count(), 0) << "read while the writer holds the lock";
  ASSERT_EQ(reader.Store().loadProblems().size(), 1u);
  EXPECT_EQ(reader.Store().loadProblems()[0].path, (data / "navtex_518_data.bin").string());
  EXPECT_EQ(reader.SettingsState(), SettingsLoad::Valid);
  const ExportInput input = reader.ExportSettings();
  EXPECT_EQ(input.faxTurn(1), 7) << "the slant of the data folder's settings";
  EXPECT_EQ(input.faxTurn(0), writer.Settings().FaxTurn(kFirstFaxTable));
  ASSERT_TRUE(input.calibrations.has_value());
  EXPECT_EQ(input.calibrations->PathOf("DWD", "ASXX40").rfind(data.string(), 0), 0u);
  EXPECT_EQ(contents(data), before) << "nothing made, renamed, removed or written";
}

TEST_F(SessionTest, AWriterClaimsItsFolderAloneAndOnlyThenOpensTheStore) {
  options.dataFolderOverride = (dir_ / "a" / "b").string();
  FolderClaim first(options);
  EXPECT_TRUE(first.FolderMade()) << "made with its missing parents";
  EXPECT_FALSE(first.FolderInUse());
  EXPECT_NE(first.OpenStore(sink), nullptr);

  FolderClaim second(options);
  EXPECT_TRUE(second.FolderInUse());
  EXPECT_EQ(second.OpenStore(sink), nullptr);

  std::ofstream(dir_ / "file") << "x";
  options.dataFolderOverride = (dir_ / "file" / "sub").string();
  EXPECT_FALSE(FolderClaim(options).FolderMade());
}

}  // namespace
}  // namespace tern::testing
