#include "web/mhd/event_streams.h"

#include <poll.h>
#include <sys/socket.h>

#include <algorithm>
#include <cstring>

namespace tern {

namespace {

constexpr std::size_t kBlock = 1024;

// A browser sends nothing on an event stream after its request: the socket turning readable
// with nothing to read means it closed (a reload, a closed tab), and the stream's place is
// free at once rather than at the next keep-alive line.
bool peerClosed(int fd) {
  if (fd < 0) return false;
  pollfd p{fd, POLLIN | POLLRDHUP, 0};
  if (::poll(&p, 1, 0) <= 0) return false;
  if ((p.revents & (POLLRDHUP | POLLHUP | POLLERR)) != 0) return true;
  char byte = 0;
  return ::recv(fd, &byte, 1, MSG_PEEK | MSG_DONTWAIT) == 0;
}

}  // namespace

EventStreams::~EventStreams() {
  // The library frees every answer before it stops; anything left was never queued.
  for (Stream* stream : streams_) delete stream;
}

MHD_Response* EventStreams::Open(MHD_Connection* connection, int fd) {
  auto* stream = new Stream;
  stream->owner = this;
  stream->connection = connection;
  stream->fd = fd;
  {
    std::lock_guard lock(mutex_);
    if (streams_.size() >= most_) {
      delete stream;
      return nullptr;
    }
    streams_.insert(stream);
  }
  MHD_Response* response = MHD_create_response_from_callback(
      MHD_SIZE_UNKNOWN, kBlock, &EventStreams::read, stream, &EventStreams::free);
  if (response == nullptr) {
    std::lock_guard lock(mutex_);
    streams_.erase(stream);
    delete stream;
  }
  return response;
}

void EventStreams::resume(Stream& stream) {
  stream.suspended = false;
  MHD_resume_connection(stream.connection);
}

void EventStreams::Wake(std::uint64_t generation, Clock::time_point now) {
  std::lock_guard lock(mutex_);
  for (Stream* stream : streams_) {
    if (!stream->suspended) continue;
    if (peerClosed(stream->fd)) {
      stream->gone = true;
      resume(*stream);
    } else if (stream->seen != generation || now - stream->lastSent >= keepAlive_) {
      resume(*stream);
    }
  }
}

void EventStreams::ResumeAll() {
  std::lock_guard lock(mutex_);
  for (Stream* stream : streams_)
    if (stream->suspended) resume(*stream);
}

ssize_t EventStreams::read(void* cls, std::uint64_t, char* buffer, std::size_t most) {
  Stream& stream = *static_cast<Stream*>(cls);
  EventStreams& self = *stream.owner;
  std::lock_guard lock(self.mutex_);
  if (self.stopping_ || stream.gone) return MHD_CONTENT_READER_END_WITH_ERROR;
  const auto now = Clock::now();
  if (stream.pending.empty()) {
    const std::uint64_t generation = self.generation_();
    if (!stream.started) {
      stream.pending = "retry: 3000\ndata: " + std::to_string(generation) + "\n\n";
      stream.started = true;
    } else if (generation != stream.seen) {
      stream.pending = "data: " + std::to_string(generation) + "\n\n";
    } else if (now - stream.lastSent >= self.keepAlive_) {
      stream.pending = ":\n\n";
    }
    stream.seen = generation;
  }
  if (stream.pending.empty() || most == 0) {
    // Nothing to say: out of the library's loop until Wake finds something.
    stream.suspended = true;
    MHD_suspend_connection(stream.connection);
    return 0;
  }
  const std::size_t n = std::min(most, stream.pending.size());
  std::memcpy(buffer, stream.pending.data(), n);
  stream.pending.erase(0, n);
  stream.lastSent = now;
  return static_cast<ssize_t>(n);
}

void EventStreams::free(void* cls) {
  Stream* stream = static_cast<Stream*>(cls);
  {
    std::lock_guard lock(stream->owner->mutex_);
    stream->owner->streams_.erase(stream);
  }
  delete stream;
}

}  // namespace tern
