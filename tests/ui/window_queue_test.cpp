// Calls posted from other threads run on the window thread in the order they were posted;
// those still waiting when the queue goes are dropped.
#include "ui/window_queue.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QTest>
#include <memory>
#include <thread>
#include <vector>

namespace tern::testing {
namespace {

TEST(WindowQueueTest, CallsFromAWorkerRunOnTheWindowThreadInOrder) {
  QObject owner;
  auto* queue = new WindowQueue(&owner);
  const auto window = std::this_thread::get_id();
  std::vector<int> seen;  // touched on the window thread only
  bool allOnWindow = true;
  std::thread worker([&] {
    for (int i = 0; i < 100; ++i) {
      queue->post([&, i] {
        allOnWindow = allOnWindow && std::this_thread::get_id() == window;
        seen.push_back(i);
      });
    }
  });
  worker.join();
  EXPECT_TRUE(QTest::qWaitFor([&] { return seen.size() == 100; }, 5000));
  EXPECT_TRUE(allOnWindow);
  for (int i = 0; i < static_cast<int>(seen.size()); ++i) EXPECT_EQ(seen[i], i);
}

TEST(WindowQueueTest, CallsWaitingWhenTheQueueGoesAreDropped) {
  auto owner = std::make_unique<QObject>();
  auto* queue = new WindowQueue(owner.get());
  bool ran = false;
  queue->post([&] { ran = true; });
  owner.reset();
  QCoreApplication::processEvents();
  EXPECT_FALSE(ran);
}

}  // namespace
}  // namespace tern::testing
