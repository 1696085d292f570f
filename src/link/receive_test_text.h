// The reception test turns the receiver's unframed stream into lines of text. The window's
// dialog and `tern-cli receive-test` both feed bytes in here and only show the lines, so the
// byte rules (line feed, carriage return, the end mark, Latin-1) live in one place.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tern {

// One transmitter the reception test offers: the DWD RTTY stations.
struct ReceiveTestTransmitter {
  std::string_view callSign;  // "DDH47"
  std::string_view caption;   // radio button text, "DDH47 (147 kHz)"
  std::uint8_t code;          // transmitter code carried by StartReceiveTest
};

inline constexpr std::array<ReceiveTestTransmitter, 6> kReceiveTestTransmitters{{
    {"DDH47", "DDH47 (147 kHz)", 3},
    {"DDH9", "DDH9 (11.039 MHz)", 4},
    {"DDH8", "DDH8 (14.4673 MHz)", 5},
    {"DDK2", "DDK2 (4.583 MHz)", 6},
    {"DDH7", "DDH7 (7.646 MHz)", 7},
    {"DDK9", "DDK9 (10.1008 MHz)", 8},
}};

// The transmitter of a call sign (exact letter case); nullptr when it is not offered.
const ReceiveTestTransmitter* FindReceiveTestTransmitter(std::string_view callSign);

// Firmware 1.0.0 cannot run the test: the user is offered the update instead. Any other
// text, an unreadable one included, leads to the test's own question.
bool FirmwareTooOldForReceiveTest(std::string_view firmwareText);

inline constexpr std::string_view kReceiveTestNeedsUpdateQuestion =
    "Der Empfangstest ist erst ab der Firmware Version 1.1.0 möglich. Update jetzt durchführen?";
// The text ends with a blank, as the receiver's users know it.
inline constexpr std::string_view kReceiveTestQuestion =
    "Während des Empfangstest ist das Speichern neuer Meldungen nicht möglich. Der "
    "Empfangstest wird nach drei Minuten automatisch abgebrochen. Empfangstest jetzt "
    "durchführen? ";

// Texts of the test, UTF-8.
inline constexpr std::string_view kReceiveTestFailed = "Empfangstest Fehler!";
inline constexpr std::string_view kReceiveTestRestartFailed = "Start Empfangstest Fehler!";
inline constexpr std::string_view kReceiveTestFinished = "Empfangstest abgeschlossen.";

// The receiver ends a test by itself after three minutes.
inline constexpr std::int64_t kReceiveTestSeconds = 180;
// What is left of them after `elapsedMs` of a running test: "Noch 2:45 Min.", down to
// "Noch 0:00 Min." (the receiver's end mark may come a little late).
std::string ReceiveTestTimeLeft(std::int64_t elapsedMs);

// The text as a memo shows it: closed lines, and the open line the stream is writing,
// which starts below the last closed line.
// Thread: one thread at a time (the window thread, or tern-cli's only thread).
class ReceiveTestText {
 public:
  enum class Effect {
    Character,  // appended to the open line
    NewLine,    // the open line was closed; a new one is open
    Ignored,    // carriage return
    Ended,      // the receiver ended the test; nothing was added
  };

  // Clears the text and starts it with "Start Empfangstest <call sign>" and one empty line.
  void Start(std::string_view callSign);
  // Adds a line of the program's own (UTF-8) below the text, closing the open line.
  void AddLine(std::string_view line);
  void Clear();
  Effect Feed(std::uint8_t byte);

  // The lines, UTF-8, the open line last when it holds anything.
  std::vector<std::string> Lines() const;
  // Every closed line followed by a line break, then the open line.
  std::string Joined() const;
  const std::string& OpenLine() const { return open_; }

 private:
  std::vector<std::string> lines_;
  std::string open_;
};

}  // namespace tern
