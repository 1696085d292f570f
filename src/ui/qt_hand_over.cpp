#include "ui/qt_hand_over.h"

#include <condition_variable>
#include <memory>
#include <mutex>

namespace tern {

namespace {

struct Pending {
  enum class State { Queued, Running, Done, Cancelled };
  std::mutex mutex;
  std::condition_variable_any changed;
  State state = State::Queued;
};

}  // namespace

bool QtHandOver::run(const std::function<void()>& step, std::stop_token stop) {
  WindowQueue* queue = queue_.data();
  if (queue == nullptr || stop.stop_requested()) return false;
  auto pending = std::make_shared<Pending>();
  // The step is copied: the queued call may outlive this frame when it is cancelled.
  queue->post([pending, step] {
    {
      std::lock_guard lock(pending->mutex);
      if (pending->state == Pending::State::Cancelled) return;
      pending->state = Pending::State::Running;
    }
    step();
    std::lock_guard lock(pending->mutex);
    pending->state = Pending::State::Done;
    pending->changed.notify_all();
  });

  std::unique_lock lock(pending->mutex);
  pending->changed.wait(lock, stop, [&] { return pending->state == Pending::State::Done; });
  if (pending->state == Pending::State::Done) return true;
  if (pending->state == Pending::State::Queued) {
    pending->state = Pending::State::Cancelled;
    return false;
  }
  // The window thread is inside the step: it finishes soon and never waits for us.
  pending->changed.wait(lock, [&] { return pending->state == Pending::State::Done; });
  return true;
}

}  // namespace tern
