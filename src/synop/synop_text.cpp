#include "synop/synop_text.h"

#include <algorithm>
#include <charconv>
#include <limits>

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

std::vector<std::string_view> WordsOfText(std::string_view text) {
  std::vector<std::string_view> words;
  words.reserve(text.size() / 4);
  while (!text.empty()) {
    auto lf = text.find('\n');
    if (lf == std::string_view::npos) {
      SplitWordViews(text, words);  // a last line without a line feed, not empty
      break;
    }
    SplitWordViews(text.substr(0, lf), words);
    text.remove_prefix(lf + 1);
  }
  return words;
}

std::string NumberText(std::string_view text) {
  auto v = parseSigned(text);
  if (!v) return "0";
  char buffer[24];
  auto end = std::to_chars(buffer, buffer + sizeof buffer, *v).ptr;
  return std::string(buffer, end);
}

int DigitsToInt(std::string_view text) {
  auto v = synop::toInt(text);
  return v ? *v : -1;
}

namespace synop {

char charAt(std::string_view word, int pos) {
  if (pos < 1 || static_cast<std::size_t>(pos) > word.size()) return '\0';
  return word[static_cast<std::size_t>(pos - 1)];
}

std::string charText(std::string_view word, int pos) {
  char c = charAt(word, pos);
  return c == '\0' ? std::string() : std::string(1, c);
}

std::string_view chars(std::string_view word, int from, int to) {
  if (from < 1 || to < from || static_cast<std::size_t>(from) > word.size()) return {};
  std::size_t start = static_cast<std::size_t>(from - 1);
  std::size_t count =
      std::min<std::size_t>(static_cast<std::size_t>(to - from + 1), word.size() - start);
  return word.substr(start, count);
}

std::optional<int> toInt(std::string_view text) {
  if (text.empty()) return std::nullopt;
  long long v = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return std::nullopt;
    v = v * 10 + (c - '0');
    if (v > std::numeric_limits<int>::max()) return std::nullopt;
  }
  return static_cast<int>(v);
}

std::string tenths(int value) {
  long long v = value;
  char buffer[32];
  char* p = buffer;
  if (v < 0) {
    *p++ = '-';
    v = -v;
  }
  p = std::to_chars(p, buffer + sizeof buffer - 2, v / 10).ptr;
  *p++ = '.';
  *p++ = static_cast<char>('0' + v % 10);
  return std::string(buffer, p);
}

bool contains(std::string_view word, std::string_view part) {
  return word.find(part) != std::string_view::npos;
}

}  // namespace synop
}  // namespace tern
