// NAVTEX messages as NMEA 0183 NRX sentences, the form in which NAVTEX receivers hand their
// messages to chart plotters and navigation servers (OpenCPN, Signal K servers).
//
// A message becomes one sentence per line; a line too long for one sentence goes on in the
// next ones. Every line but the last ends in the escaped line break "^0D^0A", so a listener
// that joins the texts of all sentences of a message and resolves the escapes has the
// message back as the receiver stored it (CR LF line breaks), and can tell a continued line
// from a new one. The
// fields after the sentence counts (frequency, date, time, error rate) are given in the first
// sentence only; the error rate stays empty because the receiver does not report one.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "messages/message_record.h"

namespace tern {

inline constexpr std::size_t kNmeaMaxSentence = 82;  // "$" to CR LF, both included

// XOR of the bytes, as two upper-case hex digits: the checksum of the text between "$" and
// "*".
std::string nmeaChecksum(std::string_view body);

// The text with every reserved character (CR LF $ * , ! \ ^ ~) and every byte outside
// printable ASCII written as "^" and two upper-case hex digits.
std::string nmeaEscape(std::string_view text);

// The sentences of one NAVTEX message received on `frequencyKhz` (490 or 518), each ending
// in CR LF and at most kNmeaMaxSentence characters long.
std::vector<std::string> nrxSentences(const MessageRecord& record, int frequencyKhz);

}  // namespace tern
