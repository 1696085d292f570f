#include "synop/synop_text.h"

#include <algorithm>
#include <charconv>
#include <cstring>
#include <limits>

#include "common/latin1.h"

namespace tern {

std::vector<std::string> CutLines(std::string_view text) {
  std::vector<std::string> lines;
  std::string current;
  for (char c : text) {
    if (c == '\n') {
      lines.push_back(std::move(current));
      current.clear();
    } else {
      current.push_back(c);
    }
  }
  if (!current.empty()) lines.push_back(std::move(current));
  return lines;
}

namespace {

bool isTrimmed(char c) { return static_cast<unsigned char>(c) <= 0x20; }

std::string_view trim(std::string_view s) {
  while (!s.empty() && isTrimmed(s.front())) s.remove_prefix(1);
  while (!s.empty() && isTrimmed(s.back())) s.remove_suffix(1);
  return s;
}

// Optional sign and at least one digit; nothing on overflow.
std::optional<long long> parseSigned(std::string_view text) {
  bool negative = false;
  if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
    negative = text.front() == '-';
    text.remove_prefix(1);
  }
  auto v = synop::toInt(text);
  if (!v) return std::nullopt;
  return negative ? -static_cast<long long>(*v) : *v;
}

}  // namespace

void SplitWordViews(std::string_view line, std::vector<std::string_view>& words) {
  std::string_view rest = trim(line);
  for (;;) {
    auto blank = rest.find(' ');
    if (blank == std::string_view::npos) {
      words.push_back(rest);
      return;
    }
    words.push_back(rest.substr(0, blank));
    rest = trim(rest.substr(blank));
  }
}

void SplitWords(std::string_view line, std::vector<std::string>& words) {
  std::vector<std::string_view> views;
  SplitWordViews(line, views);
  words.insert(words.end(), views.begin(), views.end());
}

void LineViews(std::string_view text, std::vector<std::string_view>& lines) {
  while (!text.empty()) {
    auto lf = text.find('\n');
    if (lf == std::string_view::npos) {
      lines.push_back(text);  // a last line without a line feed, not empty
      break;
    }
    lines.push_back(text.substr(0, lf));
    text.remove_prefix(lf + 1);
  }
}

bool IsAscii(std::string_view text) {
  // Eight bytes at a time: the whole text of every bulletin copy is looked at.
  constexpr std::uint64_t kHighBits = 0x8080808080808080u;
  std::size_t i = 0;
  for (; i + 8 <= text.size(); i += 8) {
    std::uint64_t word;
    std::memcpy(&word, text.data() + i, 8);
    if ((word & kHighBits) != 0) return false;
  }
  for (; i < text.size(); ++i) {
    if (static_cast<unsigned char>(text[i]) >= 0x80) return false;
  }
  return true;
}

std::string_view Utf8View(std::string_view latin1, std::string& storage) {
  if (IsAscii(latin1)) return latin1;
  storage = latin1ToUtf8(latin1);
  return storage;
}

std::string NumberText(std::string_view text) {
  std::string number;
  synop::appendPart(number, synop::Number{text});
  return number;
}

int DigitsToInt(std::string_view text) {
  auto v = synop::toInt(text);
  return v ? *v : -1;
}

namespace synop {

namespace {

void appendNumber(std::string& out, long long value) {
  char buffer[24];
  auto end = std::to_chars(buffer, buffer + sizeof buffer, value).ptr;
  out.append(buffer, end);
}

}  // namespace

void appendPart(std::string& out, Decimal part) { appendNumber(out, part.value); }

void appendPart(std::string& out, Number part) {
  auto v = parseSigned(part.text);
  if (v) {
    appendNumber(out, *v);
  } else {
    out.push_back('0');
  }
}

void appendPart(std::string& out, Tenths part) {
  long long v = part.value;
  if (v < 0) {
    out.push_back('-');
    v = -v;
  }
  appendNumber(out, v / 10);
  out.push_back('.');
  out.push_back(static_cast<char>('0' + v % 10));
}

std::string_view charText(std::string_view word, int pos) { return chars(word, pos, pos); }

std::string tenths(int value) {
  std::string text;
  appendPart(text, Tenths{value});
  return text;
}

}  // namespace synop
}  // namespace tern
