// Logout, shutdown and Ctrl+C end the program the same way as "Beenden": SIGTERM, SIGHUP and
// SIGINT only write one byte into a pipe (all a signal handler may safely do); the window
// thread sees the byte through a socket notifier and quits the message loop, so the main
// window's normal shutdown stops the polling thread and writes every data file.
#pragma once

#include <QObject>
#include <functional>

class QSocketNotifier;

namespace tern {

// Thread: window thread; one per process (it owns the process's handlers of the three
// signals while it lives).
class ShutdownSignals final : public QObject {
  Q_OBJECT
 public:
  // `quit` runs on the window thread when one of the signals arrived.
  explicit ShutdownSignals(std::function<void()> quit, QObject* parent = nullptr);
  ~ShutdownSignals() override;
  ShutdownSignals(const ShutdownSignals&) = delete;
  ShutdownSignals& operator=(const ShutdownSignals&) = delete;

 private:
  void readSignal();

  std::function<void()> quit_;
  QSocketNotifier* notifier_ = nullptr;
};

}  // namespace tern
