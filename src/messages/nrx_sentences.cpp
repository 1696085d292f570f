#include "messages/nrx_sentences.h"

#include <cstdio>
#include <string_view>

namespace tern {

namespace {

constexpr std::string_view kReserved = "\r\n$*,!\\^~";
constexpr const char* kHex = "0123456789ABCDEF";
constexpr std::string_view kLineBreak = "^0D^0A";

std::string hexEscape(unsigned char c) { return std::string{'^', kHex[c >> 4], kHex[c & 15]}; }

std::string sentence(const std::vector<std::string>& fields) {
  std::string body = "CRNRX";
  for (const auto& f : fields) body += "," + f;
  return "$" + body + "*" + nmeaChecksum(body) + "\r\n";
}

std::string twoDigits(int v) {
  char buf[8];
  std::snprintf(buf, sizeof buf, "%02d", v);
  return buf;
}

}  // namespace

std::string nmeaChecksum(std::string_view body) {
  unsigned char sum = 0;
  for (char c : body) sum ^= static_cast<unsigned char>(c);
  return std::string{kHex[sum >> 4], kHex[sum & 15]};
}

std::string nmeaEscape(std::string_view text) {
  std::string out;
  for (char ch : text) {
    const auto c = static_cast<unsigned char>(ch);
    if (c < 0x20 || c > 0x7E || kReserved.find(ch) != std::string_view::npos) {
      out += hexEscape(c);
    } else {
      out += ch;
    }
  }
  return out;
}

std::vector<std::string> nrxSentences(const MessageRecord& record, int frequencyKhz) {
  // The message's lines as the NAVTEX page shows them (CR dropped, LF ends a line), each
  // cut into escaped characters, so no sentence splits an escape such as "^2C" in two.
  std::vector<std::vector<std::string>> lines(1);
  for (std::uint8_t b : record.data) {
    if (b == '\r') continue;
    if (b == '\n') {
      lines.back().push_back(std::string(kLineBreak));
      lines.emplace_back();
    } else {
      const char ch = static_cast<char>(b);
      lines.back().push_back(nmeaEscape(std::string_view(&ch, 1)));
    }
  }

  const std::string id = nmeaEscape(record.keyText().substr(0, 4));
  const CivilTime t = record.receptionTime();
  const std::vector<std::string> firstFields = {
      std::to_string(frequencyKhz),
      twoDigits(t.day),
      twoDigits(t.month),
      std::to_string(t.year),
      twoDigits(t.hour) + twoDigits(t.minute) + twoDigits(t.second),
      ""};
  const std::vector<std::string> laterFields(firstFields.size());

  // The counts' width decides the room left for text; it is found by trying.
  for (std::size_t digits = 1;; ++digits) {
    const std::string wide(digits, '9');
    auto room = [&](const std::vector<std::string>& fields) {
      std::vector<std::string> all = {id, wide, wide};
      all.insert(all.end(), fields.begin(), fields.end());
      all.push_back("");
      return kNmeaMaxSentence - sentence(all).size();
    };
    const std::size_t firstRoom = room(firstFields), laterRoom = room(laterFields);

    std::vector<std::string> texts;
    for (const auto& units : lines) {
      std::string text;
      for (const auto& unit : units) {
        const std::size_t limit = texts.empty() ? firstRoom : laterRoom;
        if (text.size() + unit.size() > limit) {
          texts.push_back(std::move(text));
          text.clear();
        }
        text += unit;
      }
      texts.push_back(std::move(text));
    }
    const std::string total = std::to_string(texts.size());
    if (total.size() > digits) continue;

    std::vector<std::string> out;
    for (std::size_t i = 0; i < texts.size(); ++i) {
      std::vector<std::string> fields = {id, std::to_string(i + 1), total};
      const auto& rest = i == 0 ? firstFields : laterFields;
      fields.insert(fields.end(), rest.begin(), rest.end());
      fields.push_back(texts[i]);
      out.push_back(sentence(fields));
    }
    return out;
  }
}

}  // namespace tern
