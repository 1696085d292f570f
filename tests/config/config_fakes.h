// Helpers that build schedules from text for the selection model's tests; the tree and the
// message sink are the shared ones.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "config/schedule_file.h"
#include "fakes/memory_views.h"
#include "fakes/recording_sink.h"

namespace tern::testing {

inline ScheduleFile scheduleText(std::string_view text) {
  return parseScheduleText(
      ByteView(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()));
}

// One block in the file format.
inline std::string block(const std::string& id, const std::string& title,
                         const std::string& duration, const std::vector<std::string>& starts) {
  std::string text = id + "\r\n" + title + "\r\n-\r\n-\r\n" + duration + "\r\n";
  for (const auto& s : starts) text += s + "\r\n";
  return text + "#\r\n";
}

}  // namespace tern::testing
