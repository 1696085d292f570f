#include "synop/synop_text.h"

#include <algorithm>
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

void SplitWords(std::string_view line, std::vector<std::string>& words) {
  std::string_view rest = trim(line);
  for (;;) {
    auto blank = rest.find(' ');
    if (blank == std::string_view::npos) {
      words.emplace_back(rest);
      return;
    }
    words.emplace_back(rest.substr(0, blank));
    rest = trim(rest.substr(blank));
  }
}

std::string NumberText(std::string_view text) {
  auto v = parseSigned(text);
  return v ? std::to_string(*v) : std::string("0");
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
  std::size_t count = std::min<std::size_t>(static_cast<std::size_t>(to - from + 1),
                                            word.size() - start);
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
  std::string sign = value < 0 ? "-" : "";
  long long v = value < 0 ? -static_cast<long long>(value) : value;
  return sign + std::to_string(v / 10) + "." + std::to_string(v % 10);
}

bool contains(std::string_view word, std::string_view part) {
  return word.find(part) != std::string_view::npos;
}

bool startsWith(std::string_view word, std::string_view prefix) {
  return word.substr(0, prefix.size()) == prefix;
}

}  // namespace synop
}  // namespace tern
