// Storage for the lines of the decoded reports, handed on from one rebuild to the next. The
// list is rebuilt whole every time the SYNOP page comes to the front, mostly from the same
// bulletins: the new lines are written into the strings and line lists of the list before, so
// a rebuild after the first allocates next to nothing for them. Storage is handed out in the
// order it came back, so the same bulletins give every line the string it had before (which
// is then large enough) and the strings are visited in the order they lie in memory.
#pragma once

#include <string>
#include <vector>

#include "synop/synop_type.h"

namespace tern::synop {

// Thread: the decoder's thread.
class LinePool {
 public:
  // Takes over the lines of `reports`; each report keeps an empty list.
  void Recycle(std::vector<TSynopType>& reports);
  // Takes over `lines`, which is left empty.
  void Recycle(std::vector<std::string>& lines);
  // An empty list of lines with storage from the pool when it has some.
  std::vector<std::string> TakeList();
  // Appends an empty line to `lines`, with storage from the pool when it has some.
  std::string& AddLine(std::vector<std::string>& lines);
  // Frees what the last rebuild did not use, so a shrinking list does not hold on to it.
  void ReleaseUnused();

 private:
  // Handed out from the front: the first nextString_ and nextList_ are taken already.
  std::vector<std::string> strings_;
  std::vector<std::vector<std::string>> lists_;
  std::size_t nextString_ = 0;
  std::size_t nextList_ = 0;
};

}  // namespace tern::synop
