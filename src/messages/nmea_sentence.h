// The frame every NMEA 0183 sentence shares: "$", the address, the fields separated by
// commas, "*", the checksum and CR LF. Text fields carry reserved characters as "^hh".
// Numbers are written without the C locale's help, since the window runs under the user's
// locale and a decimal comma would be read as a field separator.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tern {

inline constexpr std::size_t kNmeaMaxSentence = 82;  // "$" to CR LF, both included

// XOR of the bytes, as two upper-case hex digits: the checksum of the text between "$" and
// "*".
std::string nmeaChecksum(std::string_view body);

// The text with every reserved character (CR LF $ * , ! \ ^ ~ DEL) and every byte outside
// printable ASCII written as "^" and two upper-case hex digits.
std::string nmeaEscape(std::string_view text);

// "$<address>,<field>,...*hh" and CR LF; `address` is talker and type, e.g. "WIMDA".
std::string nmeaSentence(std::string_view address, const std::vector<std::string>& fields);

// `value` with exactly `decimals` digits after a decimal point, whatever the locale.
std::string nmeaDecimal(double value, int decimals);

}  // namespace tern
