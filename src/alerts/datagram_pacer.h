// Datagrams to one boat-network target at a pace its receiver keeps up with. A plotter or
// a Signal K server reads its UDP socket between other work; with the kernel's default
// receive buffer (about 200 kB, some 160 short datagrams) a burst of the first read-out's
// NAVTEX backlog, hundreds of NRX sentences within milliseconds, overflows it and whole
// messages are lost without a word. Sent one every kGap, the backlog of a full NAVTEX list
// takes some ten seconds and a receiver may stall for three seconds without losing any.
//
// Two lanes: the barometer's reading and its alarm go ahead of a NAVTEX backlog, so they
// wait one gap at most. Each call's datagrams are queued whole or not at all, so a
// listener never gets a message cut short by a full queue.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <deque>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "common/udp_sender.h"

namespace tern {

// Thread: Queue, TakeFailures and WaitIdle from one owner thread at a time; the pacer's own
// thread sends. The sender is opened by the owner before anything is queued and is not
// touched by the owner again while datagrams wait.
class DatagramPacer {
 public:
  static constexpr std::chrono::milliseconds kGap{20};
  // More than a full NAVTEX list of both frequencies in NRX sentences.
  static constexpr std::size_t kMaxQueued = 4000;
  // What a stop still sends of the queue before the rest is dropped.
  static constexpr std::chrono::milliseconds kDrainOnStop{1000};

  enum class Lane { Urgent, Backlog };

  explicit DatagramPacer(UdpSender& sender);
  ~DatagramPacer();
  DatagramPacer(const DatagramPacer&) = delete;
  DatagramPacer& operator=(const DatagramPacer&) = delete;

  // "" when queued, else a German description (the queue is full; nothing of it queued).
  std::string Queue(std::vector<std::string> datagrams, Lane lane);
  // The send failures since the last call, each text once, in order.
  std::vector<std::string> TakeFailures();
  // True when everything queued went out within `limit`.
  bool WaitIdle(std::chrono::milliseconds limit);

 private:
  void run();

  UdpSender& sender_;
  std::mutex mutex_;
  std::condition_variable wake_;
  std::condition_variable idle_;
  std::deque<std::string> urgent_;
  std::deque<std::string> backlog_;
  bool sending_ = false;  // a datagram taken off the queue is on its way
  bool stopping_ = false;
  std::vector<std::string> failures_;
  std::thread thread_;
};

}  // namespace tern
