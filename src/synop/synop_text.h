// The small text tools the SYNOP decoder is built from: cutting a bulletin into lines and
// words, the two number conversions every group decoder uses, and bounds-safe access to the
// fixed character positions of a group. Received groups may be short, long or garbled; these
// helpers are the one place that keeps every read inside the word.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tern {

// Cuts text at every line feed; every other byte (carriage returns too) stays in its line.
// A last line without a line feed counts only when it is not empty.
std::vector<std::string> CutLines(std::string_view text);

// Appends the words of `line` to `words`: trims blanks and control characters at both ends,
// then takes the text up to the first blank, and so on. An empty line yields one empty word.
void SplitWords(std::string_view line, std::vector<std::string>& words);
// The same, with views into `line` (which must outlive them).
void SplitWordViews(std::string_view line, std::vector<std::string_view>& words);

// Every word of every line of `text` (cut as CutLines does), as views into `text`.
std::vector<std::string_view> WordsOfText(std::string_view text);

// The integer value of `text` written back in decimal, so leading zeros vanish ("07" -> "7");
// text that is not a number (an optional sign and digits) gives "0".
std::string NumberText(std::string_view text);

// The value of a non-empty text of digits 0-9 only; -1 otherwise, and also when the value
// does not fit an int (such a text cannot be a code figure).
int DigitsToInt(std::string_view text);

namespace synop {

// Character `pos` (1-based) of `word`, or '\0' beyond its end.
char charAt(std::string_view word, int pos);
// The character as a text of length 1, or "" beyond the end.
std::string charText(std::string_view word, int pos);
// Characters `from` to `to` (1-based, inclusive), cut to what the word has.
std::string_view chars(std::string_view word, int from, int to);
// A plain integer conversion of code figures: digits only, nothing otherwise.
std::optional<int> toInt(std::string_view text);
// A non-negative value in tenths written as "12.3" (5 gives "0.5").
std::string tenths(int value);
bool contains(std::string_view word, std::string_view part);
// Inline: the dispatcher asks this several times for every group.
inline bool startsWith(std::string_view word, std::string_view prefix) {
  if (word.size() < prefix.size()) return false;
  for (std::size_t i = 0; i < prefix.size(); ++i)
    if (word[i] != prefix[i]) return false;
  return true;
}

}  // namespace synop
}  // namespace tern
