#include "messages/nrx_sentences.h"

#include <algorithm>
#include <cstdio>

#include "messages/channels.h"
#include "messages/nmea_sentence.h"

namespace tern {

namespace {

constexpr std::size_t kTextField = 12;

std::string digits(int value, int width) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "%0*d", width, value);
  return buf;
}

}  // namespace

int nrxFrequencyIndex(int frequencyKhz) {
  const int which = navtexOfKhz(frequencyKhz);
  return which < 0 ? navtexFrequency(kNavtex518).nrxIndex : navtexFrequency(which).nrxIndex;
}

std::size_t navtexBadCharacters(const MessageRecord& record) {
  return static_cast<std::size_t>(std::count(record.data.begin(), record.data.end(), '*'));
}

bool navtexDamaged(const MessageRecord& record) { return (record.flagByte() & 0x03) != 0; }

std::vector<std::string> nrxSentences(const MessageRecord& record, int frequencyKhz,
                                      int messageId) {
  const CivilTime t = record.receptionTime();
  std::vector<std::string> first = {
      "",
      "",
      digits(messageId % kNrxMessageIds, 2),
      nmeaEscape(record.keyText().substr(0, 4)),
      std::to_string(nrxFrequencyIndex(frequencyKhz)),
      digits(t.hour, 2) + digits(t.minute, 2) + digits(t.second, 2) + ".00",
      digits(t.day, 2),
      digits(t.month, 2),
      digits(t.year, 4),
      std::to_string(record.data.size()),
      std::to_string(navtexBadCharacters(record)),
      navtexDamaged(record) ? "V" : "A",
      ""};
  std::vector<std::string> later(first.size());
  later[2] = first[2];
  // The counts always have three digits, so the room for text is known before splitting.
  auto room = [](std::vector<std::string> fields) {
    fields[0] = fields[1] = "000";
    return kNmeaMaxSentence - nmeaSentence("CRNRX", fields).size();
  };
  const std::size_t firstRoom = room(first), laterRoom = room(later);

  std::vector<std::string> texts(1);
  for (std::uint8_t b : record.data) {
    const std::string unit = nmeaEscape(std::string(1, static_cast<char>(b)));
    if (texts.back().size() + unit.size() > (texts.size() == 1 ? firstRoom : laterRoom)) {
      if (texts.size() == kNrxMaxSentences) break;
      texts.emplace_back();
    }
    texts.back() += unit;
  }

  std::vector<std::string> out;
  const std::string total = digits(static_cast<int>(texts.size()), 3);
  for (std::size_t i = 0; i < texts.size(); ++i) {
    std::vector<std::string> fields = i == 0 ? first : later;
    fields[0] = total;
    fields[1] = digits(static_cast<int>(i + 1), 3);
    fields[kTextField] = texts[i];
    out.push_back(nmeaSentence("CRNRX", fields));
  }
  return out;
}

}  // namespace tern
