// The update after the transfer: what a missing acknowledgement of StartProgramming leads to,
// and the read-out that comes before any of it.
#include "update/firmware_update.h"

#include <gtest/gtest.h>

#include <functional>

#include "fakes/store_contents.h"
#include "link/protocol.h"
#include "readout/readout_fixture.h"
#include "sim/sim_test_support.h"
#include "update/readout_before_update.h"
#include "update/test_images.h"

namespace tern::testing {
namespace {

namespace p = protocol;
using namespace std::chrono_literals;

class LostAcknowledgementTest : public SimFixture {};

TEST_F(LostAcknowledgementTest, TheReceiverIsAskedAfterTheWaitAndOneOfThreeOutcomesIsTold) {
  struct Case {
    const char* what;
    std::function<void(sim::Scenario&)> setUp;
    p::UnlockSequence unlock;
    UpdateOutcome outcome;
    int programmed;  // the simulated receiver's programming count
  };
  const p::UnlockSequence ours = sim::kTestUnlockSequence;
  const Case cases[] = {
      {"acknowledged", [](sim::Scenario&) {}, ours, UpdateOutcome::ProgrammingStarted, 1},
      {"acknowledgement garbled",
       [](sim::Scenario& s) { s.faults.wrongEchoTo = p::kStartProgramming; }, ours,
       UpdateOutcome::NewFirmwareRunning, 1},
      {"acknowledgement lost, receiver back after 5 s", lostAcknowledgement(5s), ours,
       UpdateOutcome::NewFirmwareRunning, 1},
      {"request lost on the way",
       [](sim::Scenario& s) { s.faults.lostRequest = p::kStartProgramming; }, ours,
       UpdateOutcome::OldFirmwareRunning, 0},
      {"unlock sequence of another firmware",
       [](sim::Scenario&) {},
       {1, 2, 3, 4, 5, 6},
       UpdateOutcome::OldFirmwareRunning,
       0},
      {"still reprogramming after the wait", lostAcknowledgement(60s), ours,
       UpdateOutcome::NoAnswer, 1},
      {"silent from the start on",
       [](sim::Scenario& s) { s.faults.silentFromCommand = p::kStartProgramming; }, ours,
       UpdateOutcome::NoAnswer, 0},
  };
  for (const Case& c : cases) {
    sim::Scenario s;
    s.firmwareVersion = "1.2.3";
    s.firmwareAfterProgramming = "1.2.4";
    c.setUp(s);
    start(std::move(s));
    std::vector<int> waited;
    const std::int64_t before = nowMs();
    UpdateResult result = WriteAndProgram(*link, testImages(c.unlock), clock,
                                          [&](UpdatePhase phase, int position, int) {
                                            if (phase == UpdatePhase::AwaitingReceiver)
                                              waited.push_back(position);
                                          });
    EXPECT_EQ(result.outcome, c.outcome) << c.what;
    EXPECT_EQ(receiver->programmingStarts(), c.programmed) << c.what;
    EXPECT_EQ(link->Handle(), 0u) << c.what;
    const bool lost = c.outcome != UpdateOutcome::ProgrammingStarted;
    // Only a receiver that runs the new firmware counts as updated.
    EXPECT_EQ(UpdateSucceeded(result.outcome), c.outcome == UpdateOutcome::ProgrammingStarted ||
                                                   c.outcome == UpdateOutcome::NewFirmwareRunning)
        << c.what;
    const std::vector<int> everySecond{0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10};
    EXPECT_EQ(waited, lost ? everySecond : std::vector<int>{}) << c.what;
    EXPECT_EQ(nowMs() - before >= 10000, lost) << c.what;
    // Only the two doubtful outcomes have something to tell (their texts: the dialog's test).
    EXPECT_EQ(LostAcknowledgementText(result).empty(), !lost || UpdateSucceeded(c.outcome))
        << c.what;
    if (c.outcome == UpdateOutcome::OldFirmwareRunning) {
      EXPECT_EQ(result.firmware + " " + result.serial, "1.2.3 TRN0001042") << c.what;
    }
  }
}

class ReadoutBeforeUpdateTest : public ReadoutTest {
 protected:
  sim::Scenario holdingRecords() {
    sim::Scenario s;
    s.logs[p::kGroupFax] = {record(0, "ASXX40", 2.0), record(0, "ASXX40", 1.0)};
    s.logs[p::kGroupDwd] = {record(4, "SMVX43", 1.0), record(7, "FQEN70", 1.5)};
    s.logs[p::kGroupNavtex] = {record(9, "LA02", 2.0), record(10, "SA03", 1.0)};
    for (int i = 0; i < 100; ++i) s.baroPressures.push_back(static_cast<std::int16_t>(1000 + i));
    return s;
  }
};

TEST_F(ReadoutBeforeUpdateTest, EveryRecordAndTheBarometerReachTheDataFiles) {
  open(holdingRecords());
  UpdateReadout readout = ReadOutBeforeUpdate(*link, *store, clock);
  EXPECT_TRUE(readout.complete());
  EXPECT_EQ(link->Handle(), 0u);
  MessageStore onDisk(dataFolder(), programFolder(), nullptr);
  EXPECT_EQ(storedKeys(onDisk),
            (std::multiset<std::string>{"ASXX40", "ASXX40", "SMVX43", "FQEN70", "LA02", "SA03"}));
  EXPECT_EQ(onDisk.baro().count(), 100);
}

TEST_F(ReadoutBeforeUpdateTest, WhatCouldNotBeReadIsNamedInTheQuestion) {
  sim::Scenario s = holdingRecords();
  s.faults.silentFromCommand = p::kReadBaroPage;
  open(std::move(s));
  UpdateReadout readout = ReadOutBeforeUpdate(*link, *store, clock);
  EXPECT_EQ(readout.failed, std::vector<std::string>{"Barometer"});
  // What was read is saved all the same.
  EXPECT_EQ(storedKeys(MessageStore(dataFolder(), programFolder(), nullptr)).size(), 6u);
  EXPECT_EQ(ReadoutFailedQuestion(readout),
            "Die Meldungen konnten nicht vollständig aus dem Empfänger gelesen und gespeichert "
            "werden (Barometer).\n\nBeim Update werden alle Meldungen im Empfänger gelöscht. "
            "Soll das Update trotzdem durchgeführt werden?");
}

}  // namespace
}  // namespace tern::testing
