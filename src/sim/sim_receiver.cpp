#include "sim/sim_receiver.h"

#include <algorithm>
#include <cstring>

#include "link/transmitter_names.h"
#include "sim/test_firmware.h"

namespace tern::sim {

namespace p = protocol;

namespace {

constexpr std::size_t kRequestLogLimit = 4096;

// The test text as heard on transmitter `code`: its call sign ("DDK9") for every placeholder.
Bytes streamedText(const Bytes& text, std::uint8_t code) {
  const std::string name = TransmitterName(code);
  const std::string call = name.substr(0, name.find(' '));
  const std::string_view mark = Scenario::kTunedCallSign;
  Bytes out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size();) {
    if (std::equal(
            mark.begin(), mark.end(), text.begin() + static_cast<std::ptrdiff_t>(i),
            text.begin() + static_cast<std::ptrdiff_t>(std::min(text.size(), i + mark.size())))) {
      out.insert(out.end(), call.begin(), call.end());
      i += mark.size();
    } else {
      out.push_back(text[i++]);
    }
  }
  return out;
}

bool matches(const std::optional<std::uint8_t>& filter, std::uint8_t code) {
  return filter && (*filter == kAnyCommand || *filter == code);
}

// Payload length each request must carry; other lengths are ignored like line noise.
std::optional<std::uint8_t> expectedPayload(std::uint8_t code) {
  switch (code) {
    case p::kPing:
    case p::kReadClock:
    case p::kNextRecord:
    case p::kReadSerialNumber:
    case p::kReadFirmwareVersion:
    case p::kReadStatus:
    case p::kReadBaroPage:
    case p::kReadBaroNow:
    case p::kStopReceiveTest:
      return 0;
    case p::kSelectChannel:
    case p::kStartReceiveTest:
      return 1;
    case p::kWritePage:
    case p::kReadPage:
      return 4;
    case p::kStartProgramming:
      return 6;
    case p::kSetClock:
      return 8;
    default:
      return std::nullopt;
  }
}

Bytes identityReply(std::uint8_t code, const std::string& text) {
  Bytes r{code, static_cast<std::uint8_t>(p::kIdentityTextLength)};
  for (std::size_t i = 0; i < p::kIdentityTextLength; ++i)
    r.push_back(i < text.size() ? static_cast<std::uint8_t>(text[i]) : 0);
  return r;
}

}  // namespace

void drawRecordData(SimRecord& record) {
  if (!record.draw) return;
  record.data = record.draw();
  record.draw = nullptr;
}

Bytes recordHeader(const SimRecord& record) {
  Bytes h;
  ByteWriter w(h);
  w.u8(record.code);
  w.u32(record.announcedLength.value_or(static_cast<std::uint32_t>(record.data.size())));
  for (std::size_t i = 0; i < p::kRecordKeyLength; ++i)
    w.u8(i < record.key.size() ? static_cast<std::uint8_t>(record.key[i]) : 0);
  const CivilTime& t = record.received;
  for (int v : {t.hour, t.minute, t.second, t.day, t.month, t.year - p::kYearBase})
    w.u8(static_cast<std::uint8_t>(v));
  w.bytes(record.own);
  return h;
}

std::int64_t SimReceiver::msOf(const CivilTime& t) {
  return secondsSinceEpoch(t) * 1000 + t.millisecond;
}

SimReceiver::SimReceiver(Scenario scenario, Clock& clock)
    : s_(std::move(scenario)),
      clock_(clock),
      memory_(p::kPageCount * p::kPageSize, 0xFF),
      written_(p::kPageCount, false) {
  loadBaroRing();
  for (std::size_t ch = 0; ch < cursor_.size(); ++ch) cursor_[ch] = s_.logs[ch].size();
}

void SimReceiver::Reset(Scenario scenario) {
  std::lock_guard lock(mutex_);
  s_ = std::move(scenario);
  plugged_ = true;
  // Only the pages written since are erased again: the fuzz target resets the receiver for
  // every input, and erasing all 4.3 MB took most of its time.
  for (std::uint32_t page : writtenPages_) {
    std::memset(memory_.data() + std::size_t{page} * p::kPageSize, 0xFF, p::kPageSize);
    written_[page] = false;
  }
  writtenPages_.clear();
  baroHead_ = 0;
  baroCount_ = 0;
  selected_.reset();
  testRunning_ = false;
  programmingStarts_ = 0;
  reprogrammedAtMs_ = 0;
  input_.clear();
  awaitingPage_.reset();
  outbox_.clear();
  sentToHost_ = 0;
  requests_.clear();
  requestsSinceFaults_ = 0;
  recordRequestsSinceFaults_ = 0;
  placeLost_ = false;
  loadBaroRing();
  for (std::size_t ch = 0; ch < cursor_.size(); ++ch) cursor_[ch] = s_.logs[ch].size();
}

// --- USB side ----------------------------------------------------------------------------

bool SimReceiver::attached() const {
  std::lock_guard lock(mutex_);
  return plugged_;
}

std::string SimReceiver::description() const {
  std::lock_guard lock(mutex_);
  return s_.description;
}

void SimReceiver::fromHost(ByteView bytes) {
  std::lock_guard lock(mutex_);
  if (!plugged_) return;
  input_.insert(input_.end(), bytes.begin(), bytes.end());
  parseInput();
}

std::size_t SimReceiver::readyCountLocked() const {
  std::int64_t now = nowMs();
  std::size_t n = 0;
  for (const Chunk& c : outbox_) {
    if (c.readyAt > now) break;
    n += c.bytes.size() - c.offset;
  }
  if (s_.faults.pullCableAfter) {
    std::uint64_t left =
        *s_.faults.pullCableAfter > sentToHost_ ? *s_.faults.pullCableAfter - sentToHost_ : 0;
    n = static_cast<std::size_t>(std::min<std::uint64_t>(n, left));
  }
  return n;
}

std::size_t SimReceiver::readyCount() const {
  std::lock_guard lock(mutex_);
  return plugged_ ? readyCountLocked() : 0;
}

std::optional<std::int64_t> SimReceiver::readyAtMs(std::size_t count) const {
  std::lock_guard lock(mutex_);
  if (!plugged_) return std::nullopt;
  if (s_.faults.pullCableAfter && sentToHost_ + count > *s_.faults.pullCableAfter)
    return std::nullopt;
  std::size_t n = 0;
  for (const Chunk& c : outbox_) {
    n += c.bytes.size() - c.offset;
    if (n >= count) return c.readyAt;
  }
  return count == 0 ? std::optional<std::int64_t>(nowMs()) : std::nullopt;
}

std::size_t SimReceiver::toHost(std::span<std::uint8_t> out) {
  std::lock_guard lock(mutex_);
  if (!plugged_) return 0;
  std::size_t want = std::min(out.size(), readyCountLocked());
  std::size_t done = 0;
  while (done < want) {
    Chunk& c = outbox_.front();
    std::size_t take = std::min(want - done, c.bytes.size() - c.offset);
    std::copy_n(c.bytes.begin() + static_cast<std::ptrdiff_t>(c.offset), take,
                out.begin() + static_cast<std::ptrdiff_t>(done));
    c.offset += take;
    done += take;
    if (c.offset == c.bytes.size()) outbox_.pop_front();
  }
  sentToHost_ += done;
  if (s_.faults.pullCableAfter && sentToHost_ >= *s_.faults.pullCableAfter) {
    plugged_ = false;
    outbox_.clear();
  }
  return done;
}

void SimReceiver::discardReady() {
  std::lock_guard lock(mutex_);
  std::int64_t now = nowMs();
  while (!outbox_.empty() && outbox_.front().readyAt <= now) outbox_.pop_front();
}

// --- Requests ----------------------------------------------------------------------------

void SimReceiver::parseInput() {
  std::size_t pos = 0;
  for (;;) {
    std::size_t left = input_.size() - pos;
    if (awaitingPage_) {
      auto [page, length] = *awaitingPage_;
      if (left < length) break;
      markWritten(page);
      std::copy_n(input_.begin() + static_cast<std::ptrdiff_t>(pos), length,
                  memory_.begin() + static_cast<std::ptrdiff_t>(page * p::kPageSize));
      if (length > 0 && s_.faults.corruptPage == page) memory_[page * p::kPageSize] ^= 0xFF;
      pos += length;
      awaitingPage_.reset();
      reply(p::kWritePage, {p::kWritePage, 0});
      continue;
    }
    if (left < p::kFrameHead) break;
    std::size_t n = input_[pos + 1];
    if (left < p::kFrameHead + n) break;
    ByteView frame(input_.data() + pos, p::kFrameHead + n);
    pos += frame.size();
    if (requests_.size() >= kRequestLogLimit)
      requests_.erase(requests_.begin(), requests_.begin() + kRequestLogLimit / 2);
    requests_.emplace_back(frame.begin(), frame.end());
    const std::uint64_t index = requestsSinceFaults_++;
    if (s_.faults.hangUpAtRequest && index >= *s_.faults.hangUpAtRequest) {
      plugged_ = false;
      outbox_.clear();
      input_.clear();
      return;
    }
    if (s_.faults.silentFromCommand && *s_.faults.silentFromCommand == frame[0])
      s_.faults.silentFromRequest = index;
    if (s_.faults.silentFromRequest && index >= *s_.faults.silentFromRequest) continue;
    if (s_.faults.lostRequest == frame[0] || nowMs() < reprogrammedAtMs_) continue;
    auto expected = expectedPayload(frame[0]);
    if (expected && *expected == n) handle(frame[0], frame.subspan(p::kFrameHead));
  }
  input_.erase(input_.begin(), input_.begin() + static_cast<std::ptrdiff_t>(pos));
}

void SimReceiver::queueAt(std::int64_t at, Bytes bytes) {
  if (bytes.empty()) return;
  // A serial line keeps its order: nothing overtakes what was queued before it.
  if (!outbox_.empty()) at = std::max(at, outbox_.back().readyAt);
  outbox_.push_back(Chunk{at, std::move(bytes)});
}

void SimReceiver::reply(std::uint8_t code, Bytes bytes) {
  const SimFaults& f = s_.faults;
  if (f.silent) return;
  if (matches(f.wrongEchoTo, code)) bytes[0] ^= 0x40;
  if (matches(f.shortReplyTo, code))
    bytes.resize(bytes.size() - std::min(f.shortReplyBy, bytes.size()));
  std::int64_t at = nowMs();
  if (code == p::kStopReceiveTest) at += s_.stopAnswerDelay.count();
  if (matches(f.slowReplyTo, code)) at += f.replyDelay.count();
  queueAt(at, std::move(bytes));
}

void SimReceiver::handle(std::uint8_t code, ByteView payload) {
  switch (code) {
    case p::kPing:
      if (s_.faults.unansweredPings > 0) {
        --s_.faults.unansweredPings;
        return;
      }
      reply(code, {code, 0});
      return;
    case p::kReadClock:
      reply(code, clockReply());
      return;
    case p::kSetClock: {
      CivilTime t{
          p::kYearBase + payload[6], payload[5], payload[4], payload[2], payload[1], payload[0], 0};
      if (!isValidCivilTime(t)) return;
      s_.clockOffsetSeconds = secondsSinceEpoch(t) - secondsSinceEpoch(clock_.utcNow());
      s_.clockValid = true;
      s_.clockReply.reset();
      return;  // the receiver does not answer
    }
    case p::kSelectChannel: {
      std::uint8_t ch = payload[0];
      if (ch >= s_.logs.size()) return;
      selected_ = ch;
      cursor_[ch] = s_.logs[ch].size();
      placeLost_ = false;
      static constexpr std::uint16_t kBit[3] = {p::kStatusNewNavtex, p::kStatusNewDwd,
                                                p::kStatusNewFax};
      s_.statusWord = static_cast<std::uint16_t>(s_.statusWord & ~kBit[ch]);
      reply(code, {code, 0});
      return;
    }
    case p::kNextRecord: {
      const std::uint64_t index = recordRequestsSinceFaults_++;
      if (!selected_ || cursor_[*selected_] == 0 || placeLost_) {
        reply(code, {code, 1, 0});
        return;
      }
      SimRecord& r = s_.logs[*selected_][--cursor_[*selected_]];
      drawRecordData(r);
      Bytes out{code, 1, 1};
      Bytes head = recordHeader(r);
      out.insert(out.end(), head.begin(), head.end());
      out.insert(out.end(), r.data.begin(), r.data.end());
      if (s_.faults.cutRecordReply == index) {
        out.resize(std::min(out.size(), s_.faults.cutRecordAfter));
        placeLost_ = s_.faults.losePlaceAfterCut;
      }
      reply(code, std::move(out));
      return;
    }
    case p::kWritePage: {
      std::uint32_t page = getU16(payload, 0), length = getU16(payload, 2);
      if (page < p::kPageCount && length <= p::kPageSize) awaitingPage_ = {{page, length}};
      return;
    }
    case p::kReadPage: {
      std::uint32_t page = getU16(payload, 0), length = getU16(payload, 2);
      if (page >= p::kPageCount || length > p::kPageSize) return;
      Bytes out{code, 0};
      auto from = memory_.begin() + static_cast<std::ptrdiff_t>(page * p::kPageSize);
      out.insert(out.end(), from, from + length);
      reply(code, std::move(out));
      return;
    }
    case p::kStartProgramming:
      if (!std::equal(payload.begin(), payload.end(), kTestUnlockSequence.begin())) return;
      ++programmingStarts_;
      reprogrammedAtMs_ = nowMs() + s_.reprogrammingTime.count();
      // Reprogramming formats the message memory.
      for (auto& log : s_.logs) log.clear();
      cursor_ = {};
      selected_.reset();
      s_.statusWord = 0;
      s_.firmwareVersion = s_.firmwareAfterProgramming;
      reply(code, {code, 0});
      return;
    case p::kReadSerialNumber:
      reply(code, identityReply(code, s_.serialNumber));
      return;
    case p::kReadFirmwareVersion:
      reply(code, identityReply(code, s_.firmwareVersion));
      return;
    case p::kReadStatus:
      reply(code, {code, 2, static_cast<std::uint8_t>(s_.statusWord),
                   static_cast<std::uint8_t>(s_.statusWord >> 8)});
      return;
    case p::kReadBaroPage: {
      Bytes out{code, 0};
      Bytes block = baroBlock();
      out.insert(out.end(), block.begin(), block.end());
      reply(code, std::move(out));
      return;
    }
    case p::kReadBaroNow: {
      Bytes out{code, 0, 0, 0, 0, 0, static_cast<std::uint8_t>(s_.newBaroSample ? 1 : 0)};
      putU16(out.data() + 2, static_cast<std::uint16_t>(s_.pressure));
      putU16(out.data() + 4, static_cast<std::uint16_t>(s_.temperature));
      s_.newBaroSample = false;
      reply(code, std::move(out));
      return;
    }
    case p::kStartReceiveTest: {
      if (payload[0] >= p::kTransmitterCount) return;
      reply(code, {code, 0});
      testRunning_ = true;
      std::int64_t at = nowMs();
      for (std::uint8_t b : streamedText(s_.receiveTestText, payload[0])) {
        at += s_.receiveTestByteInterval.count();
        queueAt(at, {b});
      }
      queueAt(at + s_.receiveTestByteInterval.count(), {p::kStreamEnd});
      return;
    }
    case p::kStopReceiveTest: {
      // Whatever the stream had not sent yet is never sent.
      std::int64_t now = nowMs();
      while (!outbox_.empty() && outbox_.back().readyAt > now) outbox_.pop_back();
      testRunning_ = false;
      reply(code, {code, 0});
      return;
    }
    default:
      return;
  }
}

Bytes SimReceiver::clockReply() const {
  Bytes r{p::kReadClock, 8};
  if (s_.clockReply) {
    r.insert(r.end(), s_.clockReply->begin(), s_.clockReply->end());
    return r;
  }
  if (!s_.clockValid) {
    r.resize(r.size() + 8, 0);  // a clock without power has no date at all
    return r;
  }
  CivilTime t = civilFromSeconds(secondsSinceEpoch(clock_.utcNow()) + s_.clockOffsetSeconds);
  using namespace std::chrono;
  year_month_day ymd{year{t.year}, month{static_cast<unsigned>(t.month)},
                     day{static_cast<unsigned>(t.day)}};
  auto wd = static_cast<int>(weekday{sys_days{ymd}}.c_encoding()) + 1;
  for (int v : {t.second, t.minute, t.hour, wd, t.day, t.month, t.year - p::kYearBase, 1})
    r.push_back(static_cast<std::uint8_t>(v));
  return r;
}

// --- Barometer ---------------------------------------------------------------------------

void SimReceiver::writeBaroSample(std::uint32_t position, std::int16_t pressure) {
  std::uint32_t page = p::kBaroFirstPage + position / p::kBaroSamplesPerPage;
  std::uint32_t at = page * p::kPageSize + p::kBaroPageHead +
                     (position % p::kBaroSamplesPerPage) * p::kBaroSampleSize;
  markWritten(page);
  std::fill_n(memory_.begin() + at, p::kBaroSampleSize, 0);
  putU16(memory_.data() + at, static_cast<std::uint16_t>(pressure));
}

void SimReceiver::markWritten(std::uint32_t page) {
  if (written_[page]) return;
  written_[page] = true;
  writtenPages_.push_back(page);
}

void SimReceiver::loadBaroRing() {
  const auto& all = s_.baroPressures;
  std::size_t n = std::min<std::size_t>(all.size(), p::kBaroRingSamples);
  baroCount_ = static_cast<std::uint32_t>(n);
  baroHead_ = s_.baroHead.value_or(static_cast<std::uint16_t>(n % p::kBaroRingSamples)) %
              p::kBaroRingSamples;
  std::uint32_t start = (baroHead_ + 2 * p::kBaroRingSamples - baroCount_) % p::kBaroRingSamples;
  for (std::size_t i = 0; i < n; ++i)
    writeBaroSample(static_cast<std::uint32_t>((start + i) % p::kBaroRingSamples),
                    all[all.size() - n + i]);
}

Bytes SimReceiver::baroBlock() const {
  Bytes b(p::kBaroPageLength, 0);
  putU16(b.data() + 4, static_cast<std::uint16_t>(baroHead_));
  putU16(b.data() + 6, static_cast<std::uint16_t>(baroCount_));
  // The page being filled: the one holding the newest sample.
  std::uint32_t newest =
      baroCount_ == 0 ? baroHead_ : (baroHead_ + p::kBaroRingSamples - 1) % p::kBaroRingSamples;
  std::uint32_t page = p::kBaroFirstPage + newest / p::kBaroSamplesPerPage;
  auto from = memory_.begin() + page * p::kPageSize + p::kBaroPageHead;
  std::copy_n(from, p::kBaroSamplesPerPage * p::kBaroSampleSize, b.begin() + p::kBaroPageHead);
  return b;
}

// --- Scenario changes and inspection -----------------------------------------------------

void SimReceiver::addRecord(std::uint8_t channel, SimRecord record) {
  std::lock_guard lock(mutex_);
  if (channel >= s_.logs.size()) return;
  s_.logs[channel].push_back(std::move(record));
  static constexpr std::uint16_t kBit[3] = {p::kStatusNewNavtex, p::kStatusNewDwd,
                                            p::kStatusNewFax};
  s_.statusWord |= kBit[channel];
}

void SimReceiver::addBaroSample(std::int16_t pressure) {
  std::lock_guard lock(mutex_);
  writeBaroSample(baroHead_, pressure);
  baroHead_ = (baroHead_ + 1) % p::kBaroRingSamples;
  baroCount_ = std::min(baroCount_ + 1, p::kBaroRingSamples);
  s_.pressure = pressure;
  s_.newBaroSample = true;
}

void SimReceiver::setStatusWord(std::uint16_t word) {
  std::lock_guard lock(mutex_);
  s_.statusWord = word;
}

void SimReceiver::setClockValid(bool valid) {
  std::lock_guard lock(mutex_);
  s_.clockValid = valid;
  s_.clockReply.reset();
}

void SimReceiver::setFaults(const SimFaults& faults) {
  std::lock_guard lock(mutex_);
  s_.faults = faults;
  requestsSinceFaults_ = 0;
  recordRequestsSinceFaults_ = 0;
  placeLost_ = false;
}

void SimReceiver::setPlugged(bool plugged) {
  std::lock_guard lock(mutex_);
  if (plugged && !plugged_) {
    outbox_.clear();
    input_.clear();
    awaitingPage_.reset();
    s_.faults.pullCableAfter.reset();
    s_.faults.hangUpAtRequest.reset();
  }
  plugged_ = plugged;
}

Bytes SimReceiver::page(std::uint32_t index) const {
  std::lock_guard lock(mutex_);
  if (index >= p::kPageCount) return {};
  auto from = memory_.begin() + static_cast<std::ptrdiff_t>(index * p::kPageSize);
  return Bytes(from, from + p::kPageSize);
}

CivilTime SimReceiver::receiverTime() const {
  std::lock_guard lock(mutex_);
  return civilFromSeconds(secondsSinceEpoch(clock_.utcNow()) + s_.clockOffsetSeconds);
}

bool SimReceiver::clockValid() const {
  std::lock_guard lock(mutex_);
  return s_.clockValid;
}

std::uint16_t SimReceiver::statusWord() const {
  std::lock_guard lock(mutex_);
  return s_.statusWord;
}

int SimReceiver::programmingStarts() const {
  std::lock_guard lock(mutex_);
  return programmingStarts_;
}

std::vector<Bytes> SimReceiver::requests() const {
  std::lock_guard lock(mutex_);
  return requests_;
}

std::uint64_t SimReceiver::bytesSentToHost() const {
  std::lock_guard lock(mutex_);
  return sentToHost_;
}

bool SimReceiver::receiveTestRunning() const {
  std::lock_guard lock(mutex_);
  return testRunning_;
}

}  // namespace tern::sim
