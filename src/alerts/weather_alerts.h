// The warnings the crew wants without looking at the screen: a barometer falling fast, and
// the NAVTEX messages the user chose to be alerted by. The rules live here once; the window
// shows the texts as desktop notifications, the service writes them to its log and may run
// a command with them, and both hand the news to the boat network (alerts/boat_network.h).
//
// Thresholds (hPa over three hours). Sources: the sailor's rule of thumb for the barometer
// (about 1 hPa per hour announces strong wind, about 2 hPa per hour a gale), close to
// the tendency terms of the UK shipping forecasts ("falling quickly" 3.6 to 6 hPa in three
// hours, "falling very rapidly" more than 6 hPa). A level alerts once per fall and is armed
// again only when the tendency has risen 1 hPa above it, so a tendency that jitters around a
// threshold does not alert every minute.
//
// NAVTEX messages alert as the NAVTEX filter says (subjects A, B, D and L of every shown
// station always do), when they were received in the last two hours, and only once in 72
// hours per frequency and B1B2B3B4, however often the station repeats them. A receiver that
// comes back after days brings its whole backlog, and a burst of alerts for warnings long
// since read out on the radio would drown the new ones; the backlog still goes to the chart
// plotter.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "alerts/sea_area_alerts.h"
#include "messages/barometer_sentences.h"
#include "messages/message_record.h"
#include "messages/message_store.h"
#include "messages/navtex_alert_memory.h"
#include "messages/navtex_filter.h"
#include "readout/navtex_appended.h"

namespace tern {

inline constexpr double kStrongWindFallHpa = -3.0;
inline constexpr double kGaleFallHpa = -6.0;
inline constexpr double kAlertRearmHpa = 1.0;
inline constexpr std::int64_t kNavtexAlertSeconds = 2 * 3600;

enum class PressureLevel { Calm, StrongWind, Gale };

// Thread: one owner.
class PressureAlerts {
 public:
  // The newest three-hour tendency (nothing while unknown, which changes nothing). Returns
  // the alert when a level is reached that has not alerted in this fall; when both are
  // reached at once, only the gale is told.
  std::optional<std::string> Update(std::optional<double> tendencyHpa);
  // The highest level that alerted and is not armed again yet.
  PressureLevel Level() const;

 private:
  std::array<bool, 2> armed_{true, true};  // strong wind, gale
};

// "Luftdruck fällt: −3.4 hPa in 3 Stunden. Starkwind möglich." and the gale's text.
std::string pressureAlertText(double tendencyHpa, bool gale);

// "NAVTEX: Wetterwarnung (B) von Portpatrick (O)": the subject in German, the station by
// name (navtex_names.h) with its letter, for the message on the list `which`. A station
// known by its letter alone reads "von Station X".
std::string navtexAlertText(int which, const MessageRecord& record);

// A NAVTEX message a read-out appended, with its frequency in kHz for the log, the NRX
// sentence and the repeat memory (taken once from the list's row of kNavtexFrequencies).
struct NavtexArrival {
  MessageRecord record;
  int which = kNavtex518;  // the NAVTEX list
  int frequencyKhz = 518;
  bool shown = true;                 // by the NAVTEX filter
  std::optional<std::string> alert;  // the alert it raised
};

// What the window and the service both do with new data: the pressure alerts and the
// reading for the boat network after a barometer read-out, the NAVTEX alerts after a NAVTEX
// read-out, the warnings for the user's sea areas after DWD bulletins were stored.
// Thread: one owner; takes the store's lock itself.
class WeatherWatch {
 public:
  // The repeat memory is kept in the store's data folder; the barometer is read from the
  // store.
  WeatherWatch(const MessageStore& store, NavtexFilter filter);

  void SetFilter(const NavtexFilter& filter) { filter_ = filter; }
  const NavtexFilter& Filter() const { return filter_; }

  struct PressureAlarm {
    PressureLevel level = PressureLevel::Calm;
    std::string text;  // empty for Calm
  };
  struct BarometerNews {
    std::vector<std::string> alerts;
    // At most one per minute, however often the barometer is read: a new minute of the clock
    // and at least kReadingGapSeconds since the last one, so the start's full read and the
    // receiver's next sample a few seconds later across a minute's turn make one reading.
    // A clock put back gives one at once.
    std::optional<BarometerReading> reading;
    // When the alert level changed: raised, lowered or cleared.
    std::optional<PressureAlarm> alarm;
  };
  // The receiver's current readings (Pa above 100000, tenths of a degree Celsius) and the
  // barometer height of the settings.
  BarometerNews BarometerRead(std::int16_t pressure, std::int16_t temperature, int heightM,
                              const CivilTime& utcNow);

  struct NavtexNews {
    std::vector<NavtexArrival> arrivals;  // hidden ones too, with shown false
    // The keys of every message in the lists after the read-out, so a notice of a message
    // the receiver dropped can be taken back.
    std::vector<std::string> listed;
    // The repeat memory could not be written, or held times from the future.
    std::vector<std::string> problems;
  };
  // The records a NAVTEX read-out appended (ReadoutReport::appended); `utcNow` decides
  // which warnings are recent enough to alert.
  NavtexNews NavtexRead(const std::vector<NavtexAppended>& appended, const CivilTime& utcNow);

  // The newest stored warnings judged for the user's sea areas, read from the data folder's
  // seegebiete.txt each time (a small file; the window's configuration page and an editor
  // both change it). A problem of that file is told once until it changes.
  SeaAreaNews SeaWeatherRead(const CivilTime& utcNow);

 private:
  const MessageStore& store_;
  PressureAlerts pressure_;
  PressureLevel level_ = PressureLevel::Calm;
  static constexpr std::int64_t kReadingGapSeconds = 50;
  std::optional<std::int64_t> lastReadingSecond_;
  NavtexFilter filter_;
  NavtexAlertMemory repeats_;
  SeaAreaAlerts seaAreas_;
  std::string seaAreasProblem_;  // the last told
};

}  // namespace tern
