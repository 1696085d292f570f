// FtdiPort and the receiver's commands through libftdi1 itself: packets with status bytes,
// short reads, the latency timer, a slow line, and the ways an attached receiver can be
// refused.
#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <thread>

#include "common/process_holders.h"
#include "ftdi/ftdi_fixture.h"

namespace tern::testing {
namespace {

TEST_F(FtdiDouble, CommandsAndLongRepliesRunThroughLibftdi) {
  sim::Scenario s;
  s.serialNumber = "FTDI-7";
  s.logs[1].push_back({4, "FQEN51", {2026, 3, 5, 11, 0, 0}, {}, Bytes(5000, 'x')});
  plug(fastLine(), s);
  auto l = link();
  ASSERT_TRUE(l->IsReceiverPresent());
  ASSERT_TRUE(l->Ping(true));
  std::string serial;
  ASSERT_TRUE(l->ReadSerialNumber(serial, true));
  EXPECT_EQ(serial, "FTDI-7");
  EXPECT_EQ(usbdouble::stats().latencyMs, 2u) << "the port sets the latency its timing needs";

  // A record of many packets, and page writes larger than the chip's transmit FIFO.
  ASSERT_TRUE(l->OpenLink());
  ASSERT_TRUE(l->SelectChannel(1, false));
  ASSERT_TRUE(l->NextRecord(false));
  EXPECT_EQ(l->RecordData().size(), 5000u);
  EXPECT_FALSE(l->NextRecord(false)) << "[9,1,0] ends the log";
  Bytes block(2001);
  for (std::size_t i = 0; i < block.size(); ++i) block[i] = static_cast<std::uint8_t>(i % 251);
  EXPECT_TRUE(l->WriteSettings(block, true));
  Bytes page3 = receiver->page(3);
  EXPECT_TRUE(std::equal(block.begin() + 1500, block.end(), page3.begin()));
}

// A command without a reply is followed at once by the next open. On a slow line the chip
// still holds the end of it then: an open that purged the chip's transmit FIFO cut it, and
// the receiver took the next command's bytes for the rest of the clock.
TEST_F(FtdiDouble, SetClockFollowedAtOnceByTheNextCommandArrivesWholeAt9600Baud) {
  plug(usbdouble::Device{});
  auto l = link();
  const CivilTime when{2031, 7, 14, 9, 30, 0, 0};
  ASSERT_TRUE(l->SetClock(when, true));
  EXPECT_EQ(usbdouble::stats().txFifo, 0u) << "the close waited until the chip had sent it";
  std::uint16_t word = 0;
  EXPECT_TRUE(l->ReadStatus(word, true));

  usbdouble::Stats st = usbdouble::stats();
  EXPECT_EQ(st.programmedBaud, 9600u);
  EXPECT_EQ(st.purgedTx, 0u);
  std::vector<Bytes> requests = receiver->requests();
  ASSERT_EQ(requests.size(), 2u);
  EXPECT_EQ(requests[0].size(), 10u);
  EXPECT_EQ(requests[1], (Bytes{16, 0}));
  CivilTime set = receiver->receiverTime();
  EXPECT_EQ(set.year, 2031);
  EXPECT_EQ(set.month, 7);
  EXPECT_EQ(set.day, 14);
}

// A process that keeps `path` open until it is ended.
struct Holder {
  explicit Holder(const std::filesystem::path& path) {
    pid = ::fork();
    if (pid == 0) {
      int fd = ::open(path.c_str(), O_RDONLY);
      ::dup2(fd, 0);
      ::execlp("sleep", "sleep", "30", static_cast<char*>(nullptr));
      ::_exit(127);
    }
    // Until the child's file table shows the file.
    for (int i = 0; i < 500 && processesHolding(path.string()).empty(); ++i)
      std::this_thread::sleep_for(std::chrono::milliseconds(2));
  }
  ~Holder() {
    ::kill(pid, SIGTERM);
    ::waitpid(pid, nullptr, 0);
  }
  pid_t pid = -1;
};

TEST_F(FtdiDouble, AnAttachedReceiverThatCannotBeOpenedSaysWhy) {
  struct Case {
    const char* name;
    bool permitted;
    bool claimed;
    bool heldByAProcess;
    std::vector<std::string> says;  // parts of the text; none: the receiver opens
  };
  const Case cases[] = {
      {"no permission",
       false,
       false,
       false,
       {"Der Empfänger ist angeschlossen, aber dieser Benutzer darf ihn nicht öffnen",
        "60-tern-receiver.rules", "plugdev", "dialout"}},
      {"claimed by someone unseen",
       true,
       true,
       false,
       {"Der Empfänger ist angeschlossen, wird aber von einem anderen Programm benutzt."}},
      {"held by a process", true, true, true, {"benutzt: sleep (PID "}},
      {"free", true, false, false, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    usbdouble::Device d = fastLine();
    d.permitted = c.permitted;
    d.claimedElsewhere = c.claimed;
    plug(d);
    std::unique_ptr<Holder> holder;
    if (c.heldByAProcess) holder = std::make_unique<Holder>(usb.node());
    auto l = link();
    EXPECT_TRUE(l->IsReceiverPresent());
    EXPECT_EQ(l->Ping(true), c.says.empty());
    const std::string text = l->AccessProblemText();
    EXPECT_EQ(text.empty(), c.says.empty()) << text;
    for (const std::string& part : c.says) EXPECT_NE(text.find(part), std::string::npos) << text;
  }
}

}  // namespace
}  // namespace tern::testing
