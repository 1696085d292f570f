#include "messages/nmea_sentence.h"

#include <charconv>

namespace tern {

namespace {
constexpr std::string_view kReserved = "\r\n$*,!\\^~";
constexpr const char* kHex = "0123456789ABCDEF";
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
      out += {'^', kHex[c >> 4], kHex[c & 15]};
    } else {
      out += ch;
    }
  }
  return out;
}

std::string nmeaSentence(std::string_view address, const std::vector<std::string>& fields) {
  std::string body(address);
  for (const auto& f : fields) body += "," + f;
  return "$" + body + "*" + nmeaChecksum(body) + "\r\n";
}

std::string nmeaDecimal(double value, int decimals) {
  char buf[64];
  auto [end, ec] = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::fixed, decimals);
  return ec == std::errc() ? std::string(buf, end) : std::string();
}

}  // namespace tern
