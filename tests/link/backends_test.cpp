// The real backends without hardware: presence through a fake sysfs tree, and the serial
// tty backend end to end over a pseudo-terminal served by the simulated receiver.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <pty.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <thread>

#include "fakes/fake_clock.h"
#include "fakes/pseudo_terminal.h"
#include "link/ftdi_port.h"
#include "link/protocol.h"
#include "link/sysfs_usb.h"
#include "link/ttern.h"
#include "link/tty_port.h"
#include "sim/sim_receiver.h"
#include "sim/sim_stream_server.h"

namespace tern::testing {
namespace {

namespace fs = std::filesystem;

class FakeSysfs : public ::testing::Test {
 protected:
  FakeSysfs() {
    root = fs::temp_directory_path() /
           ("tern-sysfs-" + std::to_string(::getpid()) + "-" +
            ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(root);
    fs::create_directories(root);
  }
  ~FakeSysfs() override { fs::remove_all(root); }

  void device(const std::string& name, const char* vendor, const char* product,
              const char* productText) {
    fs::create_directories(root / name);
    if (vendor) std::ofstream(root / name / "idVendor") << vendor << "\n";
    if (product) std::ofstream(root / name / "idProduct") << product << "\n";
    if (productText) std::ofstream(root / name / "product") << productText << "\n";
  }

  fs::path root;
};

TEST_F(FakeSysfs, ScanListsDevicesNotInterfacesInNameOrder) {
  device("usb1", "1d6b", "0002", "xHCI Host Controller");
  device("1-2", "0403", "6001", "Seatern Radio Europe");
  device("1-2:1.0", nullptr, nullptr, nullptr);
  device("1-1", "046d", "c52b", nullptr);
  // Serial ports under the interfaces, of a USB serial driver and of a class driver.
  fs::create_directories(root / "1-2/1-2:1.0/ttyUSB1");
  fs::create_directories(root / "1-1/1-1:1.2/tty/ttyACM0");
  std::ofstream(root / "1-2/busnum") << "3\n";
  std::ofstream(root / "1-2/devnum") << "17\n";
  auto list = scanUsbDevices(root.string());
  ASSERT_EQ(list.size(), 3u);
  EXPECT_EQ(list[0].name, "1-1");
  EXPECT_FALSE(list[0].hasProduct);
  EXPECT_EQ(list[0].serialPorts, std::vector<std::string>{"ttyACM0"});
  EXPECT_EQ(list[0].nodePath("/dev"), "") << "no bus and device number";
  EXPECT_EQ(list[1].product, "Seatern Radio Europe");
  EXPECT_EQ(list[1].vendorId, 0x0403);
  EXPECT_EQ(list[1].productId, 0x6001);
  EXPECT_EQ(list[1].serialPorts, std::vector<std::string>{"ttyUSB1"});
  EXPECT_EQ(list[1].nodePath("/dev"), "/dev/bus/usb/003/017");
  EXPECT_TRUE(scanUsbDevices((root / "missing").string()).empty());
}

TEST_F(FakeSysfs, FtdiPresenceComesFromProductStringsWhateverTheIds) {
  FakeClock clock;
  device("usb1", "1d6b", "0002", "xHCI Host Controller");
  device("1-1", "1234", "abcd", "Seatern Radio Europe ");
  {
    TTERN link(std::make_unique<FtdiPort>(UsbRoots{root.string()}), clock);
    EXPECT_FALSE(link.IsReceiverPresent());
  }
  device("3-4", "1234", "abcd", "Seatern Radio Europe");
  TTERN link(std::make_unique<FtdiPort>(UsbRoots{root.string()}), clock);
  EXPECT_TRUE(link.IsReceiverPresent());
  // The device exists only in the fake tree: opening fails cleanly, whatever libusb does.
  EXPECT_FALSE(link.OpenLink());
  EXPECT_EQ(link.Handle(), 0u);
  EXPECT_FALSE(link.Ping(true));
}

class PtyReceiver : public ::testing::Test {
 protected:
  void SetUp() override {
    if (auto why = tern::testing::pseudoTerminalMissing()) GTEST_SKIP() << *why;
    char name[256] = {};
    ASSERT_EQ(::openpty(&master, &slave, name, nullptr, nullptr), 0);
    path = name;
    sim::Scenario s;
    s.serialNumber = "PTY-7";
    s.logs[1].push_back({3, "FQEN50", {2026, 3, 5, 10, 0, 0}, {}, Bytes{'A', 'B'}});
    s.logs[1].push_back({4, "FQEN51", {2026, 3, 5, 11, 0, 0}, {}, Bytes(3000, 'x')});
    receiver = std::make_unique<sim::SimReceiver>(s, serverClock);
    server =
        std::jthread([this](std::stop_token st) { sim::serveSimReceiver(*receiver, master, st); });
  }
  void TearDown() override {
    if (!server.joinable()) return;  // skipped
    server.request_stop();
    server.join();
    ::close(slave);
    ::close(master);
  }

  int master = -1, slave = -1;  // the slave stays open so the master never sees a hang-up
  std::string path;
  SystemClock serverClock;
  FakeClock clock;
  std::unique_ptr<sim::SimReceiver> receiver;
  std::jthread server;
};

TEST_F(PtyReceiver, CommandsRunOverTheTtyBackend) {
  TTERN link(std::make_unique<TtyPort>(path), clock);
  ASSERT_TRUE(link.IsReceiverPresent());
  ASSERT_TRUE(link.Ping(true));
  std::string serial;
  ASSERT_TRUE(link.ReadSerialNumber(serial, true));
  EXPECT_EQ(serial, "PTY-7");

  ASSERT_TRUE(link.OpenLink());
  ASSERT_TRUE(link.SelectChannel(1, false));
  ASSERT_TRUE(link.NextRecord(false));
  EXPECT_EQ(link.RecordHeader[0], 4);
  EXPECT_EQ(link.RecordData().size(), 3000u);
  ASSERT_TRUE(link.NextRecord(false));
  EXPECT_EQ(link.RecordData().size(), 2u);
  EXPECT_FALSE(link.NextRecord(false)) << "[9,1,0] ends the log";

  Bytes block(2001);
  for (std::size_t i = 0; i < block.size(); ++i) block[i] = static_cast<std::uint8_t>(i % 251);
  EXPECT_TRUE(link.WriteSettings(block, true));
  Bytes page3 = receiver->page(3);
  EXPECT_TRUE(std::equal(block.begin() + 1500, block.end(), page3.begin()));
}

TEST_F(PtyReceiver, TheTtyIsOpenedExclusively) {
  TTERN first(std::make_unique<TtyPort>(path), clock);
  TTERN second(std::make_unique<TtyPort>(path), clock);
  ASSERT_TRUE(first.OpenLink());
  EXPECT_FALSE(second.OpenLink());
  ASSERT_TRUE(first.CloseLink());
  EXPECT_TRUE(second.OpenLink());
}

// The peer of a pseudo-terminal that reads only when the test says so. It runs in packet
// mode, so it also learns when the port side asks to throw away output the peer has not
// read yet: a USB serial converter obeys that and drops the bytes still on their way.
struct LatePeer {
  LatePeer() {
    termios raw{};
    ::cfmakeraw(&raw);
    char name[256] = {};
    int on = 1;
    if (::openpty(&master, &slave, name, &raw, nullptr) == 0 && ::ioctl(master, TIOCPKT, &on) == 0)
      path = name;
  }
  ~LatePeer() {
    ::close(slave);
    ::close(master);
  }
  // Everything the port side wrote so far.
  std::string readAll() {
    std::string got;
    pollfd pfd{master, POLLIN, 0};
    char buf[256];
    while (::poll(&pfd, 1, 200) > 0 && (pfd.revents & POLLIN)) {
      ssize_t n = ::read(master, buf, sizeof buf);
      if (n <= 0) break;
      if (buf[0] == TIOCPKT_DATA) {
        got.append(buf + 1, static_cast<std::size_t>(n - 1));
      } else if (buf[0] & TIOCPKT_FLUSHWRITE) {
        outputDiscarded = true;
      }
    }
    return got;
  }
  int master = -1, slave = -1;  // the slave stays open so the master never sees a hang-up
  std::string path;
  bool outputDiscarded = false;
};

ByteView bytesOf(std::string_view s) {
  return {reinterpret_cast<const std::uint8_t*>(s.data()), s.size()};
}

TEST(TtyPort, ReopenKeepsUnreadCommandsAndDropsStaleReplies) {
  if (auto why = tern::testing::pseudoTerminalMissing()) GTEST_SKIP() << *why;
  LatePeer peer;
  ASSERT_FALSE(peer.path.empty());
  ASSERT_EQ(::write(peer.master, "early", 5), 5);
  {
    // A command without reply (like setting the clock), then the port is closed at once.
    TtyPort port(peer.path);
    ASSERT_EQ(port.open(protocol::kReceiverDescription), LinkStatus::Ok);
    EXPECT_EQ(port.queued().count, 0u) << "input from before the open is stale";
    ASSERT_EQ(port.write(bytesOf("CLOCK-FRAME")).status, LinkStatus::Ok);
    ASSERT_EQ(port.close(), LinkStatus::Ok);
  }
  ASSERT_EQ(::write(peer.master, "stale", 5), 5);
  TtyPort port(peer.path);
  ASSERT_EQ(port.open(protocol::kReceiverDescription), LinkStatus::Ok);
  EXPECT_EQ(port.queued().count, 0u);
  ASSERT_EQ(port.write(bytesOf("SCHEDULE")).status, LinkStatus::Ok);
  // The peer reads only now, after the reopen: both commands are there, in order.
  EXPECT_EQ(peer.readAll(), "CLOCK-FRAMESCHEDULE");
  EXPECT_FALSE(peer.outputDiscarded) << "an open must never discard unsent output";
  // What the peer sends after the open is the reply and stays.
  ASSERT_EQ(::write(peer.master, "ok", 2), 2);
  std::uint8_t reply[2] = {};
  EXPECT_EQ(port.read(reply).status, LinkStatus::Ok);
  EXPECT_EQ(std::string(reply, reply + 2), "ok");
}

TEST(TtyPort, MissingPathIsNoReceiver) {
  FakeClock clock;
  TTERN link(std::make_unique<TtyPort>("/nonexistent/ttyUSB9"), clock);
  EXPECT_FALSE(link.IsReceiverPresent());
  EXPECT_FALSE(link.OpenLink());
  EXPECT_FALSE(link.Ping(true));
}

}  // namespace
}  // namespace tern::testing
