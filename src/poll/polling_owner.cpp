#include "poll/polling_owner.h"

#include <iterator>
#include <thread>
#include <utility>

namespace tern {

bool PollingOwner::TrackingHandOver::run(const std::function<void()>& step, std::stop_token stop) {
  return inner_.run(
      [this, &step] {
        // The thread that runs the step: the window thread with the window's hand-over, the
        // polling thread itself with a direct one. Steps never nest.
        stepThread_.store(std::this_thread::get_id());
        struct Leave {
          std::atomic<std::thread::id>& thread;
          ~Leave() { thread.store(std::thread::id{}); }
        } leave{stepThread_};
        step();
      },
      stop);
}

bool PollingOwner::TrackingHandOver::insideStep() const {
  return stepThread_.load() == std::this_thread::get_id();
}

PollingOwner::PollingOwner(TTERN& link, HandOver& windowHandOver, ThreadFactory makeThread,
                           Attach attach)
    : link_(link),
      handOver_(windowHandOver),
      makeThread_(std::move(makeThread)),
      attach_(std::move(attach)) {
  freshThread();
}

PollingOwner::~PollingOwner() { Shutdown(); }

void PollingOwner::freshThread() {
  thread_ = makeThread_(handOver_);
  if (thread_) thread_->KeepUnannounced(std::exchange(unannounced_, {}));
  if (attach_) attach_(thread_.get());
}

void PollingOwner::Start() {
  if (shutDown_) return;
  started_ = true;
  if (thread_) thread_->Start();
}

void PollingOwner::PushSettings(Bytes scheduleBlock) {
  if (thread_) thread_->PushSettings(std::move(scheduleBlock));
}

void PollingOwner::SetAutoExport(bool on, bool exportNow) {
  if (thread_) thread_->SetAutoExport(on, exportNow);
}

void PollingOwner::Shutdown() {
  if (shutDown_) return;
  shutDown_ = true;
  if (thread_) thread_->Stop();
  if (attach_) attach_(nullptr);
  thread_.reset();
}

std::optional<PollingOwner::ExclusiveLink> PollingOwner::TakeLink(Refusal* why) {
  auto refuse = [why](Refusal r) {
    if (why != nullptr) *why = r;
    return std::nullopt;
  };
  if (handOver_.insideStep() ||
      (thread_ && thread_->running() && thread_->ThreadId() == std::this_thread::get_id()))
    return refuse(Refusal::InsideHandOver);
  if (shutDown_) return refuse(Refusal::ShutDown);
  if (taken_) return refuse(Refusal::AlreadyTaken);
  taken_ = true;
  if (thread_) {
    thread_->Stop();
    unannounced_ = thread_->TakeUnannounced();
  }
  if (attach_) attach_(nullptr);
  thread_.reset();
  return ExclusiveLink(*this);
}

void PollingOwner::giveBack() {
  taken_ = false;
  if (shutDown_) return;
  freshThread();
  if (started_ && thread_) thread_->Start();
}

void PollingOwner::ExclusiveLink::KeepNavtexNews(std::vector<NavtexAppended> appended) const {
  auto& kept = owner_->unannounced_;
  kept.insert(kept.end(), std::make_move_iterator(appended.begin()),
              std::make_move_iterator(appended.end()));
}

PollingOwner::ExclusiveLink::~ExclusiveLink() {
  if (owner_ != nullptr) owner_->giveBack();
}

}  // namespace tern
