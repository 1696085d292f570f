// NAVTEX messages as NMEA 0183 NRX sentences, the form in which NAVTEX receivers hand their
// messages to chart plotters and navigation servers:
//
//   $CRNRX,<sentences>,<sentence number>,<message id>,<B1B2B3B4>,<frequency index>,
//          <hhmmss.ss>,<dd>,<mm>,<yyyy>,<total characters>,<bad characters>,<A|V>,<text>*hh
//
// Thirteen fields in every sentence; the fields from B1B2B3B4 to the status are given in the
// first sentence of a message only and stay empty in the rest. The text runs on from one
// sentence to the next; CR, LF, the reserved characters and everything outside printable
// ASCII are written "^hh", so joining the text fields of a message and resolving the escapes
// gives back the message bytes exactly as the receiver stored them. No escape is split
// between two sentences.
#pragma once

#include <string>
#include <vector>

#include "messages/message_record.h"

namespace tern {

inline constexpr int kNrxMaxSentences = 999;
inline constexpr int kNrxMessageIds = 100;  // the sequential id runs 00..99

// The frequency field of the frequency's row in messages/channels.h: 1 for 490 kHz, 2 for
// 518 kHz and for a frequency it does not know.
int nrxFrequencyIndex(int frequencyKhz);

// Characters the receiver could not decode. NAVTEX receivers print "*" for them, and the
// NAVTEX alphabet has no "*" of its own, so every "*" of a message is one.
std::size_t navtexBadCharacters(const MessageRecord& record);

// The receiver marks a damaged recording in the record's flag byte, as it does for
// bulletins and charts: bit 0 broken off by the schedule, bit 1 reception too poor.
bool navtexDamaged(const MessageRecord& record);

// The sentences of one NAVTEX message received on `frequencyKhz` (490 or 518), sent with
// the sequential id `messageId` (0..99), each ending in CR LF and at most kNmeaMaxSentence
// characters long. A message longer than kNrxMaxSentences sentences can hold is cut there;
// its total character count still tells the listener how long it was.
std::vector<std::string> nrxSentences(const MessageRecord& record, int frequencyKhz, int messageId);

}  // namespace tern
