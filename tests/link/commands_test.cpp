// Byte-exact tests of the receiver commands against the scripted fake port.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <map>
#include <memory>

#include "link/firmware_version.h"
#include "link/transmitter_names.h"
#include "link_test_support.h"

namespace tern::testing {
namespace {

using Calls = std::vector<std::string>;
namespace p = protocol;

struct Exchange {
  const char* name;
  std::function<bool(TTERN&)> run;
  Bytes reply;
  Bytes request;
  bool result;
};

TEST_F(LinkFixture, SimpleExchangesSendTheExactRequestAndCheckTheReply) {
  std::uint16_t word = 0;
  const Exchange cases[] = {
      {"ping", [](TTERN& t) { return t.Ping(true); }, {1, 0}, {1, 0}, true},
      {"ping wrong length", [](TTERN& t) { return t.Ping(true); }, {1, 1}, {1, 0}, false},
      {"ping silent", [](TTERN& t) { return t.Ping(true); }, {}, {1, 0}, false},
      {"status", [&](TTERN& t) { return t.ReadStatus(word, true); }, {16, 2, 5, 1}, {16, 0}, true},
      {"status short",
       [&](TTERN& t) { return t.ReadStatus(word, true); },
       {16, 2, 5},
       {16, 0},
       false},
      {"status echo",
       [&](TTERN& t) { return t.ReadStatus(word, true); },
       {17, 2, 5, 1},
       {16, 0},
       false},
      {"select", [](TTERN& t) { return t.SelectChannel(2, true); }, {8, 0}, {8, 1, 2}, true},
      {"start test",
       [](TTERN& t) { return t.StartReceiveTest(4, true); },
       {19, 0},
       {19, 1, 4},
       true},
      {"start test no ack",
       [](TTERN& t) { return t.StartReceiveTest(4, true); },
       {19, 1},
       {19, 1, 4},
       false},
      {"programming",
       [](TTERN& t) {
         return t.StartProgramming({0xA1, 2, 3, 4, 5, 0xF6}, true);
       },
       {12, 0},
       {12, 6, 0xA1, 2, 3, 4, 5, 0xF6},
       true},
      {"set clock",
       [](TTERN& t) {
         return t.SetClock({2026, 3, 5, 14, 20, 7, 999}, true);
       },
       {},
       {3, 8, 7, 20, 14, 5, 5, 3, 26, 1},
       true},  // 5 March 2026 is a Thursday
      {"set clock sunday",
       [](TTERN& t) {
         return t.SetClock({2000, 1, 2, 0, 0, 0, 0}, true);
       },
       {},
       {3, 8, 0, 0, 0, 1, 2, 1, 0, 1},
       true},
  };
  for (const auto& c : cases) {
    port->replies.assign(c.reply.begin(), c.reply.end());
    port->clearLog();
    EXPECT_EQ(c.run(*link), c.result) << c.name;
    EXPECT_EQ(port->written(), c.request) << c.name;
    EXPECT_EQ(port->calls.front(), "open") << c.name;
    EXPECT_EQ(port->calls.back(), "close") << c.name;
    EXPECT_EQ(link->Handle(), 0u) << c.name;
  }
  EXPECT_EQ(word, 0x0105);
}

TEST_F(LinkFixture, AutoOpenConvention) {
  port->failOpen = true;
  EXPECT_FALSE(link->Ping(true));
  EXPECT_EQ(port->calls, Calls({"open"}));

  port->failOpen = false;
  port->reply({1, 0});
  port->failClose = true;
  EXPECT_FALSE(link->Ping(true)) << "a failed final close fails the command";
  port->failClose = false;
  link->CloseLink();

  openQuietly();
  port->reply({1, 0});
  EXPECT_TRUE(link->Ping(false));
  EXPECT_NE(link->Handle(), 0u) << "without AutoOpen the caller keeps the link";
  for (const auto& call : port->calls) EXPECT_TRUE(call != "open" && call != "close") << call;
}

TEST_F(LinkFixture, PingWaits500msAndRestoresTheReadTimeout) {
  port->reply({1, 0});
  ASSERT_TRUE(link->Ping(true));
  EXPECT_EQ(port->calls,
            Calls({"open", "timeouts 800 800", "write 2", "timeouts 500 800", "read 2", "close"}));
  EXPECT_EQ(link->ReadTimeout(), 800u);

  openQuietly();
  EXPECT_FALSE(link->Ping(false));
  EXPECT_EQ(port->calls, Calls({"write 2", "timeouts 500 800", "read 2", "timeouts 800 800"}));
}

TEST_F(LinkFixture, ReadClock) {
  CivilTime t;
  bool valid = false;
  port->reply({2, 8, 7, 20, 14, 5, 5, 3, 26, 1});
  ASSERT_TRUE(link->ReadClock(t, valid, true));
  EXPECT_EQ(t, (CivilTime{2026, 3, 5, 14, 20, 7, 0}));
  EXPECT_TRUE(valid);

  // 31 February: the PC's local time instead, and still success.
  port->reply({2, 8, 0, 0, 0, 1, 31, 2, 26, 0});
  ASSERT_TRUE(link->ReadClock(t, valid, true));
  EXPECT_EQ(t, clock.localNow());
  EXPECT_FALSE(valid);

  port->reply({2, 7, 0, 0, 0, 1, 1, 1, 26, 1});
  EXPECT_FALSE(link->ReadClock(t, valid, true));
}

TEST_F(LinkFixture, SetClockRefusesTimesTheReceiverCannotHold) {
  EXPECT_FALSE(link->SetClock({1999, 12, 31, 23, 59, 59, 0}, true));
  EXPECT_FALSE(link->SetClock({2026, 2, 30, 0, 0, 0, 0}, true));
  EXPECT_TRUE(port->calls.empty());
}

TEST_F(LinkFixture, SelectChannelWaitsForTheAcknowledgementOnTheClock) {
  port->queuedScript = {0, 0, 2};
  port->reply({8, 0});
  ASSERT_TRUE(link->SelectChannel(1, true));
  EXPECT_EQ(clock.sleepCount(), 2);

  // Never two bytes queued: ten waits of 50 ms, then the read anyway.
  port->queuedScript = std::deque<std::uint32_t>(10, 0);
  port->reply({8, 0});
  CivilTime before = clock.utcNow();
  ASSERT_TRUE(link->SelectChannel(0, true));
  EXPECT_EQ(secondsSinceEpoch(clock.utcNow()) * 1000 + clock.utcNow().millisecond -
                (secondsSinceEpoch(before) * 1000 + before.millisecond),
            500);
}

Bytes recordReply(std::uint32_t length, std::uint8_t more = 1) {
  Bytes r{9, 1, more, 3};
  r.resize(3 + 26, 0);
  putU32(r.data() + 4, length);
  r[8] = 'F';
  for (std::uint32_t i = 0; i < length; ++i) r.push_back(static_cast<std::uint8_t>(i));
  return r;
}

TEST_F(LinkFixture, NextRecordReadsHeaderThenDataWithALongTimeout) {
  port->reply(recordReply(5));
  ASSERT_TRUE(link->NextRecord(true));
  // Nothing may wait behind the data: the header told the record's whole length.
  EXPECT_EQ(port->calls,
            Calls({"open", "timeouts 800 800", "write 2", "read 3", "read 26", "timeouts 4000 800",
                   "read 5", "queued", "timeouts 800 800", "close"}));
  EXPECT_EQ(link->RecordHeader[0], 3);
  EXPECT_EQ(link->RecordHeader[5], 'F');
  EXPECT_EQ(link->RecordData().size(), 5u);
  EXPECT_EQ(link->RecordData()[4], 4);
  EXPECT_EQ(link->ReadTimeout(), 800u);
}

TEST_F(LinkFixture, NextRecordEdgeCases) {
  using R = TTERN::RecordResult;
  struct Case {
    const char* name;
    Bytes reply;
    R result;
    std::size_t reads;
  };
  Bytes huge = recordReply(0);
  putU32(huge.data() + 4, 1048577);
  Bytes shortData = recordReply(10);
  shortData.resize(shortData.size() - 1);
  Bytes longData = recordReply(4);
  longData.insert(longData.end(), {0xEE, 0xEE});
  // A record announcing more than the buffer takes is drained (one more read) and reported
  // damaged, as is one whose data stop short: the read-out skips both and goes on.
  const Case cases[] = {
      {"no data", recordReply(0), R::Record, 2},
      {"end of log", {9, 1, 0}, R::End, 1},
      {"data above 1 MiB", huge, R::Damaged, 3},
      {"data cut short", shortData, R::Damaged, 3},
      {"wrong echo", {8, 1, 1}, R::Failed, 1},
      // The rest behind the announced data is drained until the line is quiet.
      {"data longer than announced", longData, R::Damaged, 5},
  };
  for (const auto& c : cases) {
    for (bool fetch : {false, true}) {
      port->replies.assign(c.reply.begin(), c.reply.end());
      port->clearLog();
      if (fetch) {
        EXPECT_EQ(link->FetchRecord(true), c.result) << c.name;
      } else {
        EXPECT_EQ(link->NextRecord(true), c.result == R::Record) << c.name;
      }
      EXPECT_EQ(std::count_if(port->calls.begin(), port->calls.end(),
                              [](const std::string& s) { return s.rfind("read", 0) == 0; }),
                static_cast<std::ptrdiff_t>(c.reads))
          << c.name;
      EXPECT_EQ(link->ReadTimeout(), 800u) << c.name;
      EXPECT_EQ(port->calls.back(), "close") << c.name;
      if (c.result != R::Record) {
        EXPECT_TRUE(link->RecordData().empty()) << c.name;
      }
    }
  }
}

TEST_F(LinkFixture, PageCommandsRefuseBadArgumentsWithoutTouchingTheLink) {
  Bytes data(528, 0xAB);
  Bytes tooLong(529);
  std::array<std::uint8_t, 529> buf{};
  EXPECT_FALSE(link->WritePage(7, ByteView(data).first(16), true));
  EXPECT_FALSE(link->WritePage(8192, ByteView(data).first(16), true));
  EXPECT_FALSE(link->WritePage(8, tooLong, true));
  EXPECT_FALSE(link->ReadPage(8192, std::span(buf).first(16), true));
  EXPECT_FALSE(link->ReadPage(8, buf, true));
  EXPECT_FALSE(link->WriteSettings(Bytes(1999), true));
  EXPECT_FALSE(link->WriteSettings(Bytes(2029), true));
  EXPECT_TRUE(port->calls.empty());
}

TEST_F(LinkFixture, WritePageSendsRequestThenDataAndReadPageMayReadPage7) {
  Bytes data(528, 0xAB);
  port->reply({10, 0});
  ASSERT_TRUE(link->WritePage(8191, data, true));
  ASSERT_EQ(port->writes.size(), 2u);
  EXPECT_EQ(port->writes[0], bytesOf({10, 4, 0xFF, 0x1F, 0x10, 0x02}));
  EXPECT_EQ(port->writes[1], data);

  port->clearLog();
  port->reply({11, 0, 1, 2, 3});
  std::array<std::uint8_t, 3> back{};
  ASSERT_TRUE(link->ReadPage(7, back, true));
  EXPECT_EQ(port->written(), bytesOf({11, 4, 7, 0, 3, 0}));
  EXPECT_EQ(back, (std::array<std::uint8_t, 3>{1, 2, 3}));

  port->reply({11, 0, 1, 2});
  EXPECT_FALSE(link->ReadPage(7, back, true)) << "short page data";
}

// Answers page writes and reads like a receiver's memory would.
void actAsPageMemory(FakePort& port, std::map<int, Bytes>& pages) {
  auto pending = std::make_shared<std::optional<int>>();
  port.responder = [&pages, pending](ByteView w, FakePort& self) {
    if (*pending) {
      pages[**pending] = Bytes(w.begin(), w.end());
      pending->reset();
      self.reply({10, 0});
    } else if (w.size() == 6 && w[0] == 10) {
      *pending = getU16(w, 2);
    } else if (w.size() == 6 && w[0] == 11) {
      self.reply({11, 0});
      Bytes page = pages[getU16(w, 2)];
      page.resize(getU16(w, 4));
      self.reply(page);
    }
  };
}

TEST_F(LinkFixture, WriteSettingsWrites500500500AndTheRestThenVerifies) {
  std::map<int, Bytes> pages;
  actAsPageMemory(*port, pages);
  Bytes block(2001);
  for (std::size_t i = 0; i < block.size(); ++i) block[i] = static_cast<std::uint8_t>(i * 7);
  ASSERT_TRUE(link->WriteSettings(block, true));
  ASSERT_EQ(pages.size(), 4u);
  EXPECT_EQ(pages[0].size(), 500u);
  EXPECT_EQ(pages[1].size(), 500u);
  EXPECT_EQ(pages[2].size(), 500u);
  EXPECT_EQ(pages[3].size(), 501u);
  EXPECT_EQ(pages[3].back(), block.back());
  Calls ioCalls;
  for (const auto& c : port->calls)
    if (c.rfind("write", 0) == 0 || c.rfind("read", 0) == 0) ioCalls.push_back(c);
  EXPECT_EQ(ioCalls,
            Calls({"write 6", "write 500", "read 2",   "write 6", "write 500", "read 2",
                   "write 6", "write 500", "read 2",   "write 6", "write 501", "read 2",
                   "write 6", "read 2",    "read 500", "write 6", "read 2",    "read 500",
                   "write 6", "read 2",    "read 500", "write 6", "read 2",    "read 501"}));
  EXPECT_EQ(link->Handle(), 0u);
}

TEST_F(LinkFixture, WriteSettingsClosesTheLinkOnAnyFailureEvenWithoutAutoOpen) {
  std::map<int, Bytes> pages;
  actAsPageMemory(*port, pages);
  auto memory = port->responder;
  port->responder = [memory](ByteView w, FakePort& self) {
    memory(w, self);
    if (w.size() == 6 && w[0] == 11 && w[2] == 2) self.replies.back() ^= 1;  // page 2 differs
  };
  openQuietly();
  EXPECT_FALSE(link->WriteSettings(Bytes(2000, 0x55), false));
  EXPECT_EQ(link->Handle(), 0u);
  EXPECT_EQ(port->calls.back(), "close");
}

TEST_F(LinkFixture, IdentityTexts) {
  struct Case {
    Bytes reply;
    bool result;
    std::string text;
  };
  auto textReply = [](std::uint8_t code, std::string_view s) {
    Bytes r{code, 12};
    r.insert(r.end(), s.begin(), s.end());
    r.resize(14, 0);
    return r;
  };
  const Case cases[] = {
      {textReply(14, "TRN0001042"), true, "TRN0001042"},     {textReply(14, ""), true, ""},
      {textReply(14, "ABCDEFGHIJKL"), true, "ABCDEFGHIJKL"}, {{14, 12, 'A'}, false, "previous"},
      {textReply(15, "1.2.4"), false, "previous"},
  };
  for (const auto& c : cases) {
    std::string text = "previous";
    port->replies.assign(c.reply.begin(), c.reply.end());
    EXPECT_EQ(link->ReadSerialNumber(text, true), c.result);
    EXPECT_EQ(text, c.text);
  }
  std::string fw;
  port->reply(textReply(15, "1.2.4"));
  ASSERT_TRUE(link->ReadFirmwareVersion(fw, true));
  EXPECT_EQ(fw, "1.2.4");
}

TEST_F(LinkFixture, BarometerCommands) {
  link->BaroChanged = 0;
  port->reply({18, 0, 0x2D, 0x05, 0xF6, 0xFF, 0});
  ASSERT_TRUE(link->ReadBaroNow(true));
  EXPECT_EQ(link->Pressure, 1325);
  EXPECT_EQ(link->Temperature, -10);
  EXPECT_EQ(link->BaroChanged, 0);
  port->reply({18, 0, 0, 0, 0, 0, 1});
  ASSERT_TRUE(link->ReadBaroNow(true));
  EXPECT_EQ(link->BaroChanged, 1);

  Bytes block(520, 0x11);
  port->clearLog();
  port->reply({17, 0});
  port->reply(block);
  Bytes got(520);
  ASSERT_TRUE(link->ReadBaroPage(got, true));
  EXPECT_EQ(got, block);
  EXPECT_EQ(port->written(), bytesOf({17, 0}));
}

TEST_F(LinkFixture, StopReceiveTestWaitsOnTheClockAndNeedsTheFinalAck) {
  // No answer: six waits of 200 ms, a further 300 ms, then failure.
  CivilTime before = clock.utcNow();
  EXPECT_FALSE(link->StopReceiveTest(true));
  EXPECT_EQ(secondsSinceEpoch(clock.utcNow()) - secondsSinceEpoch(before), 1);
  EXPECT_EQ(clock.utcNow().millisecond, 500);
  EXPECT_EQ(port->written(), bytesOf({20, 0}));

  port->reply({'A', 'B', 255, 20, 0});
  EXPECT_TRUE(link->StopReceiveTest(true));
  port->reply({'A', 20, 0, 'B'});
  EXPECT_FALSE(link->StopReceiveTest(true));
}

TEST_F(LinkFixture, ReadStreamByteReadsOnlyWhatIsQueued) {
  openQuietly();
  std::uint8_t b = 0;
  EXPECT_FALSE(link->ReadStreamByte(b, false));
  EXPECT_EQ(port->calls, Calls({"queued"}));
  port->reply({'X'});
  ASSERT_TRUE(link->ReadStreamByte(b, false));
  EXPECT_EQ(b, 'X');
}

TEST(TransmitterNames, TableAndOutOfRange) {
  const std::pair<int, const char*> cases[] = {{0, "DDH3 (3855.0 kHz)"},
                                               {3, "DDH47 (147.3 kHz)"},
                                               {9, "NAVTEX (490.0 kHz)"},
                                               {10, "NAVTEX (518.0 kHz)"},
                                               {17, "CFH (13510.0 kHz)"},
                                               {24, "NMF (12750.0 kHz)"},
                                               {25, ""},
                                               {255, ""},
                                               {-1, ""}};
  for (const auto& [code, name] : cases) EXPECT_EQ(TransmitterName(code), name) << code;
}

TEST(FirmwareVersion, Numbers) {
  const std::pair<const char*, std::optional<std::int64_t>> cases[] = {
      {"1.2.4", 10204},
      {"1.2.3", 10203},
      {"1.1.9", 10109},
      {"1.10.0", 11000},
      {"0.0.0", 0},
      {"1.2", std::nullopt},
      {"", std::nullopt},
      {"1..4", std::nullopt},
      {"1.2.4.5", std::nullopt},
      {"a.b.c", std::nullopt},
      {"1.2.-4", std::nullopt},
      {" 1.2.4", std::nullopt},
      {"1.2.4 ", std::nullopt},
      {"9999999999.0.0", std::nullopt},
  };
  for (const auto& [text, number] : cases) EXPECT_EQ(FirmwareVersionNumber(text), number) << text;
}

}  // namespace
}  // namespace tern::testing
