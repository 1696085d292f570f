// The hard limit on a request's head. The HTTP library closes a connection only after a
// stretch of silence, so a client that sends a header line every few seconds would keep its
// socket forever; this table gives every connection a deadline for its next complete head
// and cuts the socket once it has passed.
#pragma once

#include <chrono>
#include <cstddef>
#include <mutex>
#include <string>
#include <unordered_map>

namespace tern {

// Thread: every member on any thread (the server's threads and its watch thread).
class HeadDeadlines {
 public:
  using Clock = std::chrono::steady_clock;

  explicit HeadDeadlines(std::chrono::milliseconds longest) : longest_(longest) {}

  // A connection on socket `fd`: its first head is due by now + longest.
  void Opened(const void* connection, int fd);
  // Its request line arrived (a cut is then worth a log line, an idle keep-alive's is not).
  void RequestBegun(const void* connection);
  // Its head is complete: no deadline while the answer is made and sent.
  void HeadComplete(const void* connection);
  // Its answer went out: the next head is due by now + longest.
  void AnswerSent(const void* connection);
  // Called before the library closes the socket, so a cut never reaches a reused number.
  void Closed(const void* connection);

  struct Cut {
    std::size_t partial = 0;  // connections cut in the middle of a request's head
    std::string lastPeer;     // the last of those, for the log
  };
  // Shuts down every socket whose deadline has passed; the library then closes it. `peer`
  // names a connection for the log.
  template <typename PeerText>
  Cut CutOverdue(Clock::time_point now, PeerText peer) {
    Cut cut;
    std::lock_guard lock(mutex_);
    for (auto& [connection, entry] : entries_) {
      if (!entry.due || now < entry.deadline) continue;
      entry.due = false;
      shutdownSocket(entry.fd);
      if (!entry.begun) continue;
      ++cut.partial;
      cut.lastPeer = peer(connection);
    }
    return cut;
  }

 private:
  struct Entry {
    int fd = -1;
    Clock::time_point deadline;
    bool due = true;
    bool begun = false;
  };
  static void shutdownSocket(int fd);

  const std::chrono::milliseconds longest_;
  std::mutex mutex_;
  std::unordered_map<const void*, Entry> entries_;
};

}  // namespace tern
