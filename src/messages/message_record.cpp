#include "messages/message_record.h"

#include <algorithm>

namespace tern {

MessageRecord MessageRecord::empty() {
  MessageRecord r;
  r.header[0] = kEmptyCode;
  return r;
}

std::string MessageRecord::keyText() const {
  auto key = keyBytes();
  auto end = std::find(key.begin(), key.end(), std::uint8_t{0});
  return std::string(key.begin(), end);
}

std::vector<std::string> MessageRecord::textLines() const {
  std::vector<std::string> lines;
  std::string line;
  for (std::uint8_t b : data) {
    if (b == '\r') continue;
    if (b == '\n') {
      lines.push_back(std::move(line));
      line.clear();
    } else {
      line.push_back(static_cast<char>(b));
    }
  }
  lines.push_back(std::move(line));
  return lines;
}

CivilTime MessageRecord::receptionTime() const {
  return CivilTime{protocol::kYearBase + header[22],
                   header[21],
                   header[20],
                   header[17],
                   header[18],
                   header[19],
                   0};
}

bool isOlderThan(const MessageRecord& record, const CivilTime& utcNow, int days) {
  CivilTime t = record.receptionTime();
  if (!isValidCivilTime(t)) return true;
  return secondsSinceEpoch(utcNow) - std::int64_t{days} * 86400 > secondsSinceEpoch(t);
}

MessageRecord::Header makeHeader(std::uint8_t code, std::uint32_t length, const std::string& key,
                                 const CivilTime& utc, std::uint8_t flagByte) {
  MessageRecord::Header h{};
  h[0] = code;
  putU32(&h[1], length);
  for (std::size_t i = 0; i < 12 && i < key.size(); ++i)
    h[5 + i] = static_cast<std::uint8_t>(key[i]);
  h[17] = static_cast<std::uint8_t>(utc.hour);
  h[18] = static_cast<std::uint8_t>(utc.minute);
  h[19] = static_cast<std::uint8_t>(utc.second);
  h[20] = static_cast<std::uint8_t>(utc.day);
  h[21] = static_cast<std::uint8_t>(utc.month);
  h[22] = static_cast<std::uint8_t>(utc.year - protocol::kYearBase);
  h[25] = flagByte;
  return h;
}

}  // namespace tern
