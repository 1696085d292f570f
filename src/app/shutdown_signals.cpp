#include "app/shutdown_signals.h"

#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QSocketNotifier>
#include <cerrno>
#include <csignal>

namespace tern {

namespace {

// The write end for the handler. A signal handler can reach nothing else; it is set once,
// before the handlers, and cleared only after they were taken away again.
volatile std::sig_atomic_t signalFd = -1;
int readFd = -1;

constexpr int kSignals[] = {SIGTERM, SIGHUP, SIGINT};

extern "C" void onShutdownSignal(int signal) {
  const int saved = errno;
  const char byte = static_cast<char>(signal);
  if (signalFd >= 0 && ::write(signalFd, &byte, 1) < 0) {
    // A full pipe already holds a wake-up; nothing else can be done here.
  }
  errno = saved;
}

}  // namespace

ShutdownSignals::ShutdownSignals(std::function<void()> quit, QObject* parent)
    : QObject(parent), quit_(std::move(quit)) {
  int fds[2];
  if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0, fds) != 0) return;
  signalFd = fds[0];
  readFd = fds[1];
  struct sigaction action {};
  action.sa_handler = onShutdownSignal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  for (int s : kSignals) ::sigaction(s, &action, nullptr);
  notifier_ = new QSocketNotifier(readFd, QSocketNotifier::Read, this);
  connect(notifier_, &QSocketNotifier::activated, this, &ShutdownSignals::readSignal);
}

ShutdownSignals::~ShutdownSignals() {
  if (notifier_ == nullptr) return;
  struct sigaction action {};
  action.sa_handler = SIG_DFL;
  sigemptyset(&action.sa_mask);
  for (int s : kSignals) ::sigaction(s, &action, nullptr);
  const int writeEnd = signalFd;
  signalFd = -1;
  ::close(writeEnd);
  ::close(readFd);
  readFd = -1;
}

void ShutdownSignals::readSignal() {
  char bytes[16];
  while (::read(readFd, bytes, sizeof bytes) > 0) {
  }
  if (quit_) quit_();
}

}  // namespace tern
