// A port that passes everything to another port and records each write with the phase the
// test is in, so a test can show which exchanges happened while, say, the window had the
// link to itself.
#pragma once

#include <atomic>
#include <memory>
#include <mutex>
#include <utility>
#include <vector>

#include "link/port.h"

namespace tern::testing {

// Thread: one user at a time like every port; `phase` and the log may be read from another.
class RecordingPort final : public Port {
 public:
  explicit RecordingPort(std::unique_ptr<Port> inner) : inner_(std::move(inner)) {}

  std::atomic<int> phase{0};

  // Every write so far: (phase, bytes).
  std::vector<std::pair<int, Bytes>> writes() const {
    std::lock_guard lock(mutex_);
    return writes_;
  }

  Counted deviceCount() override { return inner_->deviceCount(); }
  LinkStatus description(std::uint32_t index, std::string& text) override {
    return inner_->description(index, text);
  }
  LinkStatus open(std::string_view description) override { return inner_->open(description); }
  LinkStatus setTimeouts(std::uint32_t readMs, std::uint32_t writeMs) override {
    return inner_->setTimeouts(readMs, writeMs);
  }
  Counted write(ByteView data) override {
    {
      std::lock_guard lock(mutex_);
      writes_.emplace_back(phase.load(), Bytes(data.begin(), data.end()));
    }
    return inner_->write(data);
  }
  Counted read(std::span<std::uint8_t> into) override { return inner_->read(into); }
  Counted queued() override { return inner_->queued(); }
  LinkStatus close() override { return inner_->close(); }

 private:
  std::unique_ptr<Port> inner_;
  mutable std::mutex mutex_;
  std::vector<std::pair<int, Bytes>> writes_;
};

}  // namespace tern::testing
