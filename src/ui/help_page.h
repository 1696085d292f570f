// The help page: the user manual from the program folder, which "Datei drucken" prints.
#pragma once

#include <string>

#include "ui/page.h"

class QTextBrowser;

namespace tern {

// Thread: window thread only.
class HelpPage final : public Page {
  Q_OBJECT
 public:
  explicit HelpPage(const PageContext& context);

  PageCommands Commands() const override;
  void Shown() override;
  void Print() override;
  // Loads "Hilfe/Bedienung.htm" of the program folder, once.
  void ShowManual();

 private:
  QTextBrowser* browser_;
};

}  // namespace tern
