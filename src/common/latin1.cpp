#include "common/latin1.h"

#include <cstdint>

namespace tern {

std::string latin1ToUtf8(std::string_view latin1) {
  std::string out;
  out.reserve(latin1.size() + latin1.size() / 8);
  for (char c : latin1) {
    auto b = static_cast<std::uint8_t>(c);
    if (b < 0x80) {
      out.push_back(c);
    } else {
      out.push_back(static_cast<char>(0xC0 | (b >> 6)));
      out.push_back(static_cast<char>(0x80 | (b & 0x3F)));
    }
  }
  return out;
}

std::string shownText(const std::vector<std::string>& latin1Lines) {
  std::string out;
  for (std::size_t i = 0; i < latin1Lines.size(); ++i) {
    if (i != 0) out.push_back('\n');
    for (char c : latin1ToUtf8(latin1Lines[i]))
      if (c != '\r') out.push_back(c);
  }
  return out;
}

namespace {

void appendEscaped(std::string& out, std::uint8_t b) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  out += "\\x";
  out.push_back(kHex[b >> 4]);
  out.push_back(kHex[b & 0x0F]);
}

}  // namespace

std::string printableLatin1(std::string_view latin1) {
  std::string out;
  for (char c : latin1) {
    const auto b = static_cast<std::uint8_t>(c);
    if (b < 0x20 || (b >= 0x7F && b < 0xA0)) {
      appendEscaped(out, b);
    } else if (c == '\\') {
      out += "\\\\";
    } else {
      out += latin1ToUtf8(std::string_view(&c, 1));
    }
  }
  return out;
}

std::string withControlsEscaped(std::string_view utf8) {
  std::string out;
  out.reserve(utf8.size());
  for (char c : utf8) {
    const auto b = static_cast<std::uint8_t>(c);
    if (b < 0x20 || b == 0x7F) {
      appendEscaped(out, b);
    } else {
      out.push_back(c);
    }
  }
  return out;
}

std::string utf8ToLatin1(std::string_view utf8) {
  std::string out;
  out.reserve(utf8.size());
  for (std::size_t i = 0; i < utf8.size();) {
    auto b = static_cast<std::uint8_t>(utf8[i]);
    if (b < 0x80) {
      out.push_back(static_cast<char>(b));
      ++i;
      continue;
    }
    std::size_t len = (b & 0xE0) == 0xC0 ? 2 : (b & 0xF0) == 0xE0 ? 3 : (b & 0xF8) == 0xF0 ? 4 : 0;
    bool valid = len != 0 && i + len <= utf8.size();
    std::uint32_t cp = len == 2 ? (b & 0x1F) : len == 3 ? (b & 0x0F) : (b & 0x07);
    for (std::size_t k = 1; valid && k < len; ++k) {
      auto cont = static_cast<std::uint8_t>(utf8[i + k]);
      if ((cont & 0xC0) != 0x80) valid = false;
      cp = (cp << 6) | (cont & 0x3F);
    }
    if (!valid) {
      out.push_back('?');
      ++i;
      continue;
    }
    out.push_back(cp <= 0xFF ? static_cast<char>(cp) : '?');
    i += len;
  }
  return out;
}

}  // namespace tern
