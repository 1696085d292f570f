// The text seam: a read-only memo that shows message text line by line.
#pragma once

#include <string>
#include <vector>

namespace tern {

// Thread: window thread only.
class TextView {
 public:
  virtual ~TextView() = default;
  // Lines of message text as received (Latin-1 bytes, possibly with CR characters); the
  // view converts them for display.
  virtual void setLines(const std::vector<std::string>& lines) = 0;
  virtual void clear() = 0;
};

}  // namespace tern
