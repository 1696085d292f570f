#include "seaweather/sea_text.h"

#include <cstdlib>

#include "common/latin1.h"

namespace tern::seaweather {

namespace {

// Length of the UTF-8 sequence at `i`, 0 when it is not one (overlong forms included).
std::size_t utf8Length(std::string_view s, std::size_t i, char32_t& c) {
  const auto b = static_cast<unsigned char>(s[i]);
  std::size_t n = b < 0x80             ? 1
                  : (b & 0xE0) == 0xC0 ? 2
                  : (b & 0xF0) == 0xE0 ? 3
                  : (b & 0xF8) == 0xF0 ? 4
                                       : 0;
  if (n == 0 || i + n > s.size()) return 0;
  c = n == 1 ? b : n == 2 ? (b & 0x1F) : n == 3 ? (b & 0x0F) : (b & 0x07);
  for (std::size_t k = 1; k < n; ++k) {
    const auto f = static_cast<unsigned char>(s[i + k]);
    if ((f & 0xC0) != 0x80) return 0;
    c = (c << 6) | (f & 0x3F);
  }
  static constexpr char32_t kSmallest[] = {0, 0, 0x80, 0x800, 0x10000};
  if (c < kSmallest[n] || c > 0x10FFFF) return 0;
  return n;
}

bool isUtf8BeyondAscii(std::string_view s) {
  bool beyond = false;
  for (std::size_t i = 0; i < s.size();) {
    char32_t c;
    const std::size_t n = utf8Length(s, i, c);
    if (n == 0) return false;
    beyond = beyond || n > 1;
    i += n;
  }
  return beyond;
}

bool isLetter(char c) { return (c >= 'A' && c <= 'Z') || c == '?'; }
bool isDigit(char c) { return c >= '0' && c <= '9'; }

// The folded spelling of a code point from U+0080 on.
std::string_view foldBeyondAscii(char32_t c) {
  if (c == 0x1E9E) return "SS";
  if (c >= 0x100) return "?";
  switch (c | 0x20) {  // Latin-1 letters: lower case is upper case + 0x20
    case 0xE4:
    case 0xE6:
      return "AE";
    case 0xF6:
    case 0xF8:
      return "OE";
    case 0xFC:
      return "UE";
    case 0xE5:
      return "AA";
    case 0xE0:
    case 0xE1:
    case 0xE2:
    case 0xE3:
      return "A";
    case 0xE7:
      return "C";
    case 0xE8:
    case 0xE9:
    case 0xEA:
    case 0xEB:
      return "E";
    case 0xEC:
    case 0xED:
    case 0xEE:
    case 0xEF:
      return "I";
    case 0xF1:
      return "N";
    case 0xF2:
    case 0xF3:
    case 0xF4:
    case 0xF5:
      return "O";
    case 0xF9:
    case 0xFA:
    case 0xFB:
      return "U";
    default:
      break;
  }
  if (c == 0xDF) return "SS";
  if (c == 0xA0) return " ";
  return "?";
}

}  // namespace

std::string foldCodePoint(char32_t c) {
  if (c < 0x80) {
    const char a = static_cast<char>(c);
    return std::string(1, a >= 'a' && a <= 'z' ? static_cast<char>(a - 'a' + 'A') : a);
  }
  return std::string(foldBeyondAscii(c));
}

FoldedText::FoldedText(std::string_view received)
    : received_(received), utf8_(isUtf8BeyondAscii(received)) {
  // The folded characters, each with the byte range of the character it came from.
  // Character by character without a string each: this loop was the reader's largest cost.
  std::string folded;
  std::vector<std::size_t> from, to;
  folded.reserve(received.size());
  from.reserve(received.size());
  to.reserve(received.size());
  const auto add = [&](char ch, std::size_t i, std::size_t n) {
    folded += ch;
    from.push_back(i);
    to.push_back(i + n);
  };
  for (std::size_t i = 0; i < received.size();) {
    char32_t c = static_cast<unsigned char>(received[i]);
    std::size_t n = 1;
    if (utf8_) n = utf8Length(received, i, c);
    if (c >= 0x80) {
      for (char ch : foldBeyondAscii(c)) add(ch, i, n);
    } else if (c != '\r') {
      const char a = static_cast<char>(c);
      add(a == '\t' || (a < 0x20 && a != '\n') ? ' '
          : a >= 'a' && a <= 'z'               ? static_cast<char>(a - 'a' + 'A')
                                               : a,
          i, n);
    }
    i += n;
  }

  bool lineStart = true, space = true;
  for (std::size_t i = 0; i < folded.size();) {
    const char c = folded[i];
    if (c == '\n') {
      lineStart = space = true;
      ++i;
      continue;
    }
    if (c == ' ') {
      space = true;
      ++i;
      continue;
    }
    Token t;
    t.lineStart = lineStart;
    t.spaceBefore = space;
    std::size_t j = i + 1;
    if (isDigit(c)) {
      t.kind = Token::Kind::Number;
      while (j < folded.size() && isDigit(folded[j])) ++j;
      // A decimal comma or point only between digits: "2,5" but not "7, SPAETER".
      if (j + 1 < folded.size() && (folded[j] == ',' || folded[j] == '.') &&
          isDigit(folded[j + 1])) {
        j += 2;
        while (j < folded.size() && isDigit(folded[j])) ++j;
      }
    }
    // Letters glued to a word or a number make a word: "NORD3EST" is a garbled word, not
    // a number beside a word.
    if (isLetter(c) ||
        (t.kind == Token::Kind::Number && j < folded.size() && isLetter(folded[j]))) {
      t.kind = Token::Kind::Word;
      while (j < folded.size() && (isLetter(folded[j]) || isDigit(folded[j]) ||
                                   (folded[j] == '-' && j + 1 < folded.size() &&
                                    isLetter(folded[j + 1]) && isLetter(folded[j - 1]))))
        ++j;
    } else if (t.kind != Token::Kind::Number) {
      t.kind = Token::Kind::Mark;
    }
    t.text = folded.substr(i, j - i);
    if (t.kind == Token::Kind::Number) {
      std::string number = t.text;
      for (char& ch : number)
        if (ch == ',') ch = '.';
      t.value = std::strtod(number.c_str(), nullptr);
    }
    t.from = from[i];
    t.to = to[j - 1];
    tokens_.push_back(std::move(t));
    lineStart = space = false;
    i = j;
  }
}

std::string FoldedText::verbatim(std::size_t first, std::size_t last) const {
  if (first >= last || last > tokens_.size()) return {};
  const std::string_view bytes = std::string_view(received_).substr(
      tokens_[first].from, tokens_[last - 1].to - tokens_[first].from);
  std::string out;
  bool blank = false;
  for (char c : bytes) {
    const bool space = c == ' ' || c == '\r' || c == '\n' || c == '\t';
    if (space) {
      blank = true;
      continue;
    }
    if (blank && !out.empty()) out += ' ';
    blank = false;
    out += c;
  }
  return utf8_ ? out : latin1ToUtf8(out);
}

std::string FoldedText::folded(std::size_t first, std::size_t last) const {
  std::string out;
  for (std::size_t i = first; i < last && i < tokens_.size(); ++i) {
    if (!out.empty() && tokens_[i].spaceBefore) out += ' ';
    out += tokens_[i].text;
  }
  return out;
}

}  // namespace tern::seaweather
