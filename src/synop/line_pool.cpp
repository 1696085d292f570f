#include "synop/line_pool.h"

namespace tern::synop {

namespace {

// A full ship report has about this many lines.
constexpr std::size_t kLinesPerReport = 64;

}  // namespace

void LinePool::Recycle(std::vector<std::string>& lines) {
  for (auto& line : lines) strings_.push_back(std::move(line));
  lines.clear();
  if (lines.capacity() != 0) lists_.push_back(std::move(lines));
  lines = {};
}

void LinePool::Recycle(std::vector<TSynopType>& reports) {
  // What was taken is gone from the pool; what was not stays first in line.
  strings_.erase(strings_.begin(), strings_.begin() + static_cast<std::ptrdiff_t>(nextString_));
  lists_.erase(lists_.begin(), lists_.begin() + static_cast<std::ptrdiff_t>(nextList_));
  nextString_ = nextList_ = 0;
  for (auto& report : reports) Recycle(report.lines);
}

std::vector<std::string> LinePool::TakeList() {
  if (nextList_ == lists_.size()) {
    std::vector<std::string> lines;
    lines.reserve(kLinesPerReport);
    return lines;
  }
  return std::move(lists_[nextList_++]);
}

std::string& LinePool::AddLine(std::vector<std::string>& lines) {
  if (nextString_ == strings_.size()) return lines.emplace_back();
  std::string& line = lines.emplace_back(std::move(strings_[nextString_++]));
  line.clear();
  return line;
}

void LinePool::ReleaseUnused() {
  strings_.clear();
  lists_.clear();
  nextString_ = nextList_ = 0;
}

}  // namespace tern::synop
