// A port that passes everything to another port and records each write with the phase the
// test is in, so a test can show which exchanges happened while, say, the window had the
// link to itself. It also records which thread made every call and counts calls begun while
// another thread was still inside one; it can hold a thread inside its next call, so that
// code which let two threads use the link would show it at once.
#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>
#include <utility>
#include <vector>

#include "link/port.h"

namespace tern::testing {

// Thread: meant for one user at a time like every port, and checks that; `phase`, the logs
// and the hold may be used from any thread.
class RecordingPort final : public Port {
 public:
  explicit RecordingPort(std::unique_ptr<Port> inner) : inner_(std::move(inner)) {}

  std::atomic<int> phase{0};

  // Every write so far: (phase, bytes).
  std::vector<std::pair<int, Bytes>> writes() const {
    std::lock_guard lock(mutex_);
    return writes_;
  }
  // Every call so far: the thread that made it and, for a write, the bytes.
  std::vector<std::pair<std::thread::id, Bytes>> calls() const {
    std::lock_guard lock(mutex_);
    return calls_;
  }
  // Calls begun while another call was still inside the port.
  int overlaps() const {
    std::lock_guard lock(mutex_);
    return overlaps_;
  }
  // The next call of any thread but `keeper` waits inside the port until `keeper` makes a
  // call itself (which then counts as an overlap) or `most` has passed.
  void holdNextCallOfOthers(std::thread::id keeper, std::chrono::milliseconds most) {
    std::lock_guard lock(mutex_);
    keeper_ = keeper;
    keeperCalled_ = false;
    holdArmed_ = true;
    holdFor_ = most;
  }
  // True while a call is held.
  bool holding() const {
    std::lock_guard lock(mutex_);
    return holding_;
  }

  Counted deviceCount() override {
    Call call(*this);
    return inner_->deviceCount();
  }
  LinkStatus description(std::uint32_t index, std::string& text) override {
    Call call(*this);
    return inner_->description(index, text);
  }
  LinkStatus open(std::string_view description) override {
    Call call(*this);
    return inner_->open(description);
  }
  LinkStatus setTimeouts(std::uint32_t readMs, std::uint32_t writeMs) override {
    Call call(*this);
    return inner_->setTimeouts(readMs, writeMs);
  }
  Counted write(ByteView data) override {
    Call call(*this, &data);
    return inner_->write(data);
  }
  Counted read(std::span<std::uint8_t> into) override {
    Call call(*this);
    return inner_->read(into);
  }
  Counted queued() override {
    Call call(*this);
    return inner_->queued();
  }
  LinkStatus close() override {
    Call call(*this);
    return inner_->close();
  }

 private:
  // One call from its start to its end.
  class Call {
   public:
    explicit Call(RecordingPort& port, const ByteView* written = nullptr) : port_(port) {
      port_.enter(written);
    }
    ~Call() { port_.leave(); }
    Call(const Call&) = delete;
    Call& operator=(const Call&) = delete;

   private:
    RecordingPort& port_;
  };

  void enter(const ByteView* written) {
    const std::thread::id me = std::this_thread::get_id();
    std::unique_lock lock(mutex_);
    if (inside_ > 0) ++overlaps_;
    ++inside_;
    Bytes bytes = written != nullptr ? Bytes(written->begin(), written->end()) : Bytes{};
    if (written != nullptr) writes_.emplace_back(phase.load(), bytes);
    calls_.emplace_back(me, std::move(bytes));
    if (me == keeper_) {
      keeperCalled_ = true;
      released_.notify_all();
    } else if (holdArmed_) {
      holdArmed_ = false;
      holding_ = true;
      released_.wait_for(lock, holdFor_, [this] { return keeperCalled_; });
      holding_ = false;
    }
  }
  void leave() {
    std::lock_guard lock(mutex_);
    --inside_;
  }

  std::unique_ptr<Port> inner_;
  mutable std::mutex mutex_;
  std::condition_variable released_;
  std::vector<std::pair<int, Bytes>> writes_;
  std::vector<std::pair<std::thread::id, Bytes>> calls_;
  int inside_ = 0;
  int overlaps_ = 0;
  std::thread::id keeper_;
  bool keeperCalled_ = false;
  bool holdArmed_ = false;
  bool holding_ = false;
  std::chrono::milliseconds holdFor_{0};
};

}  // namespace tern::testing
