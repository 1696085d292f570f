// The fixed facts of the reception schedule: the seven schedules in their fixed order (the
// order of the settings file, of the block sent to the receiver and of the message store's
// tables), everything that is named after one of them, and the frequency table that turns a
// code into the receiver's frequency number and into the frequency shown to the user. The
// selection model, the configuration dialog, the receiver link, the message store, the fax
// pages and the exports all take these from here: a fax station is one row of kSchedules
// (with its frequency codes in kFrequencyTable and its schedule file in the program folder).
#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace tern {

inline constexpr int kScheduleCount = 7;
inline constexpr int kFirstFaxSchedule = 2;  // the DWD bulletins come first, then the fax stations
inline constexpr int kFaxStationCount = kScheduleCount - kFirstFaxSchedule;
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
  // The receiver's transmitter codes of the records it files under this schedule.
  std::uint8_t firstTransmitter;
  std::uint8_t lastTransmitter;
  const char* dataFile;   // in the data folder
  const char* countName;  // told when the schedule file has another number of identifiers
  // The configuration dialog's page: caption and widget names; a fax station's page of the
  // main window has the same caption.
  const char* pageCaption;
  const char* configPage;
  const char* configTree;
  // A fax station's widgets in the main window: FAX<name>TabSheet, FAX<name>TreeView, ...;
  // the bulletins' pages have their own.
  const char* windowName;
};

// Index = schedule index 0..6.
inline constexpr std::array<ScheduleInfo, kScheduleCount> kSchedules{{
    {"RTTY DWD DEUTSCH", "SCHEDULE_RTTY_D.TRN", 0, 3, 26, 3, 5, "dwd_d_data.bin",
     "DwdDeutschIdCount", "Wetter deutsch", "RTTYdeutschTabSheet", "RTTYdeutschTreeView", ""},
    {"RTTY DWD ENGLISCH", "SCHEDULE_RTTY_E.TRN", 4, 7, 40, 6, 8, "dwd_e_data.bin",
     "DwdEnglishIdCount", "Wetter englisch", "RTTYenglischTabSheet", "RTTYenglischTreeView", ""},
    {"FAX DWD", "SCHEDULE_FAX_DWD.TRN", 8, 11, 34, 0, 2, "fax_dwd_data.bin", "FaxDwdIdCount",
     "FAX DWD", "FAXDWDTabSheet", "FAXDWDTreeView", "DWD"},
    {"FAX NORTHWOOD", "SCHEDULE_FAX_NORTHWOOD.TRN", 12, 15, 19, 11, 13, "fax_northwood_data.bin",
     "FaxNorthWoodIdCount", "FAX Northwood", "NorthwoodTabSheet", "FAXNorthwoodTreeView", "North"},
    {"FAX HALIFAX", "SCHEDULE_FAX_HALIFAX.TRN", 20, 24, 18, 14, 17, "fax_halifax_data.bin",
     "FaxHalifaxIdCount", "FAX Halifax", "FAXHalifaxTabSheet", "FAXHalifaxTreeView", "Halifax"},
    {"FAX BOSTON", "SCHEDULE_FAX_BOSTON.TRN", 25, 29, 25, 21, 24, "fax_boston_data.bin",
     "FaxBostonIdCount", "FAX Boston", "FAXBostonTabSheet", "FAXBostonTreeView", "Boston"},
    {"FAX NEW ORLEANS", "SCHEDULE_FAX_NEW_ORLEANS.TRN", 16, 19, 18, 18, 20,
     "fax_new_orleans_data.bin", "FaxNewOrleansIdCount", "FAX New Orleans", "FAXNewOrleansTabSheet",
     "FAXNewOrleansTreeView", "NewOrleans"},
}};

// The row of fax station `station` (0..kFaxStationCount-1).
inline constexpr const ScheduleInfo& faxStation(int station) {
  return kSchedules[static_cast<std::size_t>(kFirstFaxSchedule + station)];
}

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
void AppendMinutes(std::string& to, int minutes);

// "  Frequenz:        AUTO" for 0 Hz, otherwise "  Frequenz: " + the number right-aligned in
// eight characters + " Hz".
std::string FormatFrequency(std::uint32_t hz);
void AppendFrequency(std::string& to, std::uint32_t hz);

}  // namespace tern
