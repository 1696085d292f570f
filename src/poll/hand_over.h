// The hand-over seam: the polling thread runs a step on the window thread and waits until it
// has run. A stop request ends the wait for a step the window thread has not started yet,
// and such a step is then never run, so shutdown cannot deadlock on a window thread that is
// itself waiting for the polling thread to end.
#pragma once

#include <functional>
#include <stop_token>

namespace tern {

// Thread: run() is called by the polling thread; the step runs on the window thread.
class HandOver {
 public:
  virtual ~HandOver() = default;
  // True when the step ran; false when a stop was requested before it started.
  virtual bool run(const std::function<void()>& step, std::stop_token stop) = 0;
};

// Runs the step at once on the calling thread: for tools without a window and for tests.
class DirectHandOver final : public HandOver {
 public:
  bool run(const std::function<void()>& step, std::stop_token stop) override {
    if (stop.stop_requested()) return false;
    step();
    return true;
  }
};

}  // namespace tern
