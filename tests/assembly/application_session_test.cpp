// The session that the window and the command-line front ends share: its folders, its lock,
// a read-out on the simulated receiver through an attached view, and its teardown.
#include "assembly/application_session.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "assembly/read_only_session.h"
#include "assembly/session_fixture.h"
#include "fakes/recording_view.h"
#include "messages/channels.h"

namespace tern::testing {
namespace {

namespace fs = std::filesystem;

TEST_F(SessionTest, TheDataFolderFollowsTheCommandLine) {
  const std::string program = std::string(TERN_ASSETS_DIR) + "/";
  struct Case {
    std::optional<std::string> override, user;
    bool simulate;
    std::string folder;
  } cases[] = {
      {"/x/portable", "/home/u/.local/share", true, "/x/portable/"},
      {"/x/portable/", std::nullopt, false, "/x/portable/"},
      {std::nullopt, "/home/u/.local/share", false, "/home/u/.local/share/TERN/"},
      {std::nullopt, "/home/u/.local/share/", true, "/home/u/.local/share/TERN-Simulation/"},
      {std::nullopt, std::nullopt, true, program},
  };
  for (const Case& c : cases) {
    SessionOptions o;
    o.dataFolderOverride = c.override;
    o.userDataFolder = c.user;
    o.simulate = c.simulate;
    o.programFolder = TERN_ASSETS_DIR;
    EXPECT_EQ(ApplicationSession::DataFolderFor(o), c.folder);
    // The commands that only read decide it by the same rule.
    const ReadOnlySession reader(o, nullptr);
    EXPECT_EQ(reader.DataFolder(), c.folder);
    EXPECT_EQ(reader.ProgramFolder(), program);
  }
}

TEST_F(SessionTest, ReadsOutTheSimulatedReceiverThroughTheAttachedViewAndWritesAtClose) {
  const fs::path data = dir_ / "TERN-Simulation";
  RecordingView view;
  DirectHandOver handOver;
  {
    ApplicationSession session(options, clock);
    EXPECT_EQ(session.DataFolder(), data.string() + "/");
    ASSERT_TRUE(fs::is_directory(data)) << "made before anything is opened";
    ASSERT_FALSE(session.FolderInUse());
    session.Open(sink);
    session.Attach(view, handOver);
    TGetDataThread* pass = session.Thread();
    ASSERT_NE(pass, nullptr);
    EXPECT_FALSE(pass->running()) << "attached, not started";

    // A second writer of the same folder is refused and opens nothing.
    ApplicationSession second(options, clock);
    EXPECT_TRUE(second.FolderInUse());
    second.Open(sink);
    EXPECT_FALSE(second.IsOpen());

    const SynopReportList before = session.Synop().Current();
    EXPECT_TRUE(before->empty());
    pass->RunPass();
    EXPECT_FALSE(session.Synop().Current()->empty())
        << "the SYNOP reports are decoded by the pass that brought the bulletins";
    EXPECT_TRUE(before->empty()) << "a list handed out stays as it was";
    for (const char* event : {"connected", "baro", "dwd", "navtex", "fax"})
      EXPECT_GT(view.count(event), 0) << event;
    EXPECT_EQ(pass->FirmwareText(), "1.2.4");
    EXPECT_GT(session.Store().baro().count(), 0);
    const std::size_t navtex = session.Store().navtex(kNavtex518).records().size() +
                               session.Store().navtex(kNavtex490).records().size();
    EXPECT_GT(navtex, 0u);
    // Every NAVTEX message read out came with the news, each once.
    EXPECT_EQ(view.appended.size(), navtex);

    fs::remove(data / "baro_data.bin");
    EXPECT_EQ(session.Close(), "");
    EXPECT_EQ(session.Thread(), nullptr) << "the polling thread ends for good";
    EXPECT_TRUE(session.FinalPass().connected) << "the last pass's report outlives the thread";
    EXPECT_TRUE(session.FinalPass().interrupted.empty());
    EXPECT_TRUE(fs::exists(data / "baro_data.bin")) << "every data file written at close";
    EXPECT_EQ(session.Close(), "") << "a second close does nothing";
    EXPECT_TRUE(ApplicationSession(options, clock).FolderInUse()) << "locked until the end";
  }
  EXPECT_FALSE(ApplicationSession(options, clock).FolderInUse());
  EXPECT_TRUE(sink.texts.empty()) << sink.last();
}

TEST_F(SessionTest, TheAlertWatchTakesTheNavtexFilterOfTheDataFolderAndTheNetworkItsTargets) {
  const fs::path data = dir_ / "TERN-Simulation";
  fs::create_directories(data);
  std::ofstream(data / "navtex_filter.txt") << "518.stations.shown=PQ\n518.subjects.kaputt=A\n";
  options.network = {{"127.0.0.1:9"}, {"no-such-host.invalid:3000"}};
  ApplicationSession session(options, clock);
  session.Open(sink);
  EXPECT_FALSE(session.Alerts().Filter().Shown(kNavtex518, "SA01"));
  EXPECT_TRUE(session.Alerts().Filter().Shown(kNavtex518, "PA01"));
  EXPECT_NE(session.FilterProblem().find("Zeilen 2;"), std::string::npos)
      << session.FilterProblem();
  // The target that cannot be opened is named and kept for a later try.
  ASSERT_EQ(session.NetworkProblems().size(), 1u);
  EXPECT_NE(session.NetworkProblems()[0].find("no-such-host.invalid"), std::string::npos);
  EXPECT_FALSE(session.Network().empty());
}

TEST_F(SessionTest, AFreshPollingThreadAfterTheLinkWasTakenSendsTheSavedSettings) {
  RecordingView view;
  DirectHandOver handOver;
  ApplicationSession session(options, clock);
  session.Open(sink);
  session.Attach(view, handOver);
  session.Settings().SelectAll();
  session.Settings().Save();
  { auto link = session.Polling().TakeLink(); }
  const SchedulePayload& saved = session.Settings().Payload();
  EXPECT_EQ(session.Thread()->ScheduleBlock(), Bytes(saved.begin(), saved.end()));
  session.PausePolling(true);
  EXPECT_TRUE(session.Thread()->Paused);
}

}  // namespace
}  // namespace tern::testing
