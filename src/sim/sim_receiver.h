// The simulated receiver: the receiver's side of the USB protocol. It parses the real
// request frames, keeps the receiver's state (page memory, clock, identity, status word,
// barometer ring, record logs, reception test) and answers with the real reply bytes,
// each reply becoming visible to the PC at a time taken from the clock seam. SimPort puts
// it behind the port interface; serveSimReceiver puts it behind a file descriptor.
#pragma once

#include <cstdint>
#include <deque>
#include <mutex>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "common/bytes.h"
#include "common/clock.h"
#include "sim/scenario.h"

namespace tern::sim {

// Thread: every public member locks one internal mutex, so the receiver may be driven
// from the polling thread while a test or the demo changes its contents from another; a
// single exchange is still meant for one user at a time, as with the real receiver.
class SimReceiver {
 public:
  SimReceiver(Scenario scenario, Clock& clock);
  // The receiver a new SimReceiver(scenario, clock()) would be, keeping the page memory's
  // allocation: a fuzz target starts from a fresh receiver for every input, and its 4 MB
  // would otherwise be mapped, zero-filled by the kernel and filled again each time.
  void Reset(Scenario scenario);

  Clock& clock() const { return clock_; }

  // --- The USB side ------------------------------------------------------------------
  bool attached() const;
  std::string description() const;
  // Bytes the PC wrote; complete requests are answered at once (replies may be due later).
  void fromHost(ByteView bytes);
  // Bytes that have reached the PC by now.
  std::size_t readyCount() const;
  // Clock time (ms since the epoch) at which `count` bytes will have reached the PC;
  // nothing when that never happens with what is pending.
  std::optional<std::int64_t> readyAtMs(std::size_t count) const;
  // Moves up to out.size() bytes that have reached the PC into `out`.
  std::size_t toHost(std::span<std::uint8_t> out);
  // The PC purged its receive queue.
  void discardReady();

  // --- Changing what the receiver holds ----------------------------------------------
  void addRecord(std::uint8_t channel, SimRecord record);  // newest; sets the status bit
  void addBaroSample(std::int16_t pressure);               // appends to the ring
  void setStatusWord(std::uint16_t word);
  void setClockValid(bool valid);
  void setFaults(const SimFaults& faults);
  void setPlugged(bool plugged);

  // --- Looking inside ----------------------------------------------------------------
  Bytes page(std::uint32_t index) const;  // 528 bytes
  CivilTime receiverTime() const;
  bool clockValid() const;
  std::uint16_t statusWord() const;
  int programmingStarts() const;
  std::vector<Bytes> requests() const;  // every request frame (without page data), in order
  std::uint64_t bytesSentToHost() const;
  bool receiveTestRunning() const;

  static std::int64_t msOf(const CivilTime& t);

 private:
  struct Chunk {
    std::int64_t readyAt;
    Bytes bytes;
    std::size_t offset = 0;
  };

  std::int64_t nowMs() const { return msOf(clock_.utcNow()); }
  void parseInput();
  void handle(std::uint8_t code, ByteView payload);
  void reply(std::uint8_t code, Bytes bytes);
  void queueAt(std::int64_t at, Bytes bytes);
  Bytes clockReply() const;
  Bytes baroBlock() const;
  void writeBaroSample(std::uint32_t position, std::int16_t pressure);
  void loadBaroRing();
  void markWritten(std::uint32_t page);
  std::size_t readyCountLocked() const;

  mutable std::mutex mutex_;
  // Reset sets every member below as the constructor leaves it.
  Scenario s_;
  Clock& clock_;
  bool plugged_ = true;
  std::vector<std::uint8_t> memory_;         // kPageCount x kPageSize
  std::vector<bool> written_;                // per page: written since made or reset
  std::vector<std::uint32_t> writtenPages_;  // those pages, for Reset to erase
  std::uint32_t baroHead_ = 0;
  std::uint32_t baroCount_ = 0;
  std::optional<std::uint8_t> selected_;
  std::array<std::size_t, 3> cursor_{};
  bool testRunning_ = false;
  int programmingStarts_ = 0;
  std::int64_t reprogrammedAtMs_ = 0;  // busy reprogramming itself until then
  Bytes input_;
  std::optional<std::pair<std::uint32_t, std::uint32_t>> awaitingPage_;  // page, length
  std::deque<Chunk> outbox_;
  std::uint64_t sentToHost_ = 0;
  std::vector<Bytes> requests_;
  std::uint64_t requestsSinceFaults_ = 0;
  std::uint64_t recordRequestsSinceFaults_ = 0;
  bool placeLost_ = false;
};

}  // namespace tern::sim
