// tern-cli receive-test: the reception test for headless machines. Prints the lines the
// receiver decodes until it ends the test, three minutes pass or the user presses Ctrl+C;
// the test is then stopped on the receiver, so it goes back to recording.
#include <chrono>
#include <csignal>
#include <iostream>
#include <memory>
#include <optional>
#include <string>

#include "assembly/port_factory.h"
#include "cli/cli_args.h"
#include "cli/commands.h"
#include "common/clock.h"
#include "link/receive_test_text.h"
#include "link/ttern.h"

namespace tern::cli {

namespace {

// The one thing a signal handler may touch: set by Ctrl+C (or a termination request), read
// by the reading loop.
volatile std::sig_atomic_t interrupted = 0;

extern "C" void onInterrupt(int) { interrupted = 1; }

// Installs the handlers for its lifetime and puts the previous ones back.
class InterruptGuard {
 public:
  InterruptGuard() {
    interrupted = 0;
    oldInt_ = std::signal(SIGINT, onInterrupt);
    oldTerm_ = std::signal(SIGTERM, onInterrupt);
  }
  ~InterruptGuard() {
    std::signal(SIGINT, oldInt_);
    std::signal(SIGTERM, oldTerm_);
  }
  InterruptGuard(const InterruptGuard&) = delete;
  InterruptGuard& operator=(const InterruptGuard&) = delete;

 private:
  void (*oldInt_)(int);
  void (*oldTerm_)(int);
};

constexpr std::chrono::minutes kTestLength{3};
constexpr std::chrono::milliseconds kPoll{100};

std::string transmitterList() {
  std::string list;
  for (const ReceiveTestTransmitter& t : kReceiveTestTransmitters)
    list += (list.empty() ? "" : "|") + std::string(t.callSign);
  return list;
}

}  // namespace

int cmdReceiveTest(const Words& words) {
  Args args(words, {"--port", "--transmitter"});
  if (int status = refuseOptions(args, {"--simulate"}, "receive-test")) return status;
  if (int status = refuseArguments(args)) return status;
  const std::optional<ReceiverAccess> access = receiverAccessOption(args);
  if (!access) return 2;
  auto call = args.value("--transmitter");
  if (!call) return fail("--transmitter " + transmitterList() + " fehlt");
  const ReceiveTestTransmitter* transmitter = FindReceiveTestTransmitter(*call);
  if (transmitter == nullptr)
    return fail("Unbekannter Sender '" + *call + "' (einer von " + transmitterList() + ")");

  SystemClock clock;
  const std::unique_ptr<TTERN> link = makeLink(*access, clock);
  InterruptGuard guard;
  if (!link->OpenLink()) {
    std::string problem = link->AccessProblemText();
    return fail(problem.empty() ? "Die Verbindung zum Empfänger lässt sich nicht öffnen" : problem,
                1);
  }
  if (!link->StartReceiveTest(transmitter->code, false)) {
    link->CloseLink();
    return fail(std::string(kReceiveTestFailed), 1);
  }
  ReceiveTestText text;
  text.Start(transmitter->callSign);
  for (const std::string& line : text.Lines()) std::cout << line << '\n';
  std::cout << std::flush;

  const std::int64_t start = secondsSinceEpoch(clock.utcNow());
  bool ended = false;
  while (!ended && interrupted == 0 &&
         secondsSinceEpoch(clock.utcNow()) - start <
             std::chrono::duration_cast<std::chrono::seconds>(kTestLength).count()) {
    std::uint8_t byte = 0;
    while (!ended && link->ReadStreamByte(byte, false)) {
      switch (text.Feed(byte)) {
        case ReceiveTestText::Effect::NewLine:
          std::cout << text.Lines().back() << '\n' << std::flush;
          break;
        case ReceiveTestText::Effect::Ended:
          ended = true;
          break;
        default:
          break;
      }
    }
    if (!ended) clock.sleepFor(kPoll);
  }
  // The line the stream was still writing.
  if (!text.OpenLine().empty()) std::cout << text.OpenLine() << '\n';
  if (ended) {
    link->CloseLink();
    std::cout << kReceiveTestFinished << '\n';
    return 0;
  }
  const bool stopped = link->StopReceiveTest(false);
  link->CloseLink();
  std::cout << std::flush;
  if (!stopped) return fail("Der Empfänger hat das Ende des Tests nicht bestätigt", 1);
  std::cerr << (interrupted != 0 ? "Empfangstest abgebrochen\n"
                                 : "Drei Minuten vorbei; Empfangstest beendet\n");
  return 0;
}

}  // namespace tern::cli
