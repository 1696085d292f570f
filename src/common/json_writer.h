// JSON written straight into a text as it is produced, with no document in memory: the
// layout of a two-space indented dump (one member or element per line, "key": value, empty
// arrays and objects as [] and {}), strings escaped as \" \\ \b \f \n \r \t and \u00XX for
// the other control characters, every other byte passed through (strings are UTF-8).
//
// A dump writes hundreds of thousands of tiny pieces (brackets, indentation, keys), so the
// writer keeps its own buffer and a cursor: a piece is one bounds check and one copy, not a
// call into the string class's growth rules.
#pragma once

#include <concepts>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string_view>
#include <type_traits>
#include <vector>

namespace tern {

// Thread: plain value; one thread at a time.
class JsonWriter {
 public:
  JsonWriter() = default;

  void beginObject() { open('{'); }
  void endObject() { close('}'); }
  void beginArray() { open('['); }
  void endArray() { close(']'); }
  // The name of the object member whose value comes next.
  void key(std::string_view name);

  void value(std::string_view text);
  void value(const char* text) { value(std::string_view(text)); }
  template <std::integral T>
  requires(!std::same_as<T, bool>) void value(T number) {
    if constexpr (std::is_signed_v<T>)
      signedValue(number);
    else
      unsignedValue(number);
  }

  // A member: key and value.
  template <typename T>
  void member(std::string_view name, const T& v) {
    key(name);
    value(v);
  }

  // Text outside the layout, as it is (a line end after the document).
  void raw(std::string_view text) { put(text.data(), text.size()); }

  // What was written and not yet dropped. A writer of a long document hands it on from time
  // to time and drops it; the layout goes on where it was.
  std::string_view text() const { return {buffer_.get(), used_}; }
  void dropText() { used_ = 0; }
  // Room for `n` bytes of text before the buffer must grow.
  void reserve(std::size_t n) {
    if (n > capacity_) grow(n - used_);
  }

 private:
  void open(char bracket);
  void close(char bracket);
  // The line break and indentation before an element or member (nothing after a key).
  void separate();
  void lineBreak(std::size_t depth);
  void string(std::string_view text);
  void escapedString(std::string_view text);
  void signedValue(std::int64_t number);
  void unsignedValue(std::uint64_t number);

  // Space for `n` more bytes at the cursor.
  char* room(std::size_t n) {
    if (capacity_ - used_ < n) grow(n);
    return buffer_.get() + used_;
  }
  void grow(std::size_t n);
  void put(const char* p, std::size_t n) {
    std::memcpy(room(n), p, n);
    used_ += n;
  }
  void put(char c) {
    *room(1) = c;
    ++used_;
  }

  std::unique_ptr<char[]> buffer_;
  std::size_t capacity_ = 0;
  std::size_t used_ = 0;
  std::vector<char> empty_;  // per open array or object: nothing written into it yet
  bool afterKey_ = false;
};

}  // namespace tern
