// Exports started from the window (the configuration dialog's save) run here, one after
// another on a thread of their own, so the window never waits for the files. Each run's
// outcome goes to its `done`, called on that thread; the front end carries it to its own
// thread.
#pragma once

#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <utility>

namespace tern {

// Thread: Run and Finish from any thread; the works and their `done` run on the queue's
// thread.
class ExportQueue {
 public:
  using Work = std::function<std::string()>;
  using Done = std::function<void(const std::string& failure)>;

  ExportQueue() = default;
  ~ExportQueue() { Finish(); }
  ExportQueue(const ExportQueue&) = delete;
  ExportQueue& operator=(const ExportQueue&) = delete;

  // Queues `work`; `done` gets its result. Refused (false) once Finish() was called.
  bool Run(Work work, Done done);
  // Runs what is queued to its end and ends the thread; later runs are refused.
  void Finish();

 private:
  void loop();

  std::mutex mutex_;
  std::condition_variable wake_;
  std::deque<std::pair<Work, Done>> queue_;
  bool finishing_ = false;
  std::thread thread_;
};

}  // namespace tern
