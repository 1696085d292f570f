// The small text tools the SYNOP decoder is built from: cutting a bulletin into lines and
// words, the two number conversions every group decoder uses, and bounds-safe access to the
// fixed character positions of a group. Received groups may be short, long or garbled; these
// helpers are the one place that keeps every read inside the word.
#pragma once

#include <bit>
#include <cstdint>
#include <cstring>
#include <limits>
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

// The lines of `text` (cut as CutLines does), as views into `text`, appended to `lines`.
void LineViews(std::string_view text, std::vector<std::string_view>& lines);

// The first byte at or after `p` that is a blank or a control character (at most 0x20), or
// `end`. Eight bytes at a time where it can: every byte of every bulletin passes here.
inline const char* NextBlankOrControl(const char* p, const char* end) {
  if constexpr (std::endian::native == std::endian::little) {
    constexpr std::uint64_t kOnes = 0x0101010101010101u;
    while (end - p >= 8) {
      std::uint64_t bytes;
      std::memcpy(&bytes, p, 8);
      // The high bit of every byte below 0x21; bytes of 0x80 and above never count. A borrow
      // can only mark bytes above the first one marked, which is the one taken.
      const std::uint64_t low = (bytes - 0x21 * kOnes) & ~bytes & (0x80 * kOnes);
      if (low != 0) return p + (std::countr_zero(low) / 8);
      p += 8;
    }
  }
  while (p != end && static_cast<unsigned char>(*p) > 0x20) ++p;
  return p;
}

// Calls `f` with every non-empty word of `text` that SplitWords finds in its lines, in order,
// as views into `text`; nothing is allocated. A word ends at a blank or a line feed; the last
// word of a line also loses its trailing control characters, as the line is trimmed first.
template <class F>
void ForEachWord(std::string_view text, F&& f) {
  const auto isTrimmed = [](char c) { return static_cast<unsigned char>(c) <= 0x20; };
  const char* p = text.data();
  const char* const end = p + text.size();
  for (;;) {
    while (p != end && isTrimmed(*p)) ++p;
    if (p == end) return;
    const char* const start = p;
    for (;;) {
      p = NextBlankOrControl(p, end);
      if (p == end || *p == ' ' || *p == '\n') break;
      ++p;  // a carriage return or a tab inside a word belongs to it
    }
    const char* last = p;
    while (p != end && *p != '\n' && isTrimmed(*p)) ++p;
    if (p == end || *p == '\n') {
      while (isTrimmed(last[-1])) --last;  // stops at `start`, which is no control character
    }
    f(std::string_view(start, static_cast<std::size_t>(last - start)));
  }
}

// True when every byte of `text` is below 0x80: its Latin-1 and its UTF-8 are the same.
bool IsAscii(std::string_view text);
// Received Latin-1 text as UTF-8: `latin1` itself when it is ASCII (as most bulletins are),
// otherwise its conversion, kept in `storage`.
std::string_view Utf8View(std::string_view latin1, std::string& storage);

// The integer value of `text` written back in decimal, so leading zeros vanish ("07" -> "7");
// text that is not a number (an optional sign and digits) gives "0".
std::string NumberText(std::string_view text);

// The value of a non-empty text of digits 0-9 only; -1 otherwise, and also when the value
// does not fit an int (such a text cannot be a code figure).
int DigitsToInt(std::string_view text);

namespace synop {

// Parts of a decoded line that are formatted only when the line is written: a decoder names
// them, and a pass that writes no lines never formats them.
struct Decimal {  // "42"
  long long value;
};
struct Tenths {  // as tenths(): 42 gives "4.2"
  int value;
};
struct Number {  // as NumberText: "07" gives "7", a text that is no number "0"
  std::string_view text;
};

inline void appendPart(std::string& out, std::string_view text) { out.append(text); }
void appendPart(std::string& out, Decimal part);
void appendPart(std::string& out, Tenths part);
void appendPart(std::string& out, Number part);

// `out` becomes `parts` one after the other.
template <class... Parts>
void assignParts(std::string& out, const Parts&... parts) {
  out.clear();
  (appendPart(out, parts), ...);
}

// Room a part takes, for reserving a line: exact for texts, what the figures of a group
// give for numbers (a longer one only makes the line grow once more).
inline std::size_t partSize(std::string_view text) { return text.size(); }
inline std::size_t partSize(Decimal) { return 5; }
inline std::size_t partSize(Tenths) { return 6; }
inline std::size_t partSize(Number part) { return part.text.size(); }

// Character `pos` (1-based) of `word`, or '\0' beyond its end. Inline, like the two below:
// the group decoders call them with fixed positions for every group.
inline char charAt(std::string_view word, int pos) {
  if (pos < 1 || static_cast<std::size_t>(pos) > word.size()) return '\0';
  return word[static_cast<std::size_t>(pos - 1)];
}
// The character as a text of length 1, or "" beyond the end.
std::string_view charText(std::string_view word, int pos);
// Characters `from` to `to` (1-based, inclusive), cut to what the word has.
inline std::string_view chars(std::string_view word, int from, int to) {
  if (from < 1 || to < from || static_cast<std::size_t>(from) > word.size()) return {};
  const auto start = static_cast<std::size_t>(from - 1);
  return word.substr(start, static_cast<std::size_t>(to - from + 1));
}
// A plain integer conversion of code figures: digits only, nothing otherwise.
inline std::optional<int> toInt(std::string_view text) {
  if (text.empty()) return std::nullopt;
  long long v = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    v = v * 10 + (c - '0');
    if (v > std::numeric_limits<int>::max()) return std::nullopt;
  }
  return static_cast<int>(v);
}
// A non-negative value in tenths written as "12.3" (5 gives "0.5").
std::string tenths(int value);
// Inline, like startsWith: every group decoder asks it first.
inline bool contains(std::string_view word, std::string_view part) {
  if (part.size() > word.size()) return false;
  for (std::size_t i = 0; i + part.size() <= word.size(); ++i) {
    std::size_t k = 0;
    while (k < part.size() && word[i + k] == part[k]) ++k;
    if (k == part.size()) return true;
  }
  return false;
}
// Inline: the dispatcher asks this several times for every group.
inline bool startsWith(std::string_view word, std::string_view prefix) {
  if (word.size() < prefix.size()) return false;
  for (std::size_t i = 0; i < prefix.size(); ++i)
    if (word[i] != prefix[i]) return false;
  return true;
}

}  // namespace synop
}  // namespace tern
