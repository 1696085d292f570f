#include "messages/nrx_sentences.h"

#include <gtest/gtest.h>

#include "common/udp_sender.h"
#include "fakes/nrx_reader.h"
#include "fakes/udp_listener.h"
#include "messages/barometer_sentences.h"
#include "messages/nmea_sentence.h"

namespace tern {
namespace {

MessageRecord navtex(const std::string& key, const std::string& text, std::uint8_t flags = 0) {
  MessageRecord r;
  r.header = makeHeader(10, static_cast<std::uint32_t>(text.size()), key,
                        CivilTime{2026, 12, 8, 14, 20, 5, 0}, flags);
  r.data.assign(text.begin(), text.end());
  return r;
}

// Every sentence through the independent reader; the one message they make.
testing::NrxMessage readBack(const std::vector<std::string>& sentences) {
  testing::NrxReader reader;
  std::vector<testing::NrxMessage> done;
  for (const auto& s : sentences) {
    if (auto m = reader.feed(s)) done.push_back(*m);
  }
  EXPECT_TRUE(reader.errors.empty()) << reader.errors.front();
  EXPECT_EQ(done.size(), 1u);
  return done.empty() ? testing::NrxMessage{} : done.front();
}

TEST(NmeaSentence, ChecksumEscapesAndNumbers) {
  // Known sentence from the NMEA world: $GPGLL,...*hh
  EXPECT_EQ(nmeaChecksum("GPGLL,5300.97914,N,00259.98174,E,125926,A"), "28");
  EXPECT_EQ(nmeaEscape("A\r\n$*,!\\^~\x7FZ"), "A^0D^0A^24^2A^2C^21^5C^5E^7E^7FZ");
  EXPECT_EQ(nmeaEscape(std::string("\xE4\x01", 2)), "^E4^01");
  EXPECT_EQ(nmeaDecimal(1.013246, 5), "1.01325");
  EXPECT_EQ(nmeaDecimal(-0.04, 1), "-0.0");
}

TEST(NrxSentences, ACommaACaretLineBreaksAndTwoHundredCharactersComeBackWhole) {
  std::string text = "ZCZC SA01\r\nWRECK 54-10N, 007-30E ^ MARKED\r\n";
  while (text.size() < 200) text += "MARINERS ARE ADVISED TO NAVIGATE WITH CAUTION. ";
  text.resize(200);
  const auto sentences = nrxSentences(navtex("SA01", text), 490, 7);
  EXPECT_GT(sentences.size(), 3u);
  const auto m = readBack(sentences);
  EXPECT_EQ(m.text, text);
  EXPECT_EQ(m.id, 7);
  EXPECT_EQ(m.code, "SA01");
  EXPECT_EQ(m.frequencyIndex, "1");
  EXPECT_EQ(m.time + " " + m.day + "." + m.month + "." + m.year, "142005.00 08.12.2026");
  EXPECT_EQ(m.total + " " + m.bad + " " + m.status, "200 0 A");
}

TEST(NrxSentences, BadCharactersStatusAndLimits) {
  // The receiver's "*" for undecodable characters, and its damage marks in the flag byte.
  auto m = readBack(nrxSentences(navtex("PB12", "GALE *ARNING GER*AN BIGHT"), 518, 99));
  EXPECT_EQ(m.frequencyIndex + " " + m.total + " " + m.bad + " " + m.status, "2 25 2 A");
  EXPECT_EQ(m.id, 99);
  for (std::uint8_t flags : {1, 2}) {
    EXPECT_EQ(readBack(nrxSentences(navtex("PB12", "X", flags), 518, 0)).status, "V");
  }
  // An empty message is one sentence; ids wrap; a message beyond 999 sentences is cut there.
  EXPECT_EQ(nrxSentences(navtex("SB03", ""), 518, 100).front().substr(0, 18), "$CRNRX,001,001,00,");
  const auto huge = nrxSentences(navtex("SB04", std::string(100000, ',')), 518, 1);
  EXPECT_EQ(huge.size(), 999u);
  EXPECT_EQ(huge.back().substr(0, 15), "$CRNRX,999,999,");
}

TEST(BarometerSentences, MdaAndXdrInBothUnits) {
  const BarometerReading reading{1013.25, 15.3};
  EXPECT_EQ(mdaSentence(reading), "$WIMDA,29.9213,I,1.01325,B,15.3,C,,C,,,,C,,T,,M,,N,,M*" +
                                      nmeaChecksum("WIMDA,29.9213,I,1.01325,B,15.3,C,,C,,,,C,,T,,"
                                                   "M,,N,,M") +
                                      "\r\n");
  EXPECT_EQ(xdrSentence(BarometerReading{998.0, -2.04}),
            "$WIXDR,P,0.99800,B,Barometer,C,-2.0,C,AirTemp*" +
                nmeaChecksum("WIXDR,P,0.99800,B,Barometer,C,-2.0,C,AirTemp") + "\r\n");
}

TEST(NmeaUdp, AMultiSentenceMessageArrivesOnTheLoopbackAndReassembles) {
  testing::UdpListener rx;
  ASSERT_TRUE(rx.ok());
  auto target = parseUdpTarget(rx.target());
  ASSERT_TRUE(target);
  UdpSender sender;
  ASSERT_EQ(sender.open(*target), "");
  const std::string text =
      "ZCZC PA12\r\n081420 UTC DEC 26\r\nGERMAN BIGHT, RIG 'ALPHA' 54-10N 007-30E UNLIT; "
      "MARINERS ARE REQUESTED TO KEEP CLEAR BY 2 NM!\r\nNNNN";
  auto sentences = nrxSentences(navtex("PA12", text), 518, 3);
  for (const auto& s : sentences) ASSERT_EQ(sender.send(s), "");

  std::vector<std::string> received;
  while (received.size() < sentences.size()) {
    auto sentence = rx.receive(2000);
    if (!sentence) break;
    received.push_back(*sentence);
  }
  ASSERT_EQ(received.size(), sentences.size());
  EXPECT_EQ(readBack(received).text, text);
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
