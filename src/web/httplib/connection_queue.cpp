#include "web/httplib/connection_queue.h"

namespace tern {

namespace {

thread_local ConnectionMode tMode = ConnectionMode::Serve;

// Sets the mode for one job and restores it, also when the job throws.
class ModeScope {
 public:
  explicit ModeScope(ConnectionMode mode) : previous_(tMode) { tMode = mode; }
  ~ModeScope() { tMode = previous_; }
  ModeScope(const ModeScope&) = delete;
  ModeScope& operator=(const ModeScope&) = delete;

 private:
  ConnectionMode previous_;
};

}  // namespace

ConnectionQueue::ConnectionQueue(ConnectionLimits limits) : limits_(limits) {
  for (std::size_t i = 0; i < limits_.workers; ++i)
    threads_.emplace_back([this] { work(jobs_, ConnectionMode::Serve); });
  threads_.emplace_back([this] { work(refusals_, ConnectionMode::Refuse); });
}

ConnectionQueue::~ConnectionQueue() { shutdown(); }

ConnectionMode ConnectionQueue::Mode() { return tMode; }

void ConnectionQueue::enqueue(std::function<void()> job) {
  std::function<void()> closeNow;
  {
    std::lock_guard lock(mutex_);
    if (busy_ + jobs_.size() < limits_.workers + limits_.waiting)
      jobs_.push_back(std::move(job));
    else if (refusals_.size() < limits_.refusing)
      refusals_.push_back(std::move(job));
    else
      closeNow = std::move(job);
  }
  if (closeNow) {
    ModeScope scope(ConnectionMode::Close);
    closeNow();  // closes the connection without waiting for it
    return;
  }
  wake_.notify_all();
}

void ConnectionQueue::work(std::deque<std::function<void()>>& jobs, ConnectionMode mode) {
  const bool counts = mode == ConnectionMode::Serve;
  for (;;) {
    std::function<void()> job;
    {
      std::unique_lock lock(mutex_);
      wake_.wait(lock, [&] { return stopping_ || !jobs.empty(); });
      if (jobs.empty()) return;
      job = std::move(jobs.front());
      jobs.pop_front();
      if (counts) ++busy_;
    }
    {
      ModeScope scope(mode);
      job();
    }
    if (counts) {
      std::lock_guard lock(mutex_);
      --busy_;
    }
  }
}

void ConnectionQueue::shutdown() {
  {
    std::lock_guard lock(mutex_);
    if (stopping_) return;
    stopping_ = true;
  }
  wake_.notify_all();
  for (std::thread& t : threads_) t.join();
}

}  // namespace tern
