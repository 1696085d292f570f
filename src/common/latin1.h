// Message bytes from the receiver and the project's binary files are Latin-1; the program's
// own texts are UTF-8. These two conversions are the only bridge between them.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tern {

// Every byte is one code point U+0000..U+00FF.
std::string latin1ToUtf8(std::string_view latin1);

// Lines of message text (Latin-1 bytes as received) as a text view shows them: joined by
// line feeds, carriage returns dropped (DWD bulletins end their lines CR CR LF), as UTF-8.
std::string shownText(const std::vector<std::string>& latin1Lines);

// Code points above U+00FF and malformed sequences become '?'.
std::string utf8ToLatin1(std::string_view utf8);

// Received bytes for a log line or a notice: Latin-1 as UTF-8, but control bytes (C0, DEL,
// C1) and the backslash written as "\xHH" and "\\", so a text from the air can neither
// break a line nor move a terminal's cursor.
std::string printableLatin1(std::string_view latin1);

// The same escaping of control bytes for a text that is already UTF-8 (bytes of 0x80 and
// above are left alone).
std::string withControlsEscaped(std::string_view utf8);

}  // namespace tern
