#include "poll/polling_owner.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "fakes/recording_port.h"
#include "fakes/recording_view.h"
#include "link/protocol.h"
#include "readout/readout_fixture.h"
#include "sim/sim_port.h"

namespace tern::testing {
namespace {

namespace p = protocol;

// Runs each step at once, or drops it as a hand-over does when the stop came first.
// Thread: any.
class DroppingHandOver final : public HandOver {
 public:
  bool run(const std::function<void()>& step, std::stop_token stop) override {
    if (drop || stop.stop_requested()) return false;
    step();
    return true;
  }
  std::atomic<bool> drop{false};
};

class PollingOwnerTest : public ReadoutTest {
 protected:
  void SetUp() override {
    store = std::make_unique<MessageStore>(dataFolder(), programFolder(), &sink);
    receiver = std::make_shared<sim::SimReceiver>(sim::Scenario{}, clock);
    auto recording = std::make_unique<RecordingPort>(std::make_unique<sim::SimPort>(receiver));
    port = recording.get();
    link = std::make_unique<TTERN>(std::move(recording), clock);
    owner = std::make_unique<PollingOwner>(
        *link, handOver,
        [this](HandOver& h) {
          ++made;
          return std::make_unique<TGetDataThread>(*link, *store, clock, h, view, Bytes(2001, 0x5A));
        },
        [this](TGetDataThread* t) { attached = t; });
  }
  void TearDown() override {
    owner.reset();
    ReadoutTest::TearDown();
  }
  // Frames of `code` written in `phase`.
  int frames(int phase, std::uint8_t code) const {
    int n = 0;
    for (const auto& [ph, bytes] : port->writes())
      n += ph == phase && bytes.size() >= 2 && bytes[0] == code && bytes[1] + 2u == bytes.size();
    return n;
  }
  // Waits (really) until the polling thread has sent `code` in `phase`.
  bool waitFor(int phase, std::uint8_t code) const {
    for (int i = 0; i < 5000; ++i) {
      if (frames(phase, code) > 0) return true;
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return false;
  }

  DroppingHandOver handOver;
  RecordingView view;
  RecordingPort* port = nullptr;
  std::unique_ptr<PollingOwner> owner;
  TGetDataThread* attached = nullptr;
  int made = 0;
};

TEST_F(PollingOwnerTest, ThePollingThreadIsOffTheLinkUntilTheFreshThreadStarts) {
  owner->Start();
  ASSERT_TRUE(waitFor(0, p::kSetClock));
  {
    std::optional<PollingOwner::ExclusiveLink> exclusive = owner->TakeLink();
    ASSERT_TRUE(exclusive);
    EXPECT_EQ(attached, nullptr);
    EXPECT_EQ(owner->Thread(), nullptr);
    port->phase = 1;
    std::string version;
    EXPECT_TRUE(exclusive->Link().ReadFirmwareVersion(version, true));
    exclusive->Link().OpenLink();
    for (int i = 0; i < 40; ++i) {  // time for a polling pass to interleave, if one could
      exclusive->Link().WritePage(600, Bytes(512, 1), false);
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    exclusive->Link().CloseLink();
    EXPECT_FALSE(owner->TakeLink());  // one exclusive user at a time
    port->phase = 2;
  }
  // Only the window's own exchanges while it had the link: no ping, status or barometer.
  for (std::uint8_t polling : {p::kPing, p::kReadStatus, p::kReadBaroNow, p::kReadClock})
    EXPECT_EQ(frames(1, polling), 0) << int(polling);
  EXPECT_EQ(frames(1, p::kWritePage), 40);

  // A fresh thread object with the requests of a start: clock set and schedule sent again.
  EXPECT_EQ(made, 2);
  ASSERT_NE(attached, nullptr);
  EXPECT_TRUE(owner->Polling());
  EXPECT_TRUE(waitFor(2, p::kSetClock));
  EXPECT_TRUE(waitFor(2, p::kWritePage));  // the schedule block, pages 0..3
}

TEST_F(PollingOwnerTest, TakingTheLinkInsideAHandOverIsRefusedNotDeadlocked) {
  std::atomic<int> refusals{0};
  std::atomic<bool> tried{false};
  PollingOwner* polling = owner.get();  // the step must not read the test's own pointer
  view.onConnected = [&refusals, &tried, polling] {
    PollingOwner::Refusal why{};
    if (!polling->TakeLink(&why) && why == PollingOwner::Refusal::InsideHandOver) ++refusals;
    tried = true;
  };
  owner->Start();
  for (int i = 0; i < 5000 && !tried; ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  ASSERT_TRUE(tried);
  EXPECT_GE(refusals.load(), 1);
  EXPECT_TRUE(owner->Polling());
  // Outside a step the same call is fine.
  EXPECT_TRUE(owner->TakeLink());
}

TEST_F(PollingOwnerTest, AStepRunningOnThePollingThreadDoesNotRefuseTheOwner) {
  // With a direct hand-over the steps run on the polling thread: while one runs, the owner's
  // own thread is not inside it and may take the link (after the step and the pass end).
  std::atomic<bool> inside{false};
  view.onConnected = [&inside] {
    inside = true;
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  };
  owner->Start();
  for (int i = 0; i < 5000 && !inside; ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  ASSERT_TRUE(inside);
  PollingOwner::Refusal why{};
  EXPECT_TRUE(owner->TakeLink(&why));
}

// NAVTEX messages whose news a stop kept from the views, and those a read-out on the lent
// link stored (the update reads the receiver out first), are told once by the fresh thread.
TEST_F(PollingOwnerTest, NavtexNewsNobodyWasToldReachTheFreshThread) {
  receiver->addRecord(p::kGroupNavtex, record(10, "SA01", 2.0, "a"));
  receiver->addRecord(p::kGroupNavtex, record(9, "LB02", 1.5, "b"));
  handOver.drop = true;
  owner->Thread()->RunPass();
  EXPECT_EQ(view.count("navtex"), 0);
  {
    std::optional<PollingOwner::ExclusiveLink> exclusive = owner->TakeLink();
    ASSERT_TRUE(exclusive);
    receiver->addRecord(p::kGroupNavtex, record(10, "SC03", 1.0, "c"));
    ReadoutReport report;
    ASSERT_TRUE(ReadNavtex(exclusive->Link(), *store, clock, true, {}, &report));
    ASSERT_EQ(report.appended.size(), 1u);
    exclusive->KeepNavtexNews(std::move(report.appended));
  }
  handOver.drop = false;
  receiver->addRecord(p::kGroupNavtex, record(9, "LD04", 0.5, "d"));
  owner->Thread()->RunPass();
  receiver->addRecord(p::kGroupNavtex, record(10, "SE05", 0.2, "e"));
  owner->Thread()->RunPass();
  std::vector<std::string> told;
  for (const NavtexAppended& a : view.appended) told.push_back(a.record.keyText());
  // In the store's order, list by list, as one look at the lists finds them; then the next.
  EXPECT_EQ(told, (std::vector<std::string>{"SA01", "SC03", "LB02", "LD04", "SE05"}));
  EXPECT_EQ(view.count("navtex"), 3) << "both lists changed in the first pass";
}

TEST_F(PollingOwnerTest, ANeverStartedOwnerStaysStoppedAndShutdownIsFinal) {
  { auto exclusive = owner->TakeLink(); }
  EXPECT_FALSE(owner->Polling());
  EXPECT_NE(attached, nullptr);
  owner->Shutdown();
  EXPECT_EQ(attached, nullptr);
  PollingOwner::Refusal why{};
  EXPECT_FALSE(owner->TakeLink(&why));
  EXPECT_EQ(why, PollingOwner::Refusal::ShutDown);
}

}  // namespace
}  // namespace tern::testing
