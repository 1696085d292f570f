// The hand-over on Qt: the step is queued to the window thread (ui/window_queue.h) and the
// polling thread waits until it has run, or until a stop request arrives before the window thread
// took it up. A step that was cancelled that way is skipped when its turn comes.
#pragma once

#include <QObject>
#include <QPointer>

#include "poll/hand_over.h"
#include "ui/window_queue.h"

namespace tern {

// Thread: constructed on the window thread; run() is called from the polling thread.
class QtHandOver final : public HandOver {
 public:
  // `context` lives on the window thread; steps are dropped once it is gone.
  explicit QtHandOver(QObject* context) : queue_(new WindowQueue(context)) {}
  bool run(const std::function<void()>& step, std::stop_token stop) override;

 private:
  QPointer<WindowQueue> queue_;  // a child of the context, gone with it
};

}  // namespace tern
