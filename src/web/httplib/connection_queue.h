// The web server's connections: a fixed number of workers, a short waiting line, and a
// refusal for everything beyond, so a crowd of clients can neither grow the threads nor make
// the accept loop wait. The HTTP library hands each accepted connection over as a job; this
// queue decides how the job runs, and the job asks it (ConnectionQueue::Mode) whether to
// serve, to refuse with 503, or to close at once.
#pragma once

#include <httplib.h>

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

namespace tern {

enum class ConnectionMode {
  Serve,   // a worker: requests are answered
  Refuse,  // the refusal thread: one request read and answered with 503
  Close,   // too many refusals waiting too: closed without an answer, on the accept thread
};

struct ConnectionLimits {
  std::size_t workers = 8;    // connections served at once
  std::size_t waiting = 16;   // accepted connections waiting for a worker
  std::size_t refusing = 32;  // connections waiting for their 503
};

// Thread: enqueue() on the accept thread, shutdown() on the thread that ran the accept loop
// (once); the workers and the refusal thread are its own.
class ConnectionQueue final : public httplib::TaskQueue {
 public:
  explicit ConnectionQueue(ConnectionLimits limits);
  ~ConnectionQueue() override;

  void enqueue(std::function<void()> job) override;
  // Runs what is queued (the jobs find the server stopping and close their connections) and
  // joins every thread.
  void shutdown() override;

  // How the job running on the calling thread is to treat its connection.
  static ConnectionMode Mode();

 private:
  void work(std::deque<std::function<void()>>& jobs, ConnectionMode mode);

  const ConnectionLimits limits_;
  std::mutex mutex_;
  std::condition_variable wake_;
  std::deque<std::function<void()>> jobs_;
  std::deque<std::function<void()>> refusals_;
  std::size_t busy_ = 0;
  bool stopping_ = false;
  std::vector<std::thread> threads_;
};

}  // namespace tern
