// Feeds arbitrary bytes to every receiver command as the receiver's replies: no reply, however
// malformed or long, may crash the link or make it read outside its buffers.
#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <deque>
#include <memory>

#include "fuzz_clock.h"
#include "link/ttern.h"

namespace {

class ReplayPort final : public tern::Port {
 public:
  // The next input's bytes, read from their start.
  void replay(const std::uint8_t* data, std::size_t size) {
    data_ = data;
    size_ = size;
    pos_ = 0;
  }
  tern::Counted deviceCount() override { return {tern::LinkStatus::Ok, 1}; }
  tern::LinkStatus description(std::uint32_t, std::string& text) override {
    text = tern::protocol::kReceiverDescription;
    return tern::LinkStatus::Ok;
  }
  tern::LinkStatus open(std::string_view) override { return tern::LinkStatus::Ok; }
  tern::LinkStatus setTimeouts(std::uint32_t, std::uint32_t) override {
    return tern::LinkStatus::Ok;
  }
  tern::Counted write(tern::ByteView d) override {
    return {tern::LinkStatus::Ok, static_cast<std::uint32_t>(d.size())};
  }
  tern::Counted read(std::span<std::uint8_t> into) override {
    std::size_t n = std::min(into.size(), size_ - pos_);
    if (n > 0) std::memcpy(into.data(), data_ + pos_, n);
    pos_ += n;
    return {n == into.size() ? tern::LinkStatus::Ok : tern::LinkStatus::Timeout,
            static_cast<std::uint32_t>(n)};
  }
  tern::Counted queued() override {
    return {tern::LinkStatus::Ok, static_cast<std::uint32_t>(size_ - pos_)};
  }
  tern::LinkStatus close() override { return tern::LinkStatus::Ok; }

 private:
  const std::uint8_t* data_ = nullptr;
  std::size_t size_ = 0;
  std::size_t pos_ = 0;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // One link for the whole run (its receive buffer alone is 1 MB), closed after every input
  // and with its status values back at their start.
  static tern::fuzz::FixedClock clock;
  static ReplayPort* port = nullptr;
  static tern::TTERN link = [] {
    auto replay = std::make_unique<ReplayPort>();
    port = replay.get();
    return tern::TTERN(std::move(replay), clock);
  }();
  port->replay(data, size);
  link.Pressure = 0;
  link.Temperature = 0;
  link.BaroChanged = 1;
  link.ClockFieldsValid = true;
  link.RecordHeader = {};
  if (!link.OpenLink()) return 0;
  link.Ping(false);
  tern::CivilTime t;
  bool valid = false;
  link.ReadClock(t, valid, false);
  std::string text;
  link.ReadSerialNumber(text, false);
  link.ReadFirmwareVersion(text, false);
  std::uint16_t word = 0;
  link.ReadStatus(word, false);
  link.ReadBaroNow(false);
  std::array<std::uint8_t, 520> page{};
  link.ReadBaroPage(page, false);
  link.ReadPage(8, page, false);
  link.SelectChannel(1, false);
  for (int i = 0; i < 16 && link.NextRecord(false); ++i) {
    volatile std::size_t sink = link.RecordData().size();
    (void)sink;
  }
  std::uint8_t b = 0;
  while (link.ReadStreamByte(b, false)) {
  }
  link.StopReceiveTest(false);
  link.CloseLink();
  return 0;
}
