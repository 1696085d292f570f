#include "ui/window_queue.h"

#include <utility>

namespace tern {

void WindowQueue::post(std::function<void()> call) {
  bool wake = false;
  {
    std::lock_guard lock(mutex_);
    wake = pending_.empty();
    pending_.push_back(std::move(call));
  }
  // One wake-up serves every call queued until it runs.
  if (wake) QMetaObject::invokeMethod(this, "runPending", Qt::QueuedConnection);
}

void WindowQueue::runPending() {
  std::vector<std::function<void()>> calls;
  {
    std::lock_guard lock(mutex_);
    calls.swap(pending_);
  }
  for (auto& call : calls) call();
}

}  // namespace tern
