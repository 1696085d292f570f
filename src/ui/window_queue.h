// Calls from worker threads to the window thread. The calls wait in a queue of our own,
// guarded by a mutex, and one queued slot call without arguments wakes the window thread to
// run them: nothing a worker wrote reaches the window thread through Qt's event objects, so
// the handing over is ordered by a lock that ThreadSanitizer sees (Qt's own locks it cannot
// see, Qt being built without it).
#pragma once

#include <QObject>
#include <functional>
#include <mutex>
#include <vector>

namespace tern {

// Thread: created and destroyed on the window thread; post() from any thread.
class WindowQueue : public QObject {
  Q_OBJECT
 public:
  explicit WindowQueue(QObject* parent) : QObject(parent) {}

  // Runs `call` on the window thread soon, after the calls posted before it. Calls still
  // waiting when the queue is destroyed are dropped.
  void post(std::function<void()> call);

 private:
  Q_INVOKABLE void runPending();

  std::mutex mutex_;
  std::vector<std::function<void()>> pending_;
};

}  // namespace tern
