#include "common/json_writer.h"

#include <algorithm>
#include <charconv>
#include <cstring>
#include <memory>

#include "common/cpu_features.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace tern {

namespace {

#if defined(__SSE2__)
// Whether any of the sixteen bytes of `v` must be escaped.
bool anyToEscape(__m128i v) {
  // A byte below 0x20 is its own minimum with 0x1F.
  const __m128i control = _mm_cmpeq_epi8(_mm_min_epu8(v, _mm_set1_epi8(0x1F)), v);
  const __m128i quote = _mm_cmpeq_epi8(v, _mm_set1_epi8('"'));
  const __m128i backslash = _mm_cmpeq_epi8(v, _mm_set1_epi8('\\'));
  return _mm_movemask_epi8(_mm_or_si128(control, _mm_or_si128(quote, backslash))) != 0;
}
__m128i load16(const char* p) { return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p)); }
__m128i load8(const char* p) { return _mm_loadl_epi64(reinterpret_cast<const __m128i*>(p)); }
__m128i load4(const char* p) {
  std::int32_t v;
  std::memcpy(&v, p, sizeof v);
  return _mm_cvtsi32_si128(v);
}
#endif

// Whether `text` holds a byte that must be escaped. Nearly every string of a dump (keys,
// times, hashes, names) holds none, so it is checked sixteen bytes at a time; the rest of a
// text is read as two overlapping pieces, never past its end.
bool needsEscape(std::string_view text) {
  const char* p = text.data();
  const std::size_t n = text.size();
#if defined(__SSE2__)
  if (ProcessorHasSse2()) {
    if (n >= 16) {
      for (std::size_t i = 0; i + 16 < n; i += 16)
        if (anyToEscape(load16(p + i))) return true;
      return anyToEscape(load16(p + n - 16));
    }
    if (n >= 8) return anyToEscape(_mm_unpacklo_epi64(load8(p), load8(p + n - 8)));
    // Both pieces twice over: the lanes must not be left zero, a byte that needs an escape.
    if (n >= 4)
      return anyToEscape(_mm_shuffle_epi32(_mm_unpacklo_epi32(load4(p), load4(p + n - 4)), 0x44));
  }
#endif
  for (std::size_t i = 0; i < n; ++i) {
    const auto c = static_cast<unsigned char>(p[i]);
    if (c < 0x20 || c == '"' || c == '\\') return true;
  }
  return false;
}

}  // namespace

void JsonWriter::grow(std::size_t n) {
  const std::size_t capacity = std::max({2 * capacity_, used_ + n, std::size_t{4096}});
  auto bigger = std::make_unique_for_overwrite<char[]>(capacity);
  if (used_ > 0) std::memcpy(bigger.get(), buffer_.get(), used_);
  buffer_ = std::move(bigger);
  capacity_ = capacity;
}

void JsonWriter::lineBreak(std::size_t depth) {
  const std::size_t n = 1 + 2 * depth;
  char* p = room(n);
  p[0] = '\n';
  std::memset(p + 1, ' ', n - 1);
  used_ += n;
}

void JsonWriter::separate() {
  if (afterKey_) {
    afterKey_ = false;
    return;
  }
  if (empty_.empty()) return;
  if (empty_.back())
    empty_.back() = false;
  else
    put(',');
  lineBreak(empty_.size());
}

void JsonWriter::open(char bracket) {
  separate();
  put(bracket);
  empty_.push_back(true);
}

void JsonWriter::close(char bracket) {
  const bool wasEmpty = empty_.back();
  empty_.pop_back();
  if (!wasEmpty) lineBreak(empty_.size());
  put(bracket);
}

void JsonWriter::key(std::string_view name) {
  separate();
  string(name);
  put(": ", 2);
  afterKey_ = true;
}

void JsonWriter::value(std::string_view text) {
  separate();
  string(text);
}

void JsonWriter::string(std::string_view text) {
  if (needsEscape(text)) return escapedString(text);
  const std::size_t n = text.size();
  char* p = room(n + 2);
  p[0] = '"';
  if (n > 0) std::memcpy(p + 1, text.data(), n);
  p[1 + n] = '"';
  used_ += n + 2;
}

void JsonWriter::escapedString(std::string_view text) {
  static constexpr char kHex[] = "0123456789abcdef";
  put('"');
  for (char ch : text) {
    const auto c = static_cast<unsigned char>(ch);
    if (c >= 0x20 && c != '"' && c != '\\') {
      put(ch);
      continue;
    }
    switch (c) {
      case '"':
        put("\\\"", 2);
        break;
      case '\\':
        put("\\\\", 2);
        break;
      case '\b':
        put("\\b", 2);
        break;
      case '\f':
        put("\\f", 2);
        break;
      case '\n':
        put("\\n", 2);
        break;
      case '\r':
        put("\\r", 2);
        break;
      case '\t':
        put("\\t", 2);
        break;
      default: {
        const char escape[6] = {'\\', 'u', '0', '0', kHex[c >> 4], kHex[c & 0xF]};
        put(escape, sizeof escape);
      }
    }
  }
  put('"');
}

void JsonWriter::signedValue(std::int64_t number) {
  separate();
  char* p = room(24);
  used_ += static_cast<std::size_t>(std::to_chars(p, p + 24, number).ptr - p);
}

void JsonWriter::unsignedValue(std::uint64_t number) {
  separate();
  char* p = room(24);
  used_ += static_cast<std::size_t>(std::to_chars(p, p + 24, number).ptr - p);
}

}  // namespace tern
