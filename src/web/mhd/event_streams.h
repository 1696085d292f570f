// The page's event streams (/api/events): "data: <generation>" whenever the web data move, a
// comment line while they do not. A stream with nothing to send is suspended in the HTTP
// library, so it holds no thread and no time-out runs; the server's watch thread resumes it
// when there is news, when a keep-alive line is due, when its browser has gone, or at stop.
#pragma once

#include <microhttpd.h>

#include <atomic>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <unordered_set>

namespace tern {

// Thread: Open and the stream callbacks on the library's threads, Wake and ResumeAll on the
// watch thread; one mutex guards the streams.
class EventStreams {
 public:
  using Clock = std::chrono::steady_clock;
  using Generation = std::function<std::uint64_t()>;

  EventStreams(std::size_t most, std::chrono::milliseconds keepAlive, Generation generation,
               const std::atomic<bool>& stopping)
      : most_(most),
        keepAlive_(keepAlive),
        generation_(std::move(generation)),
        stopping_(stopping) {}
  ~EventStreams();
  EventStreams(const EventStreams&) = delete;
  EventStreams& operator=(const EventStreams&) = delete;

  // The answer for a new stream on `connection` (socket `fd`), or nullptr when `most` streams
  // are open already. The caller queues it and releases its reference.
  MHD_Response* Open(MHD_Connection* connection, int fd);

  // Resumes the suspended streams that have something to send: the generation is no longer
  // `generation`, a keep-alive line is due, or the browser has closed.
  void Wake(std::uint64_t generation, Clock::time_point now);
  // Resumes every suspended stream (before the server stops; they end).
  void ResumeAll();

 private:
  struct Stream {
    EventStreams* owner = nullptr;
    MHD_Connection* connection = nullptr;
    int fd = -1;
    std::uint64_t seen = 0;
    Clock::time_point lastSent;
    std::string pending;  // text not yet handed to the library
    bool started = false;
    bool suspended = false;
    bool gone = false;
  };
  static ssize_t read(void* stream, std::uint64_t position, char* buffer, std::size_t most);
  static void free(void* stream);
  void resume(Stream& stream);

  const std::size_t most_;
  const std::chrono::milliseconds keepAlive_;
  const Generation generation_;
  const std::atomic<bool>& stopping_;
  std::mutex mutex_;
  std::unordered_set<Stream*> streams_;
};

}  // namespace tern
