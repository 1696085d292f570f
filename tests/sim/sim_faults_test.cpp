// The simulated receiver's fault hooks, seen through the real TTERN.
#include <gtest/gtest.h>

#include "sim_test_support.h"

namespace tern::testing {
namespace {

namespace p = protocol;
using std::chrono::milliseconds;

TEST_F(SimFixture, SilentReceiverIsPresentButNeverAnswers) {
  sim::Scenario s;
  s.faults.silent = true;
  start(s);
  EXPECT_TRUE(link->IsReceiverPresent());
  std::int64_t before = nowMs();
  EXPECT_FALSE(link->Ping(true));
  EXPECT_EQ(nowMs() - before, 500) << "the ping waits its 500 ms on the clock";
  std::uint16_t word = 0;
  EXPECT_FALSE(link->ReadStatus(word, true));
  EXPECT_EQ(link->LastLinkStatus(), LinkStatus::Timeout);
}

TEST_F(SimFixture, AnswersOnlyTheSecondPing) {
  sim::Scenario s;
  s.faults.unansweredPings = 1;
  start(s);
  EXPECT_FALSE(link->Ping(true));
  EXPECT_TRUE(link->Ping(true));
  EXPECT_TRUE(link->Ping(true));
}

TEST_F(SimFixture, ShortRepliesAndWrongEchoesFailTheirCommandOnly) {
  struct Case {
    const char* name;
    sim::SimFaults faults;
  };
  sim::SimFaults shortStatus;
  shortStatus.shortReplyTo = p::kReadStatus;
  sim::SimFaults echoStatus;
  echoStatus.wrongEchoTo = p::kReadStatus;
  sim::SimFaults shortAll;
  shortAll.shortReplyTo = sim::kAnyCommand;
  shortAll.shortReplyBy = 3;
  for (const auto& c : {Case{"short", shortStatus}, Case{"echo", echoStatus}}) {
    start();
    receiver->setFaults(c.faults);
    std::uint16_t word = 0;
    EXPECT_FALSE(link->ReadStatus(word, true)) << c.name;
    EXPECT_TRUE(link->Ping(true)) << c.name << ": the next exchange is clean again";
  }
  start();
  receiver->setFaults(shortAll);
  std::string serial = "kept";
  EXPECT_FALSE(link->ReadSerialNumber(serial, true));
  EXPECT_EQ(serial, "kept");
}

TEST_F(SimFixture, CablePulledMidRecord) {
  sim::Scenario s;
  s.logs[p::kGroupFax] = {record(0, "PQCA86", 5000)};
  s.faults.pullCableAfter = 2 + 3 + 26 + 1000;  // select ack, record head, header, some data
  start(s);
  ASSERT_TRUE(link->OpenLink());
  ASSERT_TRUE(link->SelectChannel(p::kGroupFax, false));
  EXPECT_FALSE(link->NextRecord(false));
  EXPECT_EQ(link->LastLinkStatus(), LinkStatus::IoError);
  EXPECT_EQ(receiver->bytesSentToHost(), 1031u);
  EXPECT_FALSE(link->IsReceiverPresent());
  EXPECT_FALSE(link->Ping(true));

  receiver->setPlugged(true);
  EXPECT_TRUE(link->IsReceiverPresent());
  EXPECT_TRUE(link->Ping(true));
}

TEST_F(SimFixture, SlowRepliesWithinAndBeyondTheTimeout) {
  sim::Scenario s;
  s.faults.slowReplyTo = sim::kAnyCommand;
  s.faults.replyDelay = milliseconds(600);
  start(s);
  std::uint16_t word = 0;
  std::int64_t before = nowMs();
  EXPECT_TRUE(link->ReadStatus(word, true)) << "600 ms is inside the 800 ms read timeout";
  EXPECT_EQ(nowMs() - before, 600);
  EXPECT_FALSE(link->Ping(true)) << "but beyond the ping's 500 ms";
  // The late answer is gone by the next opening and does not confuse the next command.
  clock.advance(milliseconds(200));
  EXPECT_TRUE(link->ReadStatus(word, true));
}

TEST_F(SimFixture, SlowSelectAcknowledgementIsWaitedFor) {
  sim::Scenario s;
  s.faults.slowReplyTo = p::kSelectChannel;
  s.faults.replyDelay = milliseconds(120);
  start(s);
  int sleepsBefore = clock.sleepCount();
  EXPECT_TRUE(link->SelectChannel(p::kGroupNavtex, true));
  EXPECT_EQ(clock.sleepCount() - sleepsBefore, 3) << "three 50 ms waits until two bytes queue";
}

}  // namespace
}  // namespace tern::testing
