// A scripted port for byte-exact tests of the link: it records every call and every byte
// written, serves scripted reply bytes, and fails on demand at each step.
#pragma once

#include <algorithm>
#include <cstdint>
#include <deque>
#include <functional>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "link/port.h"
#include "link/protocol.h"

namespace tern::testing {

// Thread: test thread only.
class FakePort final : public Port {
 public:
  // --- Script ---
  std::vector<std::string> devices{std::string(protocol::kReceiverDescription)};
  std::set<std::uint32_t> unreadableDescriptions;
  bool failDeviceCount = false;
  bool failOpen = false;
  bool failSetTimeouts = false;
  bool failClose = false;
  bool failRead = false;
  std::optional<std::size_t> shortWriteAt;  // the write call with this number (0-based) is short
  std::deque<std::uint8_t> replies;         // bytes the receiver has sent
  std::deque<std::uint32_t> queuedScript;   // successive queued() answers; then replies.size()
  // Called after each write with the bytes written, to answer like a receiver would.
  std::function<void(ByteView, FakePort&)> responder;

  void reply(std::initializer_list<std::uint8_t> bytes) { replies.insert(replies.end(), bytes); }
  void reply(ByteView bytes) { replies.insert(replies.end(), bytes.begin(), bytes.end()); }

  // --- Record ---
  std::vector<std::string> calls;  // "count", "desc 0", "open", "timeouts 800 800", "write 6",
                                   // "read 2", "queued", "close"
  std::vector<Bytes> writes;
  bool isOpen = false;
  std::uint32_t readTimeout = 0;
  std::uint32_t writeTimeout = 0;

  Bytes written() const {
    Bytes all;
    for (const auto& w : writes) all.insert(all.end(), w.begin(), w.end());
    return all;
  }
  void clearLog() {
    calls.clear();
    writes.clear();
  }

  Counted deviceCount() override {
    calls.push_back("count");
    if (failDeviceCount) return {LinkStatus::IoError, 0};
    return {LinkStatus::Ok, static_cast<std::uint32_t>(devices.size())};
  }
  LinkStatus description(std::uint32_t index, std::string& text) override {
    calls.push_back("desc " + std::to_string(index));
    if (index >= devices.size() || unreadableDescriptions.count(index)) return LinkStatus::IoError;
    text = devices[index];
    return LinkStatus::Ok;
  }
  LinkStatus open(std::string_view description) override {
    calls.push_back("open");
    if (failOpen || isOpen || description != protocol::kReceiverDescription)
      return LinkStatus::IoError;
    isOpen = true;
    return LinkStatus::Ok;
  }
  LinkStatus setTimeouts(std::uint32_t readMs, std::uint32_t writeMs) override {
    calls.push_back("timeouts " + std::to_string(readMs) + " " + std::to_string(writeMs));
    if (failSetTimeouts) return LinkStatus::IoError;
    readTimeout = readMs;
    writeTimeout = writeMs;
    return LinkStatus::Ok;
  }
  Counted write(ByteView data) override {
    calls.push_back("write " + std::to_string(data.size()));
    std::size_t number = writes.size();
    writes.emplace_back(data.begin(), data.end());
    if (!isOpen) return {LinkStatus::NotOpen, 0};
    if (shortWriteAt && *shortWriteAt == number)
      return {LinkStatus::Timeout, static_cast<std::uint32_t>(data.size() / 2)};
    if (responder) responder(data, *this);
    return {LinkStatus::Ok, static_cast<std::uint32_t>(data.size())};
  }
  Counted read(std::span<std::uint8_t> into) override {
    calls.push_back("read " + std::to_string(into.size()));
    if (!isOpen || failRead) return {LinkStatus::IoError, 0};
    std::size_t n = std::min(into.size(), replies.size());
    for (std::size_t i = 0; i < n; ++i) {
      into[i] = replies.front();
      replies.pop_front();
    }
    return {n == into.size() ? LinkStatus::Ok : LinkStatus::Timeout, static_cast<std::uint32_t>(n)};
  }
  Counted queued() override {
    calls.push_back("queued");
    if (!isOpen) return {LinkStatus::IoError, 0};
    if (!queuedScript.empty()) {
      std::uint32_t n = queuedScript.front();
      queuedScript.pop_front();
      return {LinkStatus::Ok, n};
    }
    return {LinkStatus::Ok, static_cast<std::uint32_t>(replies.size())};
  }
  LinkStatus close() override {
    calls.push_back("close");
    if (failClose) return LinkStatus::IoError;
    isOpen = false;
    return LinkStatus::Ok;
  }
};

}  // namespace tern::testing
