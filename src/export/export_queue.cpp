#include "export/export_queue.h"

namespace tern {

bool ExportQueue::Run(Work work, Done done) {
  std::lock_guard lock(mutex_);
  if (finishing_) return false;
  queue_.emplace_back(std::move(work), std::move(done));
  if (!thread_.joinable()) thread_ = std::thread([this] { loop(); });
  wake_.notify_one();
  return true;
}

void ExportQueue::Finish() {
  std::thread ending;
  {
    std::lock_guard lock(mutex_);
    finishing_ = true;
    ending = std::move(thread_);
  }
  wake_.notify_one();
  if (ending.joinable()) ending.join();
}

void ExportQueue::loop() {
  std::unique_lock lock(mutex_);
  for (;;) {
    wake_.wait(lock, [this] { return finishing_ || !queue_.empty(); });
    if (queue_.empty()) return;  // finishing, nothing left
    auto [work, done] = std::move(queue_.front());
    queue_.pop_front();
    lock.unlock();
    const std::string failure = work();
    if (done) done(failure);
    lock.lock();
  }
}

}  // namespace tern
