// The owner of the polling thread, and the one way for the window thread (or tern-cli) to
// use the receiver link for a longer exchange of its own: the firmware update and the
// reception test. Taking the link stops the polling thread and waits for it to end (its
// pause flag would not do: it is looked at only at the top of a pass); giving the link back
// makes a fresh thread object, with every request of a start set again (clock, schedule
// block, full barometer read) and the NAVTEX records not announced yet, and starts it. The
// link is given back by the end of a scope, so no path can forget the restart.
//
// Taking the link from inside a hand-over step is refused: the polling thread waits for the
// step, and the stop would wait for the polling thread. The owner lends every thread a
// hand-over that marks the thread running a step, so the misuse is seen, not deadlocked on.
#pragma once

#include <atomic>
#include <functional>
#include <memory>
#include <optional>
#include <thread>
#include <utility>
#include <vector>

#include "link/ttern.h"
#include "poll/get_data_thread.h"
#include "poll/hand_over.h"

namespace tern {

// Thread: window thread (the owner's thread) only; the polling threads call only the
// hand-over it lends them.
class PollingOwner {
 public:
  // Makes a thread object that hands over through `handOver` (the owner's tracking one);
  // nullptr for a tool that does not poll and only wants the link handed out.
  using ThreadFactory = std::function<std::unique_ptr<TGetDataThread>(HandOver& handOver)>;
  // Told the current thread object after each change: nullptr while the link is taken and
  // after the shutdown. The window points its busy bar and pause flag at it.
  using Attach = std::function<void(TGetDataThread*)>;

  PollingOwner(TTERN& link, HandOver& windowHandOver, ThreadFactory makeThread, Attach attach = {});
  ~PollingOwner();  // Shutdown()
  PollingOwner(const PollingOwner&) = delete;
  PollingOwner& operator=(const PollingOwner&) = delete;

  // The current thread object; nullptr while the link is taken or after the shutdown.
  TGetDataThread* Thread() const { return thread_.get(); }
  // Starts polling (now, or when the link comes back).
  void Start();
  // Stops and joins for good; nothing restarts afterwards.
  void Shutdown();
  bool Polling() const { return thread_ && thread_->running(); }
  // Reach the current thread object, when there is one: the configuration dialog's saved
  // settings (see TGetDataThread::PushSettings) and the automatic-export switch. While the
  // link is taken there is none; the fresh one takes the settings as they are then.
  void PushSettings(Bytes scheduleBlock);
  void SetAutoExport(bool on, bool exportNow = true);

  // The link for the window thread alone, until this object ends; it must end before the
  // owner does.
  // Thread: the owner's thread.
  class ExclusiveLink {
   public:
    ExclusiveLink(ExclusiveLink&& other) noexcept : owner_(std::exchange(other.owner_, nullptr)) {}
    ExclusiveLink& operator=(ExclusiveLink&&) = delete;
    ~ExclusiveLink();
    TTERN& Link() const { return owner_->link_; }
    // NAVTEX records a read-out on the lent link appended: the fresh thread announces them
    // with its first NAVTEX news, as it does those a stopped thread could not hand over.
    void KeepNavtexNews(std::vector<NavtexAppended> appended) const;

   private:
    friend class PollingOwner;
    explicit ExclusiveLink(PollingOwner& owner) : owner_(&owner) {}
    PollingOwner* owner_;
  };

  enum class Refusal {
    InsideHandOver,  // called from a hand-over step, or from the polling thread itself
    AlreadyTaken,
    ShutDown,
  };
  // The link, or why it cannot be had. Stops and joins the polling thread first.
  std::optional<ExclusiveLink> TakeLink(Refusal* why = nullptr);

 private:
  // Thread: run() on the polling thread; the step marks the thread that runs it, which
  // insideStep() compares with the asking thread.
  class TrackingHandOver final : public HandOver {
   public:
    explicit TrackingHandOver(HandOver& inner) : inner_(inner) {}
    bool run(const std::function<void()>& step, std::stop_token stop) override;
    // True on the thread that is running a step right now, and only there.
    bool insideStep() const;

   private:
    HandOver& inner_;
    std::atomic<std::thread::id> stepThread_{};
  };

  void giveBack();
  void freshThread();

  TTERN& link_;
  TrackingHandOver handOver_;
  ThreadFactory makeThread_;
  Attach attach_;
  std::unique_ptr<TGetDataThread> thread_;
  // What the stopped thread and the lent link's read-outs appended and nobody announced yet.
  std::vector<NavtexAppended> unannounced_;
  bool started_ = false;
  bool taken_ = false;
  bool shutDown_ = false;
};

}  // namespace tern
