#include "poll/get_data_thread.h"

#include <gtest/gtest.h>

#include <condition_variable>

#include "fakes/recording_view.h"
#include "link/protocol.h"
#include "readout/readout_fixture.h"

namespace tern::testing {
namespace {

class PollTest : public ReadoutTest {
 protected:
  void startPolling(sim::Scenario s) {
    open(std::move(s));
    thread =
        std::make_unique<TGetDataThread>(*link, *store, clock, handOver, view, Bytes(2001, 0xAB));
  }
  int sent(std::uint8_t code) {
    int n = 0;
    for (const Bytes& r : receiver->requests()) n += r.at(0) == code;
    return n;
  }

  DirectHandOver handOver;
  RecordingView view;
  std::unique_ptr<TGetDataThread> thread;
};

TEST_F(PollTest, FirstPassReadsEverythingSetsTheClockAndSendsTheSchedule) {
  sim::Scenario s;
  s.logs[0].push_back(record(10, "SA01", 1.0));
  s.logs[1].push_back(record(3, "WODL45", 1.0));
  s.logs[1].push_back(record(6, "WODL45", 1.0));
  s.logs[2].push_back(record(14, "ASXX01", 1.0));  // a Halifax chart
  startPolling(std::move(s));
  thread->SetAutoExport(false);
  thread->AutoExport = true;
  EXPECT_EQ(thread->RunPass(), TGetDataThread::kPassSleep);

  EXPECT_EQ(view.count("baro"), 1);
  // The window gets the current readings through the hand-over, never from the link object.
  EXPECT_EQ(view.readings, std::make_pair(std::int16_t{1325}, std::int16_t{185}));
  EXPECT_EQ(view.count("fax"), 1);
  EXPECT_EQ(view.count("dwd"), 2);  // both languages got new bulletins
  // Both lists: the NAVTEX lists are handed to the views once after start-up anyway.
  EXPECT_EQ(view.count("navtex"), 2);
  ASSERT_EQ(view.appended.size(), 1u) << "the pass's new message, with the first of them";
  EXPECT_EQ(view.appended[0].record.keyText(), "SA01");
  EXPECT_EQ(view.count("export"), 1);
  EXPECT_EQ(view.count("warnclock"), 0);
  EXPECT_EQ(view.count("status Lade DWD Daten ..."), 1);
  EXPECT_EQ(sent(protocol::kSetClock), 1);
  EXPECT_EQ(receiver->page(0).at(0), 0xAB);  // the schedule block went to pages 0..3
  EXPECT_EQ(thread->FirmwareText(), "1.2.4");
  EXPECT_EQ(thread->SerialText(), "TRN0001042");
  EXPECT_FALSE(thread->Busy);
  EXPECT_FALSE(thread->DataChanged);

  // A pass that finds nothing new leaves the window asleep; once something else was shown,
  // the window hears again that the receiver is there.
  thread->RunPass();
  view.clear();
  thread->RunPass();
  EXPECT_EQ(view.events, std::vector<std::string>{});
  thread->PushSettings(Bytes(2001, 0xCD));
  thread->RunPass();
  EXPECT_EQ(view.count("status Sendeplan übertragen ..."), 1);
  EXPECT_EQ(view.events.back(), "connected");
}

TEST_F(PollTest, ReceiverAnsweringOnlyTheSecondPingIsAttached) {
  sim::Scenario s;
  s.faults.unansweredPings = 1;
  startPolling(std::move(s));
  thread->RunPass();
  EXPECT_EQ(view.count("disconnected"), 0);
  EXPECT_EQ(view.count("connected"), 2);
}

TEST_F(PollTest, ReconnectionReadsAgainButDoesNotResendTheSchedule) {
  sim::Scenario s;
  s.clockOffsetSeconds = -11;
  startPolling(std::move(s));
  thread->RunPass();
  EXPECT_EQ(view.count("warnclock"), 1);
  thread->RunPass();
  EXPECT_EQ(view.count("warnclock"), 1);  // once per connection

  receiver->setPlugged(false);
  thread->RunPass();
  EXPECT_EQ(view.count("disconnected"), 1);
  EXPECT_EQ(thread->FirmwareText(), "Kein Empfänger");
  EXPECT_EQ(thread->RequestFlags & 7, 7);

  receiver->setPlugged(true);
  int setClocks = sent(protocol::kSetClock);
  int writes = sent(protocol::kWritePage);
  int channels = sent(protocol::kSelectChannel);
  view.clear();
  thread->RunPass();
  EXPECT_EQ(sent(protocol::kSelectChannel) - channels, 3);  // every channel again
  EXPECT_EQ(view.count("baro"), 1);                         // the samples again
  EXPECT_EQ(sent(protocol::kSetClock), setClocks);
  EXPECT_EQ(sent(protocol::kWritePage), writes);
}

TEST_F(PollTest, ClockToleranceIsTenSeconds) {
  for (auto [offset, off] : {std::pair{-9, false}, {9, false}, {-11, true}, {11, true}}) {
    sim::Scenario s;
    s.clockOffsetSeconds = offset;
    startPolling(std::move(s));
    EXPECT_EQ(thread->ClockIsOff(), off) << offset;
  }
}

TEST_F(PollTest, NothingIsSentWhilePaused) {
  startPolling({});
  thread->Paused = true;
  EXPECT_EQ(thread->RunPass(), TGetDataThread::kPausedSleep);
  EXPECT_TRUE(receiver->requests().empty());
  EXPECT_TRUE(view.events.empty());
}

TEST_F(PollTest, NoReceiverIsReportedEveryPass) {
  sim::Scenario s;
  s.faults.silent = true;
  startPolling(std::move(s));
  thread->RunPass();
  thread->RunPass();
  EXPECT_EQ(view.count("disconnected"), 2);
  EXPECT_EQ(view.count("connected"), 0);
}

TEST_F(PollTest, FirstPassCutAfterThePingIsFollowedByOneThatSetsTheClockAndSendsTheSchedule) {
  sim::Scenario s;
  s.logs[1].push_back(record(3, "WODL45", 1.0));
  s.faults.hangUpAtRequest = 1;  // the ping is answered, nothing after it
  startPolling(std::move(s));
  thread->RunPass();
  EXPECT_TRUE(thread->LastPass.connected);
  EXPECT_TRUE(thread->LastPass.clockSetFailed);
  EXPECT_TRUE(thread->LastPass.settingsFailed);
  EXPECT_TRUE(thread->SetClockRequest);
  EXPECT_TRUE(thread->SendSettingsRequest);
  EXPECT_TRUE(thread->FullBaroRequest);
  EXPECT_NE(receiver->page(0).at(0), 0xAB);

  receiver->setPlugged(true);
  thread->RunPass();  // finds the receiver gone from the last pass: all requests stand
  thread->RunPass();
  EXPECT_FALSE(thread->LastPass.clockSetFailed);
  EXPECT_FALSE(thread->LastPass.settingsFailed);
  EXPECT_TRUE(thread->LastPass.interrupted.empty());
  EXPECT_FALSE(thread->SetClockRequest);
  EXPECT_FALSE(thread->SendSettingsRequest);
  EXPECT_EQ(sent(protocol::kSetClock), 1);
  EXPECT_EQ(receiver->page(0).at(0), 0xAB);
  EXPECT_FALSE(store->table(0).slot(store->rowOf(0, "WODL45"), 0).isEmpty());
}

TEST_F(PollTest, UndefinedStatusBitsNeitherRequestNorBlockTheClockComparison) {
  sim::Scenario s;
  s.statusWord = 0x0101;  // new DWD bulletins and a bit the receiver does not define
  s.clockOffsetSeconds = -11;
  startPolling(std::move(s));
  thread->RequestFlags = 0;
  thread->RunPass();
  EXPECT_EQ(view.count("warnclock"), 1);
  EXPECT_EQ(thread->RequestFlags.load(), TGetDataThread::kClockChecked);
  EXPECT_EQ(view.count("status Lade DWD Daten ..."), 1);
  EXPECT_EQ(view.count("status Lade FAX Daten ..."), 0);
}

TEST_F(PollTest, ClockThatLostItsDateIsOffAlsoOnAPcRunningOnUtc) {
  FakeClock utcPc({2026, 3, 5, 14, 20, 0, 0}, 0);  // local time is UTC
  open({});
  sim::Scenario s;
  s.clockValid = false;  // every field 0: no date at all
  auto flat = std::make_shared<sim::SimReceiver>(s, utcPc);
  TTERN flatLink(std::make_unique<sim::SimPort>(flat), utcPc);
  TGetDataThread polling(flatLink, *store, utcPc, handOver, view, {});
  EXPECT_TRUE(polling.ClockIsOff());
  polling.RunPass();
  EXPECT_EQ(view.count("warnclock"), 1);
  EXPECT_TRUE(flat->clockValid()) << "and the clock was set";
}

TEST_F(PollTest, DamagedRecordsAreSkippedAndToldOnce) {
  sim::Scenario s;
  sim::SimRecord bad = record(3, "WODL45", 2.0);
  bad.announcedLength = 100000;
  s.logs[1] = {record(3, "FQEN50", 3.0), bad};
  startPolling(std::move(s));
  thread->RunPass();
  EXPECT_EQ(thread->LastPass.skippedRecords, 1);
  EXPECT_FALSE(store->table(0).slot(store->rowOf(0, "FQEN50"), 0).isEmpty());
  sim::SimRecord worse = record(3, "SMVX41", 1.0);
  worse.announcedLength = 5000;
  receiver->addRecord(1, worse);
  thread->RunPass();
  // The new one and, on the way down to the known record, the old damaged one again.
  EXPECT_EQ(thread->LastPass.skippedRecords, 2);
  EXPECT_EQ(view.count("skipped"), 1);
}

TEST_F(PollTest, ACutAfterThePingKeepsTheTextsAndAReceiverThatLostItsPlaceIsTold) {
  sim::Scenario s;
  s.logs[1] = {record(3, "FQEN50", 3.0), record(3, "WODL45", 2.0)};
  startPolling(std::move(s));
  thread->RunPass();
  sim::SimFaults silent;
  silent.silentFromCommand = protocol::kReadFirmwareVersion;
  receiver->setFaults(silent);
  thread->RunPass();
  EXPECT_EQ(thread->FirmwareText(), "1.2.4");
  EXPECT_EQ(thread->SerialText(), "TRN0001042");

  receiver->addRecord(1, record(3, "SMVX41", 1.0));
  sim::SimFaults cut;
  cut.cutRecordReply = 0;
  cut.cutRecordAfter = 3 + 26 + 2;
  cut.losePlaceAfterCut = true;
  receiver->setFaults(cut);
  thread->RunPass();
  EXPECT_EQ(thread->LastPass.interrupted, std::vector<std::string>{"dwd"});
  EXPECT_FALSE(store->table(0).slot(store->rowOf(0, "SMVX41"), 0).isEmpty()) << "read after all";
  EXPECT_EQ(thread->RequestFlags & TGetDataThread::kRequestDwd, 0) << "nothing left to ask for";
}

TEST_F(PollTest, StoppingInTheMiddleOfALongRecordTakesUnderTwoSeconds) {
  SystemClock realTime;
  open({});
  sim::Scenario s;
  sim::SimRecord slow = record(3, "WODL45", 1.0);
  slow.announcedLength = 600000;  // the data never come: the read would wait 4 s
  s.logs[1] = {slow};
  auto sim = std::make_shared<sim::SimReceiver>(s, realTime);
  TTERN slowLink(std::make_unique<sim::SimPort>(sim), realTime);
  TGetDataThread polling(slowLink, *store, realTime, handOver, view, {});
  polling.Start();
  while (view.count("status Lade DWD Daten ...") == 0) std::this_thread::yield();
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  const auto before = std::chrono::steady_clock::now();
  polling.Stop();
  EXPECT_LT(std::chrono::steady_clock::now() - before, std::chrono::seconds(2));
  EXPECT_TRUE(store->marks().stoodAt[protocol::kGroupDwd].has_value() ||
              store->table(0).slot(store->rowOf(0, "WODL45"), 0).isEmpty());
}

TEST_F(PollTest, ASavePushesTheBlockAndTheThreeRequestsInOneCall) {
  startPolling({});
  thread->RunPass();
  const int setClocks = sent(protocol::kSetClock);
  view.clear();
  thread->RunPass();  // nothing asked: no clock, no transfer, no full barometer read
  EXPECT_EQ(sent(protocol::kSetClock), setClocks);
  EXPECT_EQ(view.count("baro"), 0);

  thread->PushSettings(Bytes(2001, 0x5C));
  EXPECT_TRUE(thread->SetClockRequest && thread->SendSettingsRequest && thread->FullBaroRequest);
  thread->RunPass();
  EXPECT_EQ(sent(protocol::kSetClock), setClocks + 1);
  EXPECT_EQ(receiver->page(0).at(0), 0x5C);
  EXPECT_EQ(view.count("baro"), 1);
  EXPECT_FALSE(thread->SendSettingsRequest || thread->SetClockRequest || thread->FullBaroRequest);
}

TEST_F(PollTest, ExportWritingRunsAfterTheHandOverAndReportsItsOutcome) {
  sim::Scenario s;
  s.logs[1].push_back(record(3, "WODL45", 1.0));
  startPolling(std::move(s));
  std::thread::id writer;
  view.work = [&writer] {
    writer = std::this_thread::get_id();
    return std::string("voll");
  };
  thread->SetAutoExport(true);
  thread->RunPass();
  EXPECT_EQ(view.count("export"), 1);
  EXPECT_EQ(view.count("exported voll"), 1);
  EXPECT_EQ(writer, std::this_thread::get_id());  // the polling thread's own (here: direct)

  // Following a cancelled switch puts the flag back without asking for a run.
  thread->SetAutoExport(false);
  thread->SetAutoExport(true, false);
  EXPECT_TRUE(thread->AutoExport);
  EXPECT_FALSE(thread->DataChanged);
  thread->RunPass();
  EXPECT_EQ(view.count("export"), 1);
}

// A hand-over whose window thread never gets round to the step: only a stop ends the wait.
class StuckHandOver final : public HandOver {
 public:
  bool run(const std::function<void()>&, std::stop_token stop) override {
    std::mutex m;
    std::condition_variable_any cv;
    std::unique_lock lock(m);
    cv.wait(lock, stop, [] { return false; });
    waited = true;
    return false;
  }
  std::atomic<bool> waited{false};
};

TEST_F(PollTest, StopEndsAPendingHandOverAndTheThread) {
  open({});
  StuckHandOver stuck;
  TGetDataThread polling(*link, *store, clock, stuck, view, {});
  polling.Start();
  while (polling.FirmwareText().empty()) std::this_thread::yield();
  polling.Stop();
  EXPECT_TRUE(stuck.waited);
  EXPECT_FALSE(polling.running());
}

TEST_F(PollTest, ThreadPollsUntilStopped) {
  sim::Scenario s;
  s.logs[1].push_back(record(3, "WODL45", 1.0));
  startPolling(std::move(s));
  thread->Start();
  while (view.count("dwd") == 0) std::this_thread::yield();
  receiver->addRecord(1, record(3, "FQEN50", 0.1));
  while (view.count("dwd") < 2) std::this_thread::yield();
  thread->Stop();
  std::lock_guard lock(store->mutex());
  EXPECT_FALSE(store->table(0).slot(store->rowOf(0, "FQEN50"), 0).isEmpty());
}

}  // namespace
}  // namespace tern::testing
