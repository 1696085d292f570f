// Every receiver command through the real TTERN against the simulated receiver.
#include <gtest/gtest.h>

#include <algorithm>

#include "link/firmware_version.h"
#include "sim/test_firmware.h"
#include "sim_test_support.h"

namespace tern::testing {
namespace {

namespace p = protocol;

TEST_F(SimFixture, IdentityStatusAndPresence) {
  sim::Scenario s;
  s.serialNumber = "TRN0001042";
  s.firmwareVersion = "1.2.3";
  s.statusWord = 0x0105;
  start(s);
  EXPECT_TRUE(link->IsReceiverPresent());
  EXPECT_TRUE(link->Ping(true));
  std::string serial, firmware;
  std::uint16_t word = 0;
  ASSERT_TRUE(link->ReadSerialNumber(serial, true));
  ASSERT_TRUE(link->ReadFirmwareVersion(firmware, true));
  ASSERT_TRUE(link->ReadStatus(word, true));
  EXPECT_EQ(serial, "TRN0001042");
  EXPECT_EQ(FirmwareVersionNumber(firmware), 10203);
  EXPECT_EQ(word, 0x0105);
  EXPECT_EQ(link->Handle(), 0u);
}

TEST_F(SimFixture, ClockIsReadSetAndCanBeInvalid) {
  sim::Scenario s;
  s.clockOffsetSeconds = -11;
  start(s);
  CivilTime t;
  bool valid = false;
  ASSERT_TRUE(link->ReadClock(t, valid, true));
  EXPECT_TRUE(valid);
  EXPECT_EQ(secondsSinceEpoch(clock.utcNow()) - secondsSinceEpoch(t), 11);

  ASSERT_TRUE(link->SetClock(clock.utcNow(), true));
  ASSERT_TRUE(link->ReadClock(t, valid, true));
  EXPECT_EQ(secondsSinceEpoch(t), secondsSinceEpoch(clock.utcNow()));

  receiver->setClockValid(false);
  ASSERT_TRUE(link->ReadClock(t, valid, true));
  EXPECT_FALSE(valid);
  EXPECT_EQ(t, clock.localNow()) << "no date in the receiver: the PC's local time";
}

TEST_F(SimFixture, RecordLogsComeNewestFirstAndEndWithTheCloseFrame) {
  sim::Scenario s;
  s.statusWord = p::kStatusNewDwd | p::kStatusNewNavtex;
  s.logs[p::kGroupDwd] = {record(3, "FQEN50", 10), record(4, "FQEN51", 0),
                          record(5, "FQEN52", 300000)};
  start(s);
  ASSERT_TRUE(link->OpenLink());
  ASSERT_TRUE(link->SelectChannel(p::kGroupDwd, false));
  EXPECT_EQ(receiver->statusWord(), p::kStatusNewNavtex) << "selecting DWD clears its bit";

  const std::uint8_t expectedCodes[] = {5, 4, 3};
  const std::size_t expectedLengths[] = {300000, 0, 10};
  for (int i = 0; i < 3; ++i) {
    ASSERT_TRUE(link->NextRecord(false)) << i;
    EXPECT_EQ(link->RecordHeader[0], expectedCodes[i]);
    EXPECT_EQ(link->RecordData().size(), expectedLengths[i]);
  }
  EXPECT_EQ(Bytes(link->RecordHeader.begin(), link->RecordHeader.end()),
            sim::recordHeader(record(3, "FQEN50", 10)));
  EXPECT_EQ(Bytes(link->RecordData().begin(), link->RecordData().end()),
            record(3, "FQEN50", 10).data);
  EXPECT_FALSE(link->NextRecord(false));
  EXPECT_EQ(receiver->requests().size(), 5u);

  // Another channel is empty; selecting again starts from the newest.
  ASSERT_TRUE(link->SelectChannel(p::kGroupFax, false));
  EXPECT_FALSE(link->NextRecord(false));
  ASSERT_TRUE(link->SelectChannel(p::kGroupDwd, false));
  ASSERT_TRUE(link->NextRecord(false));
  EXPECT_EQ(link->RecordHeader[0], 5);
  EXPECT_TRUE(link->CloseLink());
}

TEST_F(SimFixture, PagesAndSettingsBlock) {
  start();
  Bytes block(2001);
  for (std::size_t i = 0; i < block.size(); ++i) block[i] = static_cast<std::uint8_t>(i * 3);
  ASSERT_TRUE(link->WriteSettings(block, true));
  for (int page = 0; page < 4; ++page) {
    Bytes stored = receiver->page(static_cast<std::uint32_t>(page));
    std::size_t length = page < 3 ? 500 : 501;
    EXPECT_TRUE(std::equal(stored.begin(), stored.begin() + static_cast<std::ptrdiff_t>(length),
                           block.begin() + page * 500))
        << page;
  }

  Bytes data(528);
  for (std::size_t i = 0; i < data.size(); ++i) data[i] = static_cast<std::uint8_t>(255 - i);
  ASSERT_TRUE(link->WritePage(600, data, true));
  Bytes back(528);
  ASSERT_TRUE(link->ReadPage(600, back, true));
  EXPECT_EQ(back, data);
  EXPECT_FALSE(link->WritePage(7, data, true));
  EXPECT_TRUE(link->ReadPage(7, back, true));
}

// A receiver put back by Reset after pages, barometer, records and status changed answers
// byte for byte as a new one of the same scenario.
TEST_F(SimFixture, AResetReceiverAnswersAsANewOne) {
  sim::Scenario s;
  s.baroPressures.assign(70, 100);
  s.logs[p::kGroupDwd] = {record(3, "FQEN50", 10), record(4, "FQEN51", 20)};
  auto exchange = [this] {
    std::vector<Bytes> answers;
    std::uint16_t word = 0;
    EXPECT_TRUE(link->ReadStatus(word, true));
    answers.push_back({static_cast<std::uint8_t>(word), static_cast<std::uint8_t>(word >> 8)});
    Bytes block(520);
    EXPECT_TRUE(link->ReadBaroPage(block, true));
    answers.push_back(block);
    EXPECT_TRUE(link->SelectChannel(p::kGroupDwd, true));
    while (link->NextRecord(true))
      answers.emplace_back(link->RecordData().begin(), link->RecordData().end());
    answers.push_back(receiver->page(600));
    return answers;
  };
  start(s);
  const std::vector<Bytes> fresh = exchange();
  // Twice: a reset erases the pages written since the one before, not only since the start.
  for (int round = 0; round < 2; ++round) {
    ASSERT_TRUE(link->WritePage(600, Bytes(528, 0x11), true));
    receiver->addBaroSample(-200);
    receiver->addRecord(p::kGroupDwd, record(5, "FQEN52", 30));
    EXPECT_NE(exchange(), fresh);
    receiver->Reset(s);
    EXPECT_TRUE(receiver->requests().empty());
    EXPECT_EQ(exchange(), fresh) << round;
  }
}

TEST_F(SimFixture, BarometerValuesRingAndStatusBlock) {
  sim::Scenario s;
  for (int i = 0; i < 100; ++i) s.baroPressures.push_back(static_cast<std::int16_t>(i));
  s.baroHead = 130;
  start(s);
  link->BaroChanged = 0;
  ASSERT_TRUE(link->ReadBaroNow(true));
  EXPECT_EQ(link->Pressure, 1325);
  EXPECT_EQ(link->Temperature, 185);
  EXPECT_EQ(link->BaroChanged, 0);
  receiver->addBaroSample(-200);  // ring position 130 is the 101st sample
  ASSERT_TRUE(link->ReadBaroNow(true));
  EXPECT_EQ(link->Pressure, -200);
  EXPECT_EQ(link->BaroChanged, 1);

  Bytes block(520);
  ASSERT_TRUE(link->ReadBaroPage(block, true));
  EXPECT_EQ(getU16(block, 4), 131);
  EXPECT_EQ(getU16(block, 6), 101);
  // The block carries the page holding the newest sample: ring page 2 (positions 128..191).
  EXPECT_EQ(static_cast<std::int16_t>(getU16(block, 8 + 2 * 8)), -200);
  EXPECT_EQ(static_cast<std::int16_t>(getU16(block, 8 + 1 * 8)), 99);

  // The oldest sample (position 30) lies in ring page 0, receiver page 8.
  Bytes page(520);
  ASSERT_TRUE(link->ReadPage(8, page, true));
  EXPECT_EQ(getU16(page, 8 + 30 * 8), 0);
  EXPECT_EQ(getU16(page, 8 + 63 * 8), 33);
}

TEST_F(SimFixture, ReceptionTestStreamsTextThenEnds) {
  sim::Scenario s;
  s.receiveTestText = {'R', 'Y', '\r', '\n'};
  s.receiveTestByteInterval = std::chrono::milliseconds(100);
  start(s);
  ASSERT_TRUE(link->OpenLink());
  ASSERT_TRUE(link->StartReceiveTest(3, false));
  std::uint8_t b = 0;
  EXPECT_FALSE(link->ReadStreamByte(b, false)) << "nothing has arrived yet";
  Bytes got;
  for (int i = 0; i < 10 && (got.empty() || got.back() != 255); ++i) {
    clock.advance(std::chrono::milliseconds(100));
    while (link->ReadStreamByte(b, false)) got.push_back(b);
  }
  EXPECT_EQ(got, Bytes({'R', 'Y', '\r', '\n', 255}));
  EXPECT_TRUE(link->StopReceiveTest(false));
  EXPECT_FALSE(receiver->receiveTestRunning());
  EXPECT_TRUE(link->CloseLink());
}

TEST_F(SimFixture, ReceptionTestTextNamesTheTunedTransmitter) {
  sim::Scenario s;
  const std::string text = "RY {CALL} {CALL}\r\n";
  s.receiveTestText.assign(text.begin(), text.end());
  s.receiveTestByteInterval = std::chrono::milliseconds(10);
  start(s);
  ASSERT_TRUE(link->OpenLink());
  ASSERT_TRUE(link->StartReceiveTest(8, false));  // DDK9
  std::string got;
  std::uint8_t b = 0;
  for (int i = 0; i < 100 && (got.empty() || got.back() != '\xFF'); ++i) {
    clock.advance(std::chrono::milliseconds(10));
    while (link->ReadStreamByte(b, false)) got.push_back(static_cast<char>(b));
  }
  EXPECT_EQ(got, "RY DDK9 DDK9\r\n\xFF");
  EXPECT_TRUE(link->StopReceiveTest(false));
}

TEST_F(SimFixture, StoppingMidStreamDropsTheRestBehindTheAcknowledgement) {
  sim::Scenario s;
  s.receiveTestText = Bytes(100, 'X');
  start(s);
  ASSERT_TRUE(link->StartReceiveTest(5, true));
  clock.advance(std::chrono::milliseconds(1000));  // a few bytes are on their way
  EXPECT_TRUE(link->StopReceiveTest(true));
  ASSERT_TRUE(link->OpenLink());
  EXPECT_EQ(link->QueuedBytes(), 0u);
}

TEST_F(SimFixture, ProgrammingNeedsTheUnlockSequence) {
  sim::Scenario s;
  s.firmwareVersion = "1.1.0";
  s.logs[0] = {record(10, "SA01", 5)};
  start(s);
  ASSERT_TRUE(link->OpenLink());
  // A wrong sequence is not answered and changes nothing.
  std::span<std::uint8_t> tx = link->TxBuffer();
  const std::uint8_t wrong[] = {12, 6, 1, 2, 3, 4, 5, 6};
  std::copy(std::begin(wrong), std::end(wrong), tx.begin());
  ASSERT_EQ(link->SendBytes(8), 8u);
  EXPECT_EQ(link->ReceiveBytes(2), 0u);
  EXPECT_EQ(receiver->programmingStarts(), 0);

  ASSERT_TRUE(link->StartProgramming(sim::kTestUnlockSequence, false));
  EXPECT_EQ(receiver->programmingStarts(), 1);
  std::string fw;
  ASSERT_TRUE(link->ReadFirmwareVersion(fw, false));
  EXPECT_EQ(fw, "1.2.4");
  ASSERT_TRUE(link->SelectChannel(0, false));
  EXPECT_FALSE(link->NextRecord(false)) << "reprogramming formats the message memory";
}

TEST_F(SimFixture, GarbageFramesAreIgnored) {
  start();
  ASSERT_TRUE(link->OpenLink());
  const std::uint8_t junk[] = {99, 0, 1, 3, 0, 0, 0, 16, 1, 7};  // unknown code, wrong lengths
  std::copy(std::begin(junk), std::end(junk), link->TxBuffer().begin());
  ASSERT_EQ(link->SendBytes(sizeof junk), sizeof junk);
  EXPECT_EQ(link->QueuedBytes(), 0u);
  EXPECT_TRUE(link->Ping(false));
}

}  // namespace
}  // namespace tern::testing
