#include "common/json_writer.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <nlohmann/json.hpp>

namespace tern {
namespace {

using Json = nlohmann::ordered_json;

// Every byte value a string can hold, one at a time and in runs, against the dump the
// command line printed before: control characters, quotes, backslashes, DEL and UTF-8 must
// come out byte for byte the same.
TEST(JsonWriter, StringsAreEscapedAsTheIndentedDumpEscapesThem) {
  std::vector<std::string> texts = {"",
                                    "plain",
                                    "\"quoted\" and \\back\\slashed\\",
                                    "\b\f\n\r\t",
                                    std::string("nul\0inside", 10),
                                    "\x01\x1f\x7f",
                                    "Gr\xc3\xbc\xc3\x9f\x65 \xe2\x82\xac \xf0\x9f\x8c\x8a",
                                    "ends with a control\x1b",
                                    "\\u0041 stays as written"};
  for (int c = 0; c < 0x80; ++c) texts.push_back(std::string(1, static_cast<char>(c)));
  // Strings are checked sixteen bytes at a time: an escape at every place of the first
  // steps, and texts far longer than the writer's first buffer.
  for (std::size_t length = 1; length <= 40; ++length) {
    for (std::size_t at = 0; at < length; ++at) {
      std::string text(length, 'x');
      text[at] = at % 2 == 0 ? '"' : '\x1f';
      texts.push_back(text);
    }
  }
  texts.push_back(std::string(10000, 'y'));
  texts.push_back(std::string(10000, 'y') + "\n");
  for (const std::string& text : texts) {
    JsonWriter json;
    json.value(text);
    EXPECT_EQ(json.text(), Json(text).dump(2)) << Json(text).dump(2, ' ', true);
  }
}

// Nesting, empty containers, keys that need escaping and integers of every width and sign.
TEST(JsonWriter, LayoutEqualsTheIndentedDump) {
  Json expected;
  expected["empty_array"] = Json::array();
  expected["empty_object"] = Json::object();
  expected["numbers"] = {0,
                         -1,
                         std::numeric_limits<std::int64_t>::min(),
                         std::numeric_limits<std::uint64_t>::max(),
                         std::uint8_t{255},
                         std::int16_t{-32768}};
  expected["nested"] = {{{"a\nb", "x"}, {"deep", {Json::array(), {{"k", 1}}}}}, Json::object()};

  // Written in pieces, as a long dump hands its text on.
  std::string out;
  JsonWriter json;
  auto handOn = [&] {
    out += json.text();
    json.dropText();
  };
  json.beginObject();
  json.key("empty_array");
  json.beginArray();
  json.endArray();
  json.key("empty_object");
  json.beginObject();
  json.endObject();
  json.key("numbers");
  handOn();
  json.beginArray();
  json.value(0);
  json.value(-1);
  json.value(std::numeric_limits<std::int64_t>::min());
  json.value(std::numeric_limits<std::uint64_t>::max());
  json.value(std::uint8_t{255});
  json.value(std::int16_t{-32768});
  json.endArray();
  json.key("nested");
  json.beginArray();
  json.beginObject();
  json.member("a\nb", "x");
  json.key("deep");
  json.beginArray();
  json.beginArray();
  json.endArray();
  json.beginObject();
  json.member("k", 1);
  json.endObject();
  json.endArray();
  json.endObject();
  json.beginObject();
  json.endObject();
  json.endArray();
  json.endObject();
  handOn();
  EXPECT_EQ(out, expected.dump(2));
}

}  // namespace
}  // namespace tern
