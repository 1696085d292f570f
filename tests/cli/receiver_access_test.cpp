// tern-cli on its default access, libftdi1, with the libusb stand-in preloaded and a fake
// sysfs and /dev: doctor's report with the receiver present, absent and not to be opened by
// this user, and the other commands' German message in the last case; a copy of tern-cli
// without its USB module beside it.
#include <gtest/gtest.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <thread>

#include "common/folder_lock.h"
#include "fakes/scratch_folder.h"
#include "ftdi/fake_usb_tree.h"
#include "sim/sim_stream_server.h"

namespace tern::testing {
namespace {

struct CliResult {
  int status = -1;
  std::string out;  // stdout and stderr

  std::string lastLine() const {
    std::string text = out;
    while (!text.empty() && text.back() == '\n') text.pop_back();
    return text.substr(text.rfind('\n') + 1);
  }
  bool says(const std::string& part) const { return out.find(part) != std::string::npos; }
};

// The simulated receiver behind a Unix socket, served to the first program that connects.
class ReceiverSocket {
 public:
  explicit ReceiverSocket(const std::string& path) : path_(path) {
    listen_ = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    std::snprintf(addr.sun_path, sizeof addr.sun_path, "%s", path.c_str());
    ::bind(listen_, reinterpret_cast<sockaddr*>(&addr), sizeof addr);
    ::listen(listen_, 1);
    server_ = std::jthread([this](std::stop_token stop) {
      pollfd pfd{listen_, POLLIN, 0};
      while (!stop.stop_requested() && ::poll(&pfd, 1, 10) <= 0) {
      }
      if (stop.stop_requested()) return;
      int fd = ::accept4(listen_, nullptr, nullptr, SOCK_CLOEXEC);
      sim::serveSimReceiver(receiver_, fd, stop);
      ::close(fd);
    });
  }
  ~ReceiverSocket() {
    server_.request_stop();
    server_.join();
    ::close(listen_);
  }

 private:
  std::string path_;
  int listen_ = -1;
  SystemClock clock_;
  sim::SimReceiver receiver_{sim::Scenario{}, clock_};
  std::jthread server_;
};

class CliUsb : public ::testing::Test {
 protected:
  // tern-cli with the stand-in; `device` is its TERN_USB_DOUBLE text (empty: an empty bus).
  CliResult run(const std::string& arguments, const std::string& device,
                const std::string& program = TERN_BIN_DIR "/tern-cli") {
    std::string command = "env LD_PRELOAD=" TERN_USB_DOUBLE_LIB
                          " ASAN_OPTIONS=verify_asan_link_order=0 TERN_USB_SYSFS=" +
                          usb.sysfs() + " TERN_USB_DEV=" + usb.dev();
    if (!device.empty()) command += " TERN_USB_DOUBLE='" + device + "'";
    if (!userData.empty()) command += " XDG_DATA_HOME=" + userData;
    command += " timeout 60 " + program + " " + arguments + " 2>&1";
    CliResult r;
    FILE* pipe = ::popen(command.c_str(), "r");
    if (pipe == nullptr) return r;
    char buffer[4096];
    for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;)
      r.out.append(buffer, n);
    int raw = ::pclose(pipe);
    r.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    return r;
  }
  std::string dataOption() const { return " --data-folder " + data.string(); }

  FakeUsbTree usb{"tern_cli_usb"};
  ScratchFolder data{"tern_cli_usb_data"};
  std::string userData;  // XDG_DATA_HOME of the run; empty: the caller's
};

TEST_F(CliUsb, DoctorWithTheReceiverPresent) {
  usb.addReceiver();
  const std::string socket = (data / "receiver.sock").string();
  ReceiverSocket receiver(socket);
  std::ofstream(data / "TERN_CONFIG.CFG") << "not a settings file";
  FolderLock windowsLock(data.string());  // as a running window holds it

  CliResult r = run("doctor" + dataOption(), "line=" + socket);
  EXPECT_EQ(r.status, 0) << r.out;
  for (const char* part :
       {"USB-Geräte \"Seatern Radio Europe\": 1", "Bus 001 Gerät 004 (1-1): ", "004 -rw-rw---- ",
        "dieser Benutzer darf öffnen: ja", "serielle Schnittstelle ",
        "udev-Regel 60-tern-receiver.rules: ", "benutzt von: cli_tests (PID ",
        "Einstellungsdatei TERN_CONFIG.CFG: ungültig",
        "Programmordner: ", "Firmware-Dateien (gesucht in ", "/firmware/, ",
        "Empfänger geöffnet: ja, antwortet (Firmware 1.2.4, Seriennummer TRN0001042)"})
    EXPECT_TRUE(r.says(part)) << part << "\n" << r.out;
  EXPECT_NE(r.lastLine().find("Zuerst beheben: Die Einstellungen"), std::string::npos) << r.out;
}

// Everything works but the firmware files the update would take: the last line names them.
TEST_F(CliUsb, DoctorNamesUnusableFirmwareFilesLast) {
  usb.addReceiver();
  const std::string socket = (data / "receiver.sock").string();
  ReceiverSocket receiver(socket);
  userData = (data / "share").string();
  std::filesystem::create_directories(data / "share/TERN/firmware");
  std::ofstream(data / "share/TERN/firmware/TERN_FW.INF") << "no manifest";

  CliResult r = run("doctor" + dataOption(), "line=" + socket);
  EXPECT_EQ(r.status, 0) << r.out;
  EXPECT_TRUE(r.says("unbrauchbar: ")) << r.out;
  EXPECT_NE(r.lastLine().find("Zuerst beheben: Die Firmware-Dateien ersetzen oder entfernen. "),
            std::string::npos)
      << r.out;
}

TEST_F(CliUsb, DoctorWithoutAReceiver) {
  CliResult r = run("doctor" + dataOption(), "");
  EXPECT_EQ(r.status, 1) << r.out;
  EXPECT_TRUE(r.says("USB-Geräte \"Seatern Radio Europe\": 0")) << r.out;
  EXPECT_TRUE(r.says("Empfänger geöffnet: nein")) << r.out;
  EXPECT_NE(r.lastLine().find("Zuerst beheben: Den Empfänger per USB anschließen"),
            std::string::npos)
      << r.out;
}

// The device node refuses this user: doctor, info and readout all say so in German, instead
// of claiming that no receiver is attached.
TEST_F(CliUsb, AReceiverThisUserMayNotOpen) {
  usb.addReceiver();
  const std::string denied = "permitted=0";
  const std::string text =
      "Der Empfänger ist angeschlossen, aber dieser Benutzer darf ihn nicht öffnen.";

  CliResult doctor = run("doctor" + dataOption(), denied);
  EXPECT_EQ(doctor.status, 1) << doctor.out;
  EXPECT_TRUE(doctor.says("dieser Benutzer darf öffnen: nein, offen bei: keinem anderen Programm"))
      << doctor.out;
  EXPECT_TRUE(doctor.says("Empfänger geöffnet: nein - " + text)) << doctor.out;
  const std::string fix = doctor.lastLine();
  EXPECT_EQ(fix.rfind("Zuerst beheben: ", 0), 0u) << doctor.out;
  EXPECT_TRUE(fix.find("60-tern-receiver.rules") != std::string::npos ||
              fix.find("plugdev") != std::string::npos)
      << fix;

  for (const std::string& command : {std::string("info"), "readout" + dataOption()}) {
    CliResult r = run(command, denied);
    EXPECT_EQ(r.status, 1) << command << ": " << r.out;
    EXPECT_TRUE(r.says("tern-cli: " + text)) << command << ": " << r.out;
    EXPECT_FALSE(r.says("no receiver")) << command << ": " << r.out;
  }
}

// Without the USB module the attached receiver is reported as not installed, by doctor (also
// with no receiver attached) and by the commands that open it.
TEST_F(CliUsb, WithoutTheUsbModule) {
  const std::filesystem::path alone = data / "alone";
  std::filesystem::create_directories(alone);
  std::filesystem::copy_file(TERN_BIN_DIR "/tern-cli", alone / "tern-cli");
  const std::string program = (alone / "tern-cli").string();
  const std::string text =
      "Die USB-Anbindung ist nicht installiert: " + (alone / "tern-usb.so").string() + " fehlt.";
  const std::string fix =
      "Zuerst beheben: TERN neu installieren: ohne die USB-Anbindung lässt sich kein Empfänger "
      "öffnen.";

  CliResult absent = run("doctor" + dataOption(), "", program);
  EXPECT_EQ(absent.status, 1) << absent.out;
  EXPECT_TRUE(absent.says("USB-Anbindung: " + text)) << absent.out;
  EXPECT_EQ(absent.lastLine(), fix) << absent.out;

  usb.addReceiver();
  CliResult doctor = run("doctor" + dataOption(), "permitted=1", program);
  EXPECT_EQ(doctor.status, 1) << doctor.out;
  EXPECT_TRUE(doctor.says("Empfänger geöffnet: nein - " + text)) << doctor.out;
  EXPECT_EQ(doctor.lastLine(), fix) << doctor.out;
  for (const std::string& command : {std::string("info"), "readout" + dataOption()}) {
    CliResult r = run(command, "permitted=1", program);
    EXPECT_EQ(r.status, 1) << command << ": " << r.out;
    EXPECT_TRUE(r.says("tern-cli: " + text)) << command << ": " << r.out;
  }
}

}  // namespace
}  // namespace tern::testing
