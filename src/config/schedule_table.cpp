#include "config/schedule_table.h"

#include <cstdio>

namespace tern {

std::uint32_t frequencyHz(int code) {
  if (code < 0 || code >= kFrequencyCodeCount) return 0;
  return kFrequencyTable[static_cast<std::size_t>(code)].hz;
}

int scheduleOfCode(int code) {
  for (int s = 0; s < kScheduleCount; ++s) {
    const ScheduleInfo& info = kSchedules[static_cast<std::size_t>(s)];
    if (code >= info.firstCode && code <= info.lastCode) return s;
  }
  return 0;
}

std::string FormatMinutes(int minutes) {
  // Reduced as often as needed, so a hostile duration cannot show hours beyond 24.
  if (minutes > kMinutesPerDay) minutes = (minutes - 1) % kMinutesPerDay + 1;
  if (minutes < 0) minutes = (minutes % kMinutesPerDay + kMinutesPerDay) % kMinutesPerDay;
  char text[8];
  std::snprintf(text, sizeof text, "%02d:%02d", minutes / 60, minutes % 60);
  return text;
}

std::string FormatFrequency(std::uint32_t hz) {
  if (hz == 0) return "  Frequenz:        AUTO";
  char number[16];
  std::snprintf(number, sizeof number, "%8u", static_cast<unsigned>(hz));
  return std::string("  Frequenz: ") + number + " Hz";
}

}  // namespace tern
