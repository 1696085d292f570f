// The message seam. The core never shows anything itself; where the user must be told
// something (a broken schedule file, an overlap, a failed save) it hands the German text
// to a sink. The window implements it with message boxes, tests record the texts.
#pragma once

#include <string>

namespace tern {

enum class MessageKind {
  Information,  // information with OK
  Warning,      // warning with OK
  Plain,        // plain message box with OK
};

// Thread: called on the window thread only.
class MessageSink {
 public:
  virtual ~MessageSink() = default;
  // `text` is UTF-8.
  virtual void showMessage(MessageKind kind, const std::string& text) = 0;
  // A question with Yes and No; true for Yes. `warning` selects the warning icon.
  virtual bool askYesNo(const std::string& text, bool warning) = 0;
};

}  // namespace tern
