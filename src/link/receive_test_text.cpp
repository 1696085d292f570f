#include "link/receive_test_text.h"

#include <algorithm>
#include <cstdio>
#include <utility>

#include "common/latin1.h"
#include "link/firmware_version.h"
#include "link/protocol.h"

namespace tern {

namespace p = protocol;

bool FirmwareTooOldForReceiveTest(std::string_view firmwareText) {
  constexpr std::int64_t kWithoutReceiveTest = 10000;  // 1.0.0
  return FirmwareVersionNumber(firmwareText).value_or(0) == kWithoutReceiveTest;
}

const ReceiveTestTransmitter* FindReceiveTestTransmitter(std::string_view callSign) {
  for (const ReceiveTestTransmitter& t : kReceiveTestTransmitters)
    if (t.callSign == callSign) return &t;
  return nullptr;
}

void ReceiveTestText::Start(std::string_view callSign) {
  Clear();
  lines_.push_back("Start Empfangstest " + std::string(callSign));
  lines_.emplace_back();
}

void ReceiveTestText::Clear() {
  lines_.clear();
  open_.clear();
}

void ReceiveTestText::AddLine(std::string_view line) {
  if (!open_.empty()) lines_.push_back(std::exchange(open_, {}));
  lines_.emplace_back(line);
}

ReceiveTestText::Effect ReceiveTestText::Feed(std::uint8_t byte) {
  switch (byte) {
    case p::kStreamEnd:
      return Effect::Ended;
    case p::kStreamCarriageReturn:
      return Effect::Ignored;
    case p::kStreamLineFeed:
      lines_.push_back(std::exchange(open_, {}));
      return Effect::NewLine;
    default:
      break;
  }
  const char c = static_cast<char>(byte);
  open_ += latin1ToUtf8(std::string_view(&c, 1));
  return Effect::Character;
}

std::vector<std::string> ReceiveTestText::Lines() const {
  std::vector<std::string> all = lines_;
  if (!open_.empty()) all.push_back(open_);
  return all;
}

std::string ReceiveTestText::Joined() const {
  std::string out;
  for (const std::string& line : lines_) out += line + '\n';
  return out + open_;
}

std::string ReceiveTestTimeLeft(std::int64_t elapsedMs) {
  // Rounded up: the last second shows 0:01 until it is over.
  const std::int64_t leftMs = std::max<std::int64_t>(0, kReceiveTestSeconds * 1000 - elapsedMs);
  const std::int64_t left = (leftMs + 999) / 1000;
  char text[32];
  std::snprintf(text, sizeof text, "Noch %lld:%02lld Min.", static_cast<long long>(left / 60),
                static_cast<long long>(left % 60));
  return text;
}

}  // namespace tern
