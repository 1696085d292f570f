#include "alerts/datagram_pacer.h"

#include <algorithm>
#include <utility>

namespace tern {

DatagramPacer::DatagramPacer(UdpSender& sender) : sender_(sender), thread_([this] { run(); }) {}

DatagramPacer::~DatagramPacer() {
  WaitIdle(kDrainOnStop);
  {
    std::lock_guard lock(mutex_);
    stopping_ = true;
  }
  wake_.notify_all();
  thread_.join();
}

std::string DatagramPacer::Queue(std::vector<std::string> datagrams, Lane lane) {
  if (datagrams.empty()) return {};
  {
    std::lock_guard lock(mutex_);
    if (urgent_.size() + backlog_.size() + datagrams.size() > kMaxQueued) {
      return std::to_string(datagrams.size()) +
             " Datensätze nicht gesendet: die Warteschlange ist voll, das Ziel nimmt zu wenig ab.";
    }
    auto& queue = lane == Lane::Urgent ? urgent_ : backlog_;
    for (auto& d : datagrams) queue.push_back(std::move(d));
  }
  wake_.notify_one();
  return {};
}

std::vector<std::string> DatagramPacer::TakeFailures() {
  std::lock_guard lock(mutex_);
  return std::exchange(failures_, {});
}

bool DatagramPacer::WaitIdle(std::chrono::milliseconds limit) {
  std::unique_lock lock(mutex_);
  return idle_.wait_for(lock, limit,
                        [this] { return urgent_.empty() && backlog_.empty() && !sending_; });
}

void DatagramPacer::run() {
  auto next = std::chrono::steady_clock::now();
  std::unique_lock lock(mutex_);
  for (;;) {
    wake_.wait(lock, [this] { return stopping_ || !urgent_.empty() || !backlog_.empty(); });
    if (stopping_) return;
    // The gap is kept after the last datagram, also when the queue ran empty meanwhile.
    if (wake_.wait_until(lock, next, [this] { return stopping_; })) return;
    auto& queue = !urgent_.empty() ? urgent_ : backlog_;
    const std::string datagram = std::move(queue.front());
    queue.pop_front();
    sending_ = true;
    lock.unlock();
    const std::string failure = sender_.send(datagram);
    next = std::chrono::steady_clock::now() + kGap;
    lock.lock();
    sending_ = false;
    if (!failure.empty() &&
        std::find(failures_.begin(), failures_.end(), failure) == failures_.end())
      failures_.push_back(failure);
    if (urgent_.empty() && backlog_.empty()) idle_.notify_all();
  }
}

}  // namespace tern
