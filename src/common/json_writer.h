// JSON written straight into a text as it is produced, with no document in memory: the
// layout of a two-space indented dump (one member or element per line, "key": value, empty
// arrays and objects as [] and {}), strings escaped as \" \\ \b \f \n \r \t and \u00XX for
// the other control characters, every other byte passed through (strings are UTF-8).
#pragma once

#include <concepts>
#include <cstdint>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

namespace tern {

// Thread: plain value; one thread at a time.
class JsonWriter {
 public:
  // Appends to `out`, which must outlive the writer.
  explicit JsonWriter(std::string& out) : out_(out) {}

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

 private:
  void open(char bracket);
  void close(char bracket);
  // The line break and indentation before an element or member (nothing after a key).
  void separate();
  void string(std::string_view text);
  void signedValue(std::int64_t number);
  void unsignedValue(std::uint64_t number);

  std::string& out_;
  std::vector<bool> empty_;  // per open array or object: nothing written into it yet
  bool afterKey_ = false;
};

}  // namespace tern
