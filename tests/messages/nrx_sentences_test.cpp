#include "messages/nrx_sentences.h"

#include <gtest/gtest.h>

#include "common/udp_sender.h"
#include "fakes/udp_listener.h"

namespace tern {
namespace {

MessageRecord navtex(const std::string& key, const std::string& text) {
  MessageRecord r;
  r.header = makeHeader(10, static_cast<std::uint32_t>(text.size()), key,
                        CivilTime{2026, 12, 8, 14, 20, 5, 0});
  r.data.assign(text.begin(), text.end());
  return r;
}

std::string unescape(const std::string& text) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '^' && i + 2 < text.size()) {
      out += static_cast<char>(std::stoi(text.substr(i + 1, 2), nullptr, 16));
      i += 2;
    } else {
      out += text[i];
    }
  }
  return out;
}

struct Parsed {
  std::vector<std::string> fields;  // after "CRNRX"
};

// Checks the frame of one sentence (start, checksum, CR LF, length) and splits its fields.
Parsed parse(const std::string& s) {
  EXPECT_LE(s.size(), kNmeaMaxSentence) << s;
  EXPECT_EQ(s.substr(0, 7), "$CRNRX,");
  EXPECT_EQ(s.substr(s.size() - 2), "\r\n");
  const auto star = s.rfind('*');
  EXPECT_EQ(star, s.size() - 5);
  const std::string body = s.substr(1, star - 1);
  EXPECT_EQ(s.substr(star + 1, 2), nmeaChecksum(body));
  EXPECT_EQ(body.find_first_of("$*!\\~\r\n"), std::string::npos) << body;
  Parsed p;
  std::size_t from = 6;
  for (;;) {
    auto comma = body.find(',', from);
    p.fields.push_back(body.substr(from, comma - from));
    if (comma == std::string::npos) break;
    from = comma + 1;
  }
  return p;
}

// Joins the texts of a message's sentences, checking numbering and the first-only fields.
std::string reassemble(const std::vector<std::string>& sentences) {
  std::string text;
  for (std::size_t i = 0; i < sentences.size(); ++i) {
    Parsed p = parse(sentences[i]);
    EXPECT_EQ(p.fields.size(), 10u);
    if (p.fields.size() != 10u) return {};
    EXPECT_EQ(p.fields[1], std::to_string(i + 1));
    EXPECT_EQ(p.fields[2], std::to_string(sentences.size()));
    for (int f = 3; f < 9; ++f) EXPECT_EQ(p.fields[f].empty(), i != 0 || f == 8) << f;
    text += unescape(p.fields[9]);
  }
  return text;
}

TEST(NmeaSentence, ChecksumAndEscapes) {
  // Known sentence from the NMEA world: $GPGLL,...*hh
  EXPECT_EQ(nmeaChecksum("GPGLL,5300.97914,N,00259.98174,E,125926,A"), "28");
  EXPECT_EQ(nmeaChecksum(""), "00");
  EXPECT_EQ(nmeaEscape("A\r\n$*,!\\^~Z"), "A^0D^0A^24^2A^2C^21^5C^5E^7EZ");
  EXPECT_EQ(nmeaEscape(std::string("\xE4\x01", 2)), "^E4^01");
}

TEST(NmeaSentence, FieldsOfTheFirstSentenceOnly) {
  auto s = nrxSentences(navtex("SA01", "ZCZC SA01\r\nGALE WARNING\r\nNNNN"), 518);
  ASSERT_EQ(s.size(), 3u);
  Parsed first = parse(s[0]);
  EXPECT_EQ(first.fields, (std::vector<std::string>{"SA01", "1", "3", "518", "08", "12", "2026",
                                                    "142005", "", "ZCZC SA01^0D^0A"}));
  EXPECT_EQ(reassemble(s), "ZCZC SA01\r\nGALE WARNING\r\nNNNN");
}

TEST(NmeaSentence, LongLinesSplitWithinTheLimitWithoutCuttingEscapes) {
  std::string line;
  for (int i = 0; i < 60; ++i) line += "AB,C$";  // 300 characters, 120 of them escaped
  const std::string text = line + "\r\n\r\nEND";
  auto s = nrxSentences(navtex("SB02", text), 490);
  EXPECT_GT(s.size(), 10u);  // enough to need two-digit counts
  for (const auto& sentence : s) EXPECT_LE(sentence.size(), kNmeaMaxSentence);
  EXPECT_EQ(reassemble(s), text);
  EXPECT_EQ(nrxSentences(navtex("SB03", ""), 518).size(), 1u);
}

TEST(NmeaUdp, AMultiLineMessageArrivesOnTheLoopbackAndReassembles) {
  testing::UdpListener rx;
  ASSERT_TRUE(rx.ok());
  auto target = parseUdpTarget(rx.target());
  ASSERT_TRUE(target);
  UdpSender sender;
  ASSERT_EQ(sender.open(*target), "");
  const std::string text =
      "ZCZC PA12\r\n081420 UTC DEC 26\r\nGERMAN BIGHT, RIG 'ALPHA' 54-10N 007-30E UNLIT; "
      "MARINERS ARE REQUESTED TO KEEP CLEAR BY 2 NM!\r\nNNNN";
  auto sentences = nrxSentences(navtex("PA12", text), 518);
  for (const auto& s : sentences) ASSERT_EQ(sender.send(s), "");

  std::vector<std::string> received;
  while (received.size() < sentences.size()) {
    auto sentence = rx.receive(2000);
    if (!sentence) break;
    received.push_back(*sentence);
  }
  ASSERT_EQ(received.size(), sentences.size());
  EXPECT_EQ(reassemble(received), text);
}

TEST(NmeaUdp, TargetsParsed) {
  EXPECT_TRUE(parseUdpTarget("127.0.0.1:10110"));
  EXPECT_EQ(parseUdpTarget("[::1]:10110")->host, "::1");
  EXPECT_EQ(parseUdpTarget("plotter.local:2000")->port, 2000);
  for (const char* bad :
       {"", "127.0.0.1", ":10110", "host:", "host:0", "host:70000", "host:1x", "::1:10110"}) {
    EXPECT_FALSE(parseUdpTarget(bad)) << bad;
  }
}

}  // namespace
}  // namespace tern
