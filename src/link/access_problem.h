// Why an attached receiver could not be opened, as far as the program can tell: this user
// may not open its device node, another program has it, or the program itself lacks the
// part that talks USB. "Kein Empfänger angeschlossen."
// would send the user looking for a cable; these texts say what to do instead.
#pragma once

#include <string>

namespace tern {

// The udev rule that lets the user at the seat (and the groups plugdev and dialout) open the
// receiver; named to sort before systemd's 73-seat-late.rules, which acts on its tag.
inline constexpr const char* kUdevRuleFile = "60-tern-receiver.rules";

struct AccessProblem {
  enum class Kind {
    None,          // nothing known against opening it
    NotPermitted,  // the device node refuses this user
    Held,          // another program has it
    NotInstalled,  // the program's USB module is missing or unusable
  };
  Kind kind = Kind::None;
  std::string holder;  // "minicom (PID 1234)" when known
  std::string reason;  // NotInstalled: the module loader's German text

  bool any() const { return kind != Kind::None; }
};

// The German text for the status bar and tern-cli; empty for Kind::None.
std::string accessProblemText(const AccessProblem& problem);

}  // namespace tern
