#include "common/json_writer.h"

#include <charconv>

namespace tern {

void JsonWriter::separate() {
  if (afterKey_) {
    afterKey_ = false;
    return;
  }
  if (empty_.empty()) return;
  out_ += empty_.back() ? "\n" : ",\n";
  empty_.back() = false;
  out_.append(2 * empty_.size(), ' ');
}

void JsonWriter::open(char bracket) {
  separate();
  out_ += bracket;
  empty_.push_back(true);
}

void JsonWriter::close(char bracket) {
  const bool wasEmpty = empty_.back();
  empty_.pop_back();
  if (!wasEmpty) {
    out_ += '\n';
    out_.append(2 * empty_.size(), ' ');
  }
  out_ += bracket;
}

void JsonWriter::key(std::string_view name) {
  separate();
  string(name);
  out_ += ": ";
  afterKey_ = true;
}

void JsonWriter::value(std::string_view text) {
  separate();
  string(text);
}

void JsonWriter::string(std::string_view text) {
  static constexpr char kHex[] = "0123456789abcdef";
  out_ += '"';
  std::size_t plain = 0;  // start of the run of bytes copied as they are
  for (std::size_t i = 0; i < text.size(); ++i) {
    const auto c = static_cast<unsigned char>(text[i]);
    if (c >= 0x20 && c != '"' && c != '\\') continue;
    out_.append(text, plain, i - plain);
    plain = i + 1;
    switch (c) {
      case '"':
        out_ += "\\\"";
        break;
      case '\\':
        out_ += "\\\\";
        break;
      case '\b':
        out_ += "\\b";
        break;
      case '\f':
        out_ += "\\f";
        break;
      case '\n':
        out_ += "\\n";
        break;
      case '\r':
        out_ += "\\r";
        break;
      case '\t':
        out_ += "\\t";
        break;
      default:
        out_ += "\\u00";
        out_ += kHex[c >> 4];
        out_ += kHex[c & 0xF];
    }
  }
  out_.append(text, plain, text.size() - plain);
  out_ += '"';
}

void JsonWriter::signedValue(std::int64_t number) {
  separate();
  char digits[24];
  const auto end = std::to_chars(digits, digits + sizeof digits, number).ptr;
  out_.append(digits, end);
}

void JsonWriter::unsignedValue(std::uint64_t number) {
  separate();
  char digits[24];
  const auto end = std::to_chars(digits, digits + sizeof digits, number).ptr;
  out_.append(digits, end);
}

}  // namespace tern
