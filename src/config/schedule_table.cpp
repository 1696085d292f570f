#include "config/schedule_table.h"

#include <charconv>

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

void AppendMinutes(std::string& to, int minutes) {
  // Reduced as often as needed, so a hostile duration cannot show hours beyond 24.
  if (minutes > kMinutesPerDay) minutes = (minutes - 1) % kMinutesPerDay + 1;
  if (minutes < 0) minutes = (minutes % kMinutesPerDay + kMinutesPerDay) % kMinutesPerDay;
  // By hand into the caller's text: the trees format two of these for every entry each time
  // a choice changes them, and snprintf with its temporaries was most of that work.
  const int hours = minutes / 60;
  const int rest = minutes % 60;
  const char text[5] = {static_cast<char>('0' + hours / 10), static_cast<char>('0' + hours % 10),
                        ':', static_cast<char>('0' + rest / 10),
                        static_cast<char>('0' + rest % 10)};
  to.append(text, sizeof text);
}

std::string FormatMinutes(int minutes) {
  std::string text;
  AppendMinutes(text, minutes);
  return text;
}

void AppendFrequency(std::string& to, std::uint32_t hz) {
  if (hz == 0) {
    to.append("  Frequenz:        AUTO");
    return;
  }
  char number[16];
  const auto end = std::to_chars(number, number + sizeof number, hz).ptr;
  const auto digits = static_cast<std::size_t>(end - number);
  to.append("  Frequenz: ");
  if (digits < 8) to.append(8 - digits, ' ');
  to.append(number, digits).append(" Hz");
}

std::string FormatFrequency(std::uint32_t hz) {
  std::string text;
  AppendFrequency(text, hz);
  return text;
}

}  // namespace tern
