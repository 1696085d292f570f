#include "sim/demo_life.h"

#include <algorithm>

#include "sim/demo_programme.h"
#include "sim/demo_scenario.h"

namespace tern::sim {

DemoLife::DemoLife(std::shared_ptr<SimReceiver> receiver, std::int64_t startSeconds)
    : receiver_(std::move(receiver)),
      weather_(startSeconds),
      doneUntil_(startSeconds),
      lastBaroMinute_(startSeconds / 60) {}

void DemoLife::tick() {
  const std::int64_t now = secondsSinceEpoch(receiver_->clock().utcNow());
  if (now <= doneUntil_) return;
  const std::int64_t from = std::max(doneUntil_, now - kMaxCatchUpSeconds);
  for (const DemoItem& item : demoItemsBetween(from, now))
    for (auto& [channel, record] : demoRecords(item, weather_))
      receiver_->addRecord(channel, std::move(record));
  doneUntil_ = now;

  const std::int64_t minute = now / 60;
  for (std::int64_t m = std::max(lastBaroMinute_ + 1, minute - kMaxCatchUpSeconds / 60);
       m <= minute; ++m)
    receiver_->addBaroSample(demoBaroValue(weather_, m * 60));
  lastBaroMinute_ = minute;
}

DemoPort::DemoPort(std::shared_ptr<SimReceiver> receiver, std::int64_t startSeconds)
    : port_(receiver), life_(receiver, startSeconds) {}

Counted DemoPort::deviceCount() {
  // The polling thread looks for the receiver once a second: the demo's heartbeat.
  life_.tick();
  return port_.deviceCount();
}

LinkStatus DemoPort::description(std::uint32_t index, std::string& text) {
  return port_.description(index, text);
}

LinkStatus DemoPort::open(std::string_view description) {
  life_.tick();
  return port_.open(description);
}

LinkStatus DemoPort::setTimeouts(std::uint32_t readMs, std::uint32_t writeMs) {
  return port_.setTimeouts(readMs, writeMs);
}

Counted DemoPort::write(ByteView data) { return port_.write(data); }
Counted DemoPort::read(std::span<std::uint8_t> into) { return port_.read(into); }
Counted DemoPort::queued() { return port_.queued(); }
LinkStatus DemoPort::close() { return port_.close(); }

std::unique_ptr<Port> makeDemoPort(Clock& clock) {
  const CivilTime now = clock.utcNow();
  auto receiver = std::make_shared<SimReceiver>(demoScenario(now), clock);
  return std::make_unique<DemoPort>(receiver, secondsSinceEpoch(now));
}

}  // namespace tern::sim
