#include "link/receive_test_text.h"

#include <gtest/gtest.h>

namespace tern::testing {
namespace {

using Effect = ReceiveTestText::Effect;
using Lines = std::vector<std::string>;

TEST(ReceiveTestText, CarriageReturnIsIgnoredAndLineFeedStartsALine) {
  ReceiveTestText text;
  text.Start("DDH47");
  for (std::uint8_t b : std::initializer_list<std::uint8_t>{'A', 'B', 13, 10, 'C'}) text.Feed(b);
  EXPECT_EQ(text.Lines(), (Lines{"Start Empfangstest DDH47", "", "AB", "C"}));
  EXPECT_EQ(text.Joined(), "Start Empfangstest DDH47\n\nAB\nC");
  text.Start("DDH47");
  EXPECT_EQ(text.Joined(), "Start Empfangstest DDH47\n\n");  // the stream writes below
}

TEST(ReceiveTestText, EndMarkAddsNothingAndLatin1BecomesUtf8) {
  ReceiveTestText text;
  text.Start("DDK9");
  EXPECT_EQ(text.Feed(0xC4), Effect::Character);  // Ä
  EXPECT_EQ(text.Feed(13), Effect::Ignored);
  EXPECT_EQ(text.Feed(10), Effect::NewLine);
  EXPECT_EQ(text.Feed(255), Effect::Ended);
  text.AddLine(kReceiveTestFinished);
  EXPECT_EQ(text.Lines(),
            (Lines{"Start Empfangstest DDK9", "", "\xC3\x84", "Empfangstest abgeschlossen."}));
  // A new start clears what the last transmitter sent.
  text.Start("DDH7");
  EXPECT_EQ(text.Lines(), (Lines{"Start Empfangstest DDH7", ""}));
}

TEST(ReceiveTestText, SixTransmittersWithTheirCodes) {
  ASSERT_NE(FindReceiveTestTransmitter("DDK9"), nullptr);
  EXPECT_EQ(FindReceiveTestTransmitter("DDK9")->code, 8);
  EXPECT_EQ(FindReceiveTestTransmitter("DDH47")->code, 3);
  EXPECT_EQ(FindReceiveTestTransmitter("ddk9"), nullptr);
  EXPECT_EQ(FindReceiveTestTransmitter("DDH3"), nullptr);  // a fax transmitter
}

TEST(ReceiveTestText, OnlyFirmware100IsOfferedTheUpdateInstead) {
  EXPECT_TRUE(FirmwareTooOldForReceiveTest("1.0.0"));
  EXPECT_FALSE(FirmwareTooOldForReceiveTest("1.1.0"));
  EXPECT_FALSE(FirmwareTooOldForReceiveTest("1.2.4"));
  EXPECT_FALSE(FirmwareTooOldForReceiveTest("Kein Empfänger"));
  EXPECT_EQ(kReceiveTestQuestion.back(), ' ');
}

TEST(ReceiveTestText, TimeLeftOfTheThreeMinutesRoundsUpAndStopsAtNothing) {
  const std::vector<std::pair<std::int64_t, std::string>> cases{
      {0, "Noch 3:00 Min."},       {1, "Noch 3:00 Min."},       {15'000, "Noch 2:45 Min."},
      {179'001, "Noch 0:01 Min."}, {180'000, "Noch 0:00 Min."}, {400'000, "Noch 0:00 Min."},
  };
  for (const auto& [elapsed, text] : cases)
    EXPECT_EQ(ReceiveTestTimeLeft(elapsed), text) << elapsed;
}

}  // namespace
}  // namespace tern::testing
