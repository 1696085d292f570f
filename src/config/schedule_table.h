// The fixed facts of the reception schedule: the seven schedules in their fixed order (the
// order of the settings file and of the block sent to the receiver), their frequency code
// ranges, and the frequency table that turns a code into the receiver's frequency number and
// into the frequency shown to the user. The selection model, the configuration dialog, the
// receiver link and the fax store all take these from here.
#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace tern {

inline constexpr int kScheduleCount = 7;
inline constexpr int kFrequencyCodeCount = 31;  // codes 0..30
inline constexpr std::uint8_t kFreeCell = 31;   // a minute no selected entry holds
inline constexpr std::uint8_t kRootFreqCode = 30;
inline constexpr int kMinutesPerDay = 1440;

struct ScheduleInfo {
  const char* caption;   // root node text and conflict message caption
  const char* fileName;  // schedule file in the program folder
  int firstCode;         // AUTO code of the schedule
  int lastCode;
  int identifierCount;  // rows the receiver link expects after "/" expansion
};

// Index = schedule index 0..6.
inline constexpr std::array<ScheduleInfo, kScheduleCount> kSchedules{{
    {"RTTY DWD DEUTSCH", "SCHEDULE_RTTY_D.TRN", 0, 3, 26},
    {"RTTY DWD ENGLISCH", "SCHEDULE_RTTY_E.TRN", 4, 7, 40},
    {"FAX DWD", "SCHEDULE_FAX_DWD.TRN", 8, 11, 34},
    {"FAX NORTHWOOD", "SCHEDULE_FAX_NORTHWOOD.TRN", 12, 15, 19},
    {"FAX HALIFAX", "SCHEDULE_FAX_HALIFAX.TRN", 20, 24, 18},
    {"FAX BOSTON", "SCHEDULE_FAX_BOSTON.TRN", 25, 29, 25},
    {"FAX NEW ORLEANS", "SCHEDULE_FAX_NEW_ORLEANS.TRN", 16, 19, 18},
}};

struct FrequencyRow {
  std::uint8_t receiverNumber;  // the receiver's own frequency number, sent in the payload
  std::uint32_t hz;             // 0 = AUTO (the receiver chooses)
  const char* transmitter;
};

// Index = frequency code.
inline constexpr std::array<FrequencyRow, kFrequencyCodeCount> kFrequencyTable{{
    {0, 0, "DWD German"},  {7, 147300, "DDH47"},  {8, 11039000, "DDH9"}, {9, 14467300, "DDH8"},
    {1, 0, "DWD English"}, {10, 4583000, "DDK2"}, {11, 7646000, "DDH7"}, {12, 10100800, "DDK9"},
    {2, 0, "FAX DWD"},     {13, 3855000, "DDH3"}, {14, 7880000, "DDK3"}, {15, 13882500, "DDK6"},
    {3, 0, "Northwood"},   {16, 4610000, "GYA"},  {17, 8040000, "GYA"},  {18, 11086500, "GYA"},
    {4, 0, "New Orleans"}, {19, 4317900, "NMG"},  {20, 8503900, "NMG"},  {21, 12789900, "NMG"},
    {5, 0, "Halifax"},     {22, 4271000, "CFH"},  {23, 6496400, "CFH"},  {24, 10536000, "CFH"},
    {25, 13510000, "CFH"}, {6, 0, "Boston"},      {26, 4235000, "NMF"},  {27, 6340500, "NMF"},
    {28, 9110000, "NMF"},  {29, 12750000, "NMF"}, {31, 0, "root nodes"},
}};

// A minute count brought into the day 0..1439, both ways.
inline int dayMinute(int minutes) {
  return (minutes % kMinutesPerDay + kMinutesPerDay) % kMinutesPerDay;
}

// The frequency in Hz shown for a code; codes above 30 show AUTO (0).
std::uint32_t frequencyHz(int code);

// The schedule whose code range holds `code`; codes in no range belong to schedule 0.
int scheduleOfCode(int code);

// "HH:MM" of a minute count. Counts beyond one day are brought back into it, except that
// 1440 itself stays "24:00" (a span ending exactly at midnight); negative counts add a day.
std::string FormatMinutes(int minutes);

// "  Frequenz:        AUTO" for 0 Hz, otherwise "  Frequenz: " + the number right-aligned in
// eight characters + " Hz".
std::string FormatFrequency(std::uint32_t hz);

}  // namespace tern
