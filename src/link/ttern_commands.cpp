// The receiver's short queries and the record stream: presence ping, clock, identity,
// status word, current barometer values, channel selection and records.
#include <algorithm>
#include <chrono>

#include "link/ttern.h"

namespace tern {

namespace p = protocol;

namespace {

// Restores the read timeout it found, on every path out of a command.
class ReadTimeoutOverride {
 public:
  ReadTimeoutOverride(LinkConnection& link, std::uint32_t ms)
      : link_(link), previous_(link.ReadTimeout()) {
    link_.SetReadTimeout(ms);
  }
  ~ReadTimeoutOverride() { restore(); }
  void restore() {
    if (restored_) return;
    restored_ = true;
    link_.SetReadTimeout(previous_);
  }
  ReadTimeoutOverride(const ReadTimeoutOverride&) = delete;
  ReadTimeoutOverride& operator=(const ReadTimeoutOverride&) = delete;

 private:
  LinkConnection& link_;
  std::uint32_t previous_;
  bool restored_ = false;
};

// 1 = Sunday .. 7 = Saturday, as the receiver counts.
std::uint8_t receiverWeekday(const CivilTime& t) {
  using namespace std::chrono;
  year_month_day ymd{year{t.year}, month{static_cast<unsigned>(t.month)},
                     day{static_cast<unsigned>(t.day)}};
  return static_cast<std::uint8_t>(weekday{sys_days{ymd}}.c_encoding() + 1);
}

}  // namespace

bool TTERN::Ping(bool autoOpen) {
  std::uint32_t previous = link_.ReadTimeout();
  bool changed = false;
  bool ok = withLink(autoOpen, [&] {
    if (!sendFrame(p::kPing, {})) return false;
    link_.SetReadTimeout(p::kPingTimeoutMs);
    changed = true;
    return expectHead(p::kPing, 0);
  });
  // Restored after the close, so an automatic open/close costs no extra device call.
  if (changed) link_.SetReadTimeout(previous);
  return ok;
}

bool TTERN::ReadClock(CivilTime& time, bool& clockValid, bool autoOpen) {
  return withLink(autoOpen, [&] {
    if (!sendFrame(p::kReadClock, {}) || !receiveExactly(p::kClockReplyLength)) return false;
    ByteView rx = link_.RxBuffer();
    if (rx[0] != p::kReadClock || rx[1] != 8) return false;
    CivilTime t{p::kYearBase + rx[8], rx[7], rx[6], rx[4], rx[3], rx[2], 0};
    // A receiver whose clock lost its date (flat battery) still answers; the caller gets a
    // usable time and the validity byte tells it what happened.
    ClockFieldsValid = isValidCivilTime(t);
    time = ClockFieldsValid ? t : clock_.localNow();
    clockValid = rx[9] != 0;
    return true;
  });
}

bool TTERN::SetClock(const CivilTime& utc, bool autoOpen) {
  if (!isValidCivilTime(utc) || utc.year < p::kYearBase || utc.year > p::kYearBase + 255)
    return false;
  const std::uint8_t payload[8] = {static_cast<std::uint8_t>(utc.second),
                                   static_cast<std::uint8_t>(utc.minute),
                                   static_cast<std::uint8_t>(utc.hour),
                                   receiverWeekday(utc),
                                   static_cast<std::uint8_t>(utc.day),
                                   static_cast<std::uint8_t>(utc.month),
                                   static_cast<std::uint8_t>(utc.year - p::kYearBase),
                                   1};
  return withLink(autoOpen, [&] { return sendFrame(p::kSetClock, payload); });
}

bool TTERN::SelectChannel(std::uint8_t channel, bool autoOpen) {
  return withLink(autoOpen, [&] {
    const std::uint8_t payload[1] = {channel};
    if (!sendFrame(p::kSelectChannel, payload)) return false;
    // The receiver needs a moment to position its log; wait for the acknowledgement but
    // read it whatever the queue showed.
    for (int i = 0; i < 10; ++i) {
      if (link_.QueuedBytes() == 2) break;
      clock_.sleepFor(std::chrono::milliseconds(50));
    }
    return expectHead(p::kSelectChannel, 0);
  });
}

bool TTERN::NextRecord(bool autoOpen) { return FetchRecord(autoOpen) == RecordResult::Record; }

TTERN::RecordResult TTERN::FetchRecord(bool autoOpen, std::stop_token stop) {
  recordDataLength_ = 0;
  RecordResult result = RecordResult::Failed;
  const bool closed = withLink(autoOpen, [&] {
    if (!sendFrame(p::kNextRecord, {}) || !receiveExactly(3)) return false;
    ByteView rx = link_.RxBuffer();
    if (rx[0] != p::kNextRecord || rx[1] != 1) return false;
    // [9, 1, 0] closes the channel's log.
    if (rx[2] == 0) {
      result = RecordResult::End;
      return false;
    }
    if (!receiveExactly(p::kRecordHeaderSize)) return false;
    std::copy_n(rx.begin(), p::kRecordHeaderSize, RecordHeader.begin());
    ReadTimeoutOverride slow(link_, p::kRecordDataTimeoutMs);
    std::uint32_t length = getU32(RecordHeader, 1);
    if (length > p::kRxBufferSize) {
      drainRecordData(length);
      result =
          link_.lastStatus() == LinkStatus::IoError ? RecordResult::Failed : RecordResult::Damaged;
      return false;
    }
    const LinkStatus data = stop.stop_possible() ? receiveRecordData(length, stop)
                            : length > 0 && !receiveExactly(length) ? link_.lastStatus()
                                                                    : LinkStatus::Ok;
    if (data != LinkStatus::Ok) {
      // A receiver that sends less than it announced times out; a cable pulled mid-record
      // is an I/O error and ends the read-out like any lost link, and so does a stop.
      if (data == LinkStatus::Timeout && !stop.stop_requested()) result = RecordResult::Damaged;
      return false;
    }
    // A header that announced fewer bytes than the record has leaves the rest waiting; read
    // as the next reply it would put the link out of step for the rest of the channel.
    if (link_.QueuedBytes() > 0) {
      drainUntilQuiet();
      result = RecordResult::Damaged;
      return false;
    }
    slow.restore();
    recordDataLength_ = length;
    result = RecordResult::Record;
    return true;
  });
  // A record whose closing failed counts as failed, like every command with autoOpen.
  if (result == RecordResult::Record && !closed) result = RecordResult::Failed;
  return result;
}

std::int64_t TTERN::msNow() const {
  const CivilTime now = clock_.utcNow();
  return secondsSinceEpoch(now) * 1000 + now.millisecond;
}

LinkStatus TTERN::receiveRecordData(std::uint32_t length, std::stop_token stop) {
  const std::int64_t start = msNow();
  auto elapsedMs = [&] { return msNow() - start; };
  link_.SetReadTimeout(p::kRecordDataSliceMs);
  std::uint32_t got = 0;
  int emptySlices = 0;
  while (got < length) {
    Counted c = link_.receiveAt(got, length - got);
    got += c.count;
    if (got == length) return LinkStatus::Ok;
    if (c.status != LinkStatus::Ok && c.status != LinkStatus::Timeout) return c.status;
    if (stop.stop_requested()) return LinkStatus::Timeout;
    emptySlices = c.count == 0 ? emptySlices + 1 : 0;
    // The record's whole timeout, measured on the clock; a port that returns at once
    // without time passing is bounded by the number of empty pieces instead.
    if (elapsedMs() >= p::kRecordDataTimeoutMs ||
        emptySlices >= static_cast<int>(p::kRecordDataTimeoutMs / p::kRecordDataSliceMs))
      return LinkStatus::Timeout;
  }
  return LinkStatus::Ok;
}

void TTERN::drainRecordData(std::uint32_t count) {
  while (count > 0) {
    std::uint32_t piece = std::min(count, p::kRxBufferSize);
    if (!receiveExactly(piece)) return;
    count -= piece;
  }
}

void TTERN::drainUntilQuiet() {
  ReadTimeoutOverride quiet(link_, p::kResyncQuietMs);
  const std::int64_t start = msNow();
  // A line that never falls quiet is given up after the record timeout: the next request
  // then meets whatever comes, as after any lost step.
  while (msNow() - start < p::kRecordDataTimeoutMs) {
    const std::uint32_t waiting = std::min(link_.QueuedBytes(), p::kRxBufferSize);
    const Counted c = link_.receive(std::max<std::uint32_t>(waiting, 1));
    if (c.count == 0 || (c.status != LinkStatus::Ok && c.status != LinkStatus::Timeout)) return;
  }
}

bool TTERN::readIdentityText(std::uint8_t code, std::string& text, bool autoOpen) {
  return withLink(autoOpen, [&] {
    if (!sendFrame(code, {})) return false;
    if (!receiveExactly(p::kFrameHead + p::kIdentityTextLength)) return false;
    ByteView rx = link_.RxBuffer();
    if (rx[0] != code || rx[1] != p::kIdentityTextLength) return false;
    ByteView body = rx.subspan(p::kFrameHead, p::kIdentityTextLength);
    auto end = std::find(body.begin(), body.end(), 0);
    text.assign(body.begin(), end);
    return true;
  });
}

bool TTERN::ReadSerialNumber(std::string& text, bool autoOpen) {
  return readIdentityText(p::kReadSerialNumber, text, autoOpen);
}

bool TTERN::ReadFirmwareVersion(std::string& text, bool autoOpen) {
  return readIdentityText(p::kReadFirmwareVersion, text, autoOpen);
}

bool TTERN::ReadStatus(std::uint16_t& word, bool autoOpen) {
  return withLink(autoOpen, [&] {
    if (!sendFrame(p::kReadStatus, {}) || !receiveExactly(4)) return false;
    ByteView rx = link_.RxBuffer();
    if (rx[0] != p::kReadStatus || rx[1] != 2) return false;
    word = getU16(rx, 2);
    return true;
  });
}

bool TTERN::ReadBaroNow(bool autoOpen) {
  return withLink(autoOpen, [&] {
    if (!sendFrame(p::kReadBaroNow, {}) || !expectHead(p::kReadBaroNow, 0)) return false;
    if (!receiveExactly(p::kBaroNowDataLength)) return false;
    ByteView rx = link_.RxBuffer();
    Pressure = static_cast<std::int16_t>(getU16(rx, 0));
    Temperature = static_cast<std::int16_t>(getU16(rx, 2));
    if (rx[4] != 0) BaroChanged = 1;
    return true;
  });
}

}  // namespace tern
