#include "link/access_problem.h"

namespace tern {

std::string accessProblemText(const AccessProblem& problem) {
  switch (problem.kind) {
    case AccessProblem::Kind::None:
      return {};
    case AccessProblem::Kind::NotPermitted:
      return std::string(
                 "Der Empfänger ist angeschlossen, aber dieser Benutzer darf ihn nicht öffnen. "
                 "Abhilfe: die udev-Regel ") +
             kUdevRuleFile +
             " installieren oder den Benutzer in die Gruppen plugdev und dialout aufnehmen, "
             "dann den Empfänger neu einstecken.";
    case AccessProblem::Kind::Held:
      return problem.holder.empty()
                 ? "Der Empfänger ist angeschlossen, wird aber von einem anderen Programm "
                   "benutzt."
                 : "Der Empfänger ist angeschlossen, wird aber von einem anderen Programm "
                   "benutzt: " +
                       problem.holder + ".";
    case AccessProblem::Kind::NotInstalled:
      return problem.reason;
  }
  return {};
}

}  // namespace tern
