#include "link/link_connection.h"

#include <gtest/gtest.h>

#include "link_test_support.h"

namespace tern::testing {
namespace {

using Calls = std::vector<std::string>;

TEST_F(LinkFixture, StartsClosedWithDefaultTimeoutsAndFullBuffers) {
  EXPECT_EQ(link->Handle(), 0u);
  EXPECT_EQ(link->ReadTimeout(), 800u);
  EXPECT_EQ(link->WriteTimeout(), 800u);
  EXPECT_EQ(link->TxBuffer().size(), 32768u);
  EXPECT_EQ(link->RxBuffer().size(), 1048576u);
}

TEST_F(LinkFixture, SendBytesWritesPiecesOfAtMost16384) {
  struct Case {
    std::uint32_t count;
    std::uint32_t result;
    Calls writes;
  };
  const Case cases[] = {
      {20000, 20000, {"write 16384", "write 3616"}},
      {32768, 32768, {"write 16384", "write 16384"}},
      {16384, 16384, {"write 16384"}},
      {2, 2, {"write 2"}},
      {32769, 0, {}},
      {0, 0, {}},
  };
  openQuietly();
  for (const auto& c : cases) {
    port->clearLog();
    EXPECT_EQ(link->SendBytes(c.count), c.result) << c.count;
    EXPECT_EQ(port->calls, c.writes) << c.count;
  }
}

TEST_F(LinkFixture, SendBytesSendsTheBufferContentAndNeverAPartialCount) {
  openQuietly();
  for (std::uint32_t i = 0; i < 20000; ++i) link->TxBuffer()[i] = static_cast<std::uint8_t>(i);
  ASSERT_EQ(link->SendBytes(20000), 20000u);
  Bytes sent = port->written();
  ASSERT_EQ(sent.size(), 20000u);
  EXPECT_EQ(sent[16384], static_cast<std::uint8_t>(16384));

  port->clearLog();
  port->shortWriteAt = 1;  // the second piece comes up short
  EXPECT_EQ(link->SendBytes(20000), 0u);
  EXPECT_EQ(link->LastLinkStatus(), LinkStatus::Timeout);
}

TEST_F(LinkFixture, TransfersOnAClosedLinkFailWithoutDeviceCalls) {
  EXPECT_EQ(link->SendBytes(2), 0u);
  EXPECT_EQ(link->ReceiveBytes(2), 0u);
  EXPECT_EQ(link->QueuedBytes(), 0u);
  EXPECT_FALSE(link->CloseLink());
  EXPECT_TRUE(port->calls.empty());
}

TEST_F(LinkFixture, ReceiveBytesLimitsAndShortReads) {
  openQuietly();
  EXPECT_EQ(link->ReceiveBytes(1048577), 0u);
  EXPECT_TRUE(port->calls.empty());

  port->reply({1, 2, 3});
  EXPECT_EQ(link->ReceiveBytes(5), 3u);  // the timeout ended the read
  EXPECT_EQ(link->LastLinkStatus(), LinkStatus::Timeout);
  EXPECT_EQ(link->RxBuffer()[2], 3);
  EXPECT_EQ(port->calls, Calls({"read 5"}));

  port->failRead = true;
  EXPECT_EQ(link->ReceiveBytes(1), 0u);
  EXPECT_EQ(link->LastLinkStatus(), LinkStatus::IoError);
}

TEST_F(LinkFixture, OpenLinkClosesALeftOverHandleFirst) {
  ASSERT_TRUE(link->OpenLink());
  EXPECT_EQ(port->calls, Calls({"open", "timeouts 800 800"}));
  std::uint32_t first = link->Handle();
  EXPECT_NE(first, 0u);
  port->clearLog();
  ASSERT_TRUE(link->OpenLink());
  EXPECT_EQ(port->calls, Calls({"close", "open", "timeouts 800 800"}));
  EXPECT_NE(link->Handle(), 0u);
}

TEST_F(LinkFixture, OpenAndCloseFailures) {
  port->failOpen = true;
  EXPECT_FALSE(link->OpenLink());
  EXPECT_EQ(link->Handle(), 0u);

  port->failOpen = false;
  port->failSetTimeouts = true;
  EXPECT_FALSE(link->OpenLink());
  EXPECT_NE(link->Handle(), 0u) << "refused timeouts leave the device open";

  port->failClose = true;
  EXPECT_FALSE(link->CloseLink());
  EXPECT_NE(link->Handle(), 0u);
  port->failClose = false;
  EXPECT_TRUE(link->CloseLink());
  EXPECT_EQ(link->Handle(), 0u);
}

TEST_F(LinkFixture, SetReadTimeoutReachesTheDeviceOnlyWhenOpen) {
  link->SetReadTimeout(1234);
  EXPECT_TRUE(port->calls.empty());
  EXPECT_EQ(link->ReadTimeout(), 1234u);
  ASSERT_TRUE(link->OpenLink());
  EXPECT_EQ(port->calls.back(), "timeouts 1234 800");
  link->SetReadTimeout(50);
  EXPECT_EQ(port->calls.back(), "timeouts 50 800");
}

TEST_F(LinkFixture, PresenceNeedsTheExactDescriptionAndOpensNothing) {
  struct Case {
    std::vector<std::string> devices;
    bool present;
  };
  const std::string r(protocol::kReceiverDescription);
  const Case cases[] = {
      {{r}, true},
      {{"FT232R USB UART", r}, true},
      {{r + " "}, false},
      {{"seatern radio europe"}, false},
      {{"Seatern Radio"}, false},
      {{r + std::string(1, '\0') + "junk"}, true},  // compared up to the first 0 byte
      {{std::string(200, 'x')}, false},
      {{}, false},
  };
  for (const auto& c : cases) {
    port->devices = c.devices;
    port->clearLog();
    EXPECT_EQ(link->IsReceiverPresent(), c.present) << ::testing::PrintToString(c.devices);
    for (const auto& call : port->calls) EXPECT_TRUE(call == "count" || call.rfind("desc", 0) == 0);
  }
}

TEST_F(LinkFixture, PresenceSkipsUnreadableDescriptionsAndFailsOnCountError) {
  port->devices = {std::string(protocol::kReceiverDescription), "other"};
  port->unreadableDescriptions = {0};
  EXPECT_FALSE(link->IsReceiverPresent());
  port->devices.push_back(std::string(protocol::kReceiverDescription));
  EXPECT_TRUE(link->IsReceiverPresent());
  port->failDeviceCount = true;
  EXPECT_FALSE(link->IsReceiverPresent());
}

}  // namespace
}  // namespace tern::testing
