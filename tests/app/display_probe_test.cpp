// The display probe against sockets the test opens itself: a local display's socket in a
// folder of its own, and a TCP port on the loopback address.
#include "app/display_probe.h"

#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>
#include <cstring>
#include <string>

namespace tern {
namespace {

// A listening socket, closed at the end of the test (or earlier, by close()).
class Listener {
 public:
  static Listener local(const std::string& path) {
    Listener l(::socket(AF_UNIX, SOCK_STREAM, 0));
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strncpy(address.sun_path, path.c_str(), sizeof address.sun_path - 1);
    EXPECT_EQ(::bind(l.fd_, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    EXPECT_EQ(::listen(l.fd_, 4), 0);
    return l;
  }
  static Listener loopback() {
    Listener l(::socket(AF_INET, SOCK_STREAM, 0));
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    EXPECT_EQ(::bind(l.fd_, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    EXPECT_EQ(::listen(l.fd_, 4), 0);
    socklen_t size = sizeof address;
    ::getsockname(l.fd_, reinterpret_cast<sockaddr*>(&address), &size);
    l.port_ = ntohs(address.sin_port);
    return l;
  }
  Listener(Listener&& other) noexcept : fd_(other.fd_), port_(other.port_) { other.fd_ = -1; }
  ~Listener() { close(); }
  void close() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
  }
  int port() const { return port_; }

 private:
  explicit Listener(int fd) : fd_(fd) {}
  int fd_;
  int port_ = 0;
};

TEST(DisplayProbe, AnswersOnlyWhatItKnowsForCertain) {
  QTemporaryDir folder;
  const std::string sockets = folder.path().toStdString() + "/";
  Listener display7 = Listener::local(sockets + "X7");
  Listener display8 = Listener::local(sockets + "X8");
  display8.close();  // the socket file is left, nobody listens: refused
  Listener tcp = Listener::loopback();
  Listener gone = Listener::loopback();
  const int gonePort = gone.port();
  gone.close();
  const auto on = [](int port) { return "127.0.0.1:" + std::to_string(port - 6000); };

  const struct {
    std::string display;
    DisplayAnswer answer;
  } cases[] = {
      {":7", DisplayAnswer::Reachable},
      {":7.0", DisplayAnswer::Reachable},
      {"unix:7", DisplayAnswer::Reachable},
      {":8", DisplayAnswer::Unreachable},
      {":9", DisplayAnswer::Unreachable},  // no socket at all
      {on(tcp.port()), DisplayAnswer::Reachable},
      {on(gonePort), DisplayAnswer::Unreachable},
      // Forms the toolkit reads itself.
      {"", DisplayAnswer::Unknown},
      {"7", DisplayAnswer::Unknown},
      {":", DisplayAnswer::Unknown},
      {":x", DisplayAnswer::Unknown},
      {":7.", DisplayAnswer::Unknown},
      {"tcp/localhost:7", DisplayAnswer::Unknown},
      {"/run/user/xquartz:0", DisplayAnswer::Unknown},
      {"decnet::0", DisplayAnswer::Unknown},
      {":999999", DisplayAnswer::Unknown},
  };
  for (const auto& c : cases)
    EXPECT_EQ(probeX11Display(c.display, sockets), c.answer) << '"' << c.display << '"';
}

TEST(DisplayProbe, AStartOnADisplayWithoutServerSaysSoAndEndsNormally) {
  QTemporaryDir runtime;
  QProcess start;
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  for (const char* name : {"WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) env.remove(QLatin1String(name));
  // No X server has this number here: neither its socket nor an abstract one is there.
  env.insert("DISPLAY", ":58311");
  env.insert("XDG_RUNTIME_DIR", runtime.path());
  start.setProcessEnvironment(env);
  start.start(QStringLiteral(TERN_BIN_DIR "/tern"), {QStringLiteral("--simulate")});
  ASSERT_TRUE(start.waitForFinished(15000));
  EXPECT_EQ(start.exitStatus(), QProcess::NormalExit) << "no abort, no core dump";
  EXPECT_EQ(start.exitCode(), 1);
  const QString text = QString::fromUtf8(start.readAllStandardError());
  EXPECT_TRUE(text.contains(QStringLiteral("Die Anzeige \":58311\" (DISPLAY) antwortet nicht")))
      << text.toStdString();
  EXPECT_TRUE(text.contains(QStringLiteral("tern-cli watch"))) << text.toStdString();
}

}  // namespace
}  // namespace tern
