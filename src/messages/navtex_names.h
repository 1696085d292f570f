// Names a NAVTEX message is told by on a plotter's screen: its subject in German words and
// its station by name, and the first line that says what happened.
#pragma once

#include <string>

#include "messages/message_record.h"

namespace tern {

// The subject indicator in a word: 'D' "Seenot", 'B' "Wetterwarnung"; "Meldung" for an
// indicator without a name of its own.
const char* NavtexSubjectWord(char indicator);

// The station that sent the message on the list `which` (kNavtex518, kNavtex490). Its own
// "<NAME> NAVTEX" line when it has one, else the name of its letter in the North Sea,
// Baltic and Atlantic coast stations a receiver in these waters hears, else "Station <letter>".
// Letters are reused between sea areas, so the message's own line is trusted first. UTF-8.
std::string NavtexStationName(int which, const MessageRecord& record);

// The message's first line of content: after the "ZCZC" line, the station line and the
// date-time group. A first line shorter than kShortLine (the originator "MRCC BREMEN", a
// warning's number) says little alone; the next line follows it after ": ". Latin-1.
inline constexpr std::size_t kShortLine = 20;
std::string NavtexHeadline(const MessageRecord& record);

}  // namespace tern
