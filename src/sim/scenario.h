// What the simulated receiver holds and how it misbehaves. Tests and the demo describe a
// receiver with one of these instead of scripting bytes, so every layer above the port
// runs against the real protocol.
#pragma once

#include <array>
#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/bytes.h"
#include "common/clock.h"
#include "link/protocol.h"

namespace tern::sim {

// One stored message as the receiver logs it.
struct SimRecord {
  std::uint8_t code = 0;              // transmitter code (0..24)
  std::string key;                    // key text, at most 12 bytes (Latin-1)
  CivilTime received;                 // reception time, UTC
  std::array<std::uint8_t, 3> own{};  // the receiver's own header bytes 23..25
  Bytes data;                         // message data
  // Draws `data` when the record is first read out (the demo's start-up charts), so that
  // making a scenario costs nothing on the thread that makes it.
  std::function<Bytes()> draw;
  // The length the header announces, when it differs from the data sent (a damaged record).
  std::optional<std::uint32_t> announcedLength;
};

// The 26-byte record header of a record: code, data length, key, time, own bytes. A record
// still to be drawn has its data drawn first (drawRecordData).
Bytes recordHeader(const SimRecord& record);
void drawRecordData(SimRecord& record);

// Misbehaviour on demand. A command filter of kAnyCommand applies to every command.
inline constexpr std::uint8_t kAnyCommand = 0;

struct SimFaults {
  bool silent = false;      // attached, but answers nothing at all
  int unansweredPings = 0;  // this many pings go unanswered first (1: answers the second)
  std::optional<std::uint8_t> shortReplyTo;  // replies to this command lose bytes at the end
  std::size_t shortReplyBy = 1;
  std::optional<std::uint8_t> wrongEchoTo;      // replies to this command carry a wrong code
  std::optional<std::uint64_t> pullCableAfter;  // unplugged once this many bytes reached the PC
  std::optional<std::uint8_t> slowReplyTo;      // replies to this command arrive late
  std::chrono::milliseconds replyDelay{0};
  // Counted in request frames received since the faults were set: the receiver is unplugged
  // when this request arrives (it is not answered) ...
  std::optional<std::uint64_t> hangUpAtRequest;
  // ... or stays attached but answers nothing from this request on ...
  std::optional<std::uint64_t> silentFromRequest;
  // ... or from the first request with this command code on.
  std::optional<std::uint8_t> silentFromCommand;
  // Writes to this page store their first byte inverted, as a worn flash cell would (the
  // write itself is acknowledged): only reading the page back shows it.
  std::optional<std::uint32_t> corruptPage;
  // Requests with this command code are lost on the way: never carried out, never answered.
  std::optional<std::uint8_t> lostRequest;
  // The reply to this record request (counted in record requests since the faults were set,
  // from 0) stops after `cutRecordAfter` bytes; the rest never comes ...
  std::optional<std::uint64_t> cutRecordReply;
  std::size_t cutRecordAfter = 0;
  // ... after which the receiver has lost its place: it answers "no more records" until a
  // channel is selected again.
  bool losePlaceAfterCut = false;
};

struct Scenario {
  std::string description{protocol::kReceiverDescription};  // USB product description
  std::string serialNumber = "TRN0001042";
  std::string firmwareVersion = "1.2.4";
  std::string firmwareAfterProgramming = "1.2.4";
  // After StartProgramming the receiver reprograms itself and answers nothing for this long.
  std::chrono::milliseconds reprogrammingTime{0};

  // The receiver clock runs at PC UTC plus this offset while valid.
  std::int64_t clockOffsetSeconds = 0;
  bool clockValid = true;
  // Exact payload of the clock reply (second .. valid byte), for broken clocks.
  std::optional<std::array<std::uint8_t, 8>> clockReply;

  std::uint16_t statusWord = 0;

  std::int16_t pressure = 1325;    // Pa above 100000 (1013.25 hPa)
  std::int16_t temperature = 185;  // tenths of a degree Celsius
  bool newBaroSample = false;
  std::vector<std::int16_t> baroPressures;  // ring samples, oldest first
  std::optional<std::uint16_t> baroHead;    // ring position of the next sample

  // One log per channel (0 NAVTEX, 1 DWD, 2 fax), oldest first; delivered newest first.
  std::array<std::vector<SimRecord>, 3> logs;

  // Text streamed by a reception test, one byte per interval, then 255. Every
  // kTunedCallSign in it becomes the call sign of the transmitter the test was started on.
  Bytes receiveTestText;
  static constexpr std::string_view kTunedCallSign = "{CALL}";
  std::chrono::milliseconds receiveTestByteInterval{150};
  // How long the receiver takes to acknowledge the end of a reception test.
  std::chrono::milliseconds stopAnswerDelay{250};

  SimFaults faults;
};

}  // namespace tern::sim
