// An NRX reader written from the sentence layout alone, sharing no code with the encoder: it
// does with each sentence what the 13-field parsers of chart plotters and NMEA libraries do
// (frame, length, checksum, field count, escapes), and joins the sentences of a message.
#pragma once

#include <cctype>
#include <cstdio>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace tern::testing {

struct NrxMessage {
  int id = -1;
  std::string code;  // B1B2B3B4
  std::string frequencyIndex, time, day, month, year, total, bad, status;
  std::string text;  // escapes resolved
  int sentences = 0;
};

class NrxReader {
 public:
  // Feeds one sentence; a message is returned when its last sentence came. Problems are
  // collected in `errors`, one line per sentence that a strict reader would refuse.
  std::optional<NrxMessage> feed(const std::string& s) {
    auto refuse = [&](const std::string& why) {
      errors.push_back(why + ": " + s);
      return std::nullopt;
    };
    if (s.size() > 82) return refuse("longer than 82");
    if (s.rfind("$CRNRX,", 0) != 0 || s.size() < 12 || s.substr(s.size() - 2) != "\r\n")
      return refuse("frame");
    const std::string body = s.substr(1, s.size() - 6);
    if (s[s.size() - 5] != '*') return refuse("no checksum");
    unsigned sum = 0;
    for (unsigned char c : body) sum ^= c;
    char hex[3];
    std::snprintf(hex, sizeof hex, "%02X", sum);
    if (s.substr(s.size() - 4, 2) != hex) return refuse("checksum");
    for (unsigned char c : body) {
      if (c < 0x20 || c > 0x7E || c == '$' || c == '*' || c == '!' || c == '\\' || c == '~')
        return refuse("reserved character");
    }
    std::vector<std::string> f;
    std::size_t from = 6;
    for (std::size_t comma; (comma = body.find(',', from)) != std::string::npos; from = comma + 1)
      f.push_back(body.substr(from, comma - from));
    f.push_back(body.substr(from));
    if (f.size() != 13) return refuse("field count " + std::to_string(f.size()));
    auto digits = [](const std::string& v, std::size_t n) {
      return v.size() == n && v.find_first_not_of("0123456789") == std::string::npos;
    };
    if (!digits(f[0], 3) || !digits(f[1], 3) || !digits(f[2], 2)) return refuse("counts");
    std::string text;
    for (std::size_t i = 0; i < f[12].size(); ++i) {
      if (f[12][i] != '^') {
        text += f[12][i];
        continue;
      }
      if (i + 2 >= f[12].size() || !std::isxdigit(static_cast<unsigned char>(f[12][i + 1])) ||
          !std::isxdigit(static_cast<unsigned char>(f[12][i + 2])))
        return refuse("escape");
      text += static_cast<char>(std::stoi(f[12].substr(i + 1, 2), nullptr, 16));
      i += 2;
    }
    const int count = std::stoi(f[0]), number = std::stoi(f[1]), id = std::stoi(f[2]);
    NrxMessage& m = open_[id];
    if (number == 1) {
      m = NrxMessage{id, f[3], f[4], f[5], f[6], f[7], f[8], f[9], f[10], f[11], "", 0};
      if (f[3].empty() || f[4].empty() || f[11].empty()) return refuse("first sentence fields");
    } else {
      for (int k = 3; k < 12; ++k)
        if (!f[static_cast<std::size_t>(k)].empty()) return refuse("fields after the first");
      if (m.sentences != number - 1) return refuse("sentence out of order");
    }
    m.text += text;
    m.sentences = number;
    if (number < count) return std::nullopt;
    NrxMessage done = std::move(m);
    open_.erase(id);
    return done;
  }

  std::vector<std::string> errors;

 private:
  std::map<int, NrxMessage> open_;
};

}  // namespace tern::testing
