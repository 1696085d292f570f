// The warnings the crew wants without looking at the screen: a barometer falling fast, and
// NAVTEX messages of the subjects no receiver may suppress. The rules live here once; the
// window shows the texts as desktop notifications, the service writes them to its log and
// may run a command with them.
//
// Thresholds (hPa over three hours). Sources: the sailor's rule of thumb for the barometer
// (about 1 hPa per hour announces strong wind, about 2 hPa per hour a gale), close to
// the tendency terms of the UK shipping forecasts ("falling quickly" 3.6 to 6 hPa in three
// hours, "falling very rapidly" more than 6 hPa). A level alerts once per fall and is armed
// again only when the tendency has risen 1 hPa above it, so a tendency that jitters around a
// threshold does not alert every minute.
//
// NAVTEX subjects A (navigational warnings), B (meteorological warnings), D (search and
// rescue) and L (further navigational warnings) are the ones a NAVTEX receiver must never be
// told to reject (IMO NAVTEX Manual); they alert on arrival when they were received in the
// last two hours. A receiver that comes back after days brings its whole backlog, and a
// burst of alerts for warnings long since read out on the radio would drown the new ones;
// the backlog still goes to the chart plotter.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "messages/message_record.h"
#include "messages/message_store.h"

namespace tern {

inline constexpr double kStrongWindFallHpa = -3.0;
inline constexpr double kGaleFallHpa = -6.0;
inline constexpr double kAlertRearmHpa = 1.0;
inline constexpr std::string_view kAlertedNavtexSubjects = "ABDL";
inline constexpr std::int64_t kNavtexAlertSeconds = 2 * 3600;

// Thread: one owner.
class PressureAlerts {
 public:
  // The newest three-hour tendency (nothing while unknown, which changes nothing). Returns
  // the alert when a level is reached that has not alerted in this fall; when both are
  // reached at once, only the gale is told.
  std::optional<std::string> Update(std::optional<double> tendencyHpa);

 private:
  std::array<bool, 2> armed_{true, true};  // strong wind, gale
};

// "Luftdruck fällt: −3.4 hPa in 3 Stunden. Starkwind möglich." and the gale's text.
std::string pressureAlertText(double tendencyHpa, bool gale);

// "NAVTEX: Navigational warnings (A) von S" for the alerted subjects; nothing otherwise.
std::optional<std::string> navtexAlertText(const MessageRecord& record);

// A NAVTEX message that arrived since the last look, with its frequency in kHz.
struct NavtexArrival {
  MessageRecord record;
  int frequencyKhz = 518;
};

// Tells which NAVTEX messages are new since the last look. The messages present when it is
// made (loaded from the data files) count as known.
// Thread: one owner; takes the store's lock itself.
class NavtexArrivals {
 public:
  explicit NavtexArrivals(const MessageStore& store);
  std::vector<NavtexArrival> Take(const MessageStore& store);

 private:
  std::vector<std::string> known_;  // headers of the messages seen, sorted
};

// What the window and the service both do with new data: the pressure alerts after a
// barometer read-out, the NAVTEX alerts and NRX sentences after a NAVTEX read-out.
// Thread: one owner; takes the store's lock itself.
class WeatherWatch {
 public:
  explicit WeatherWatch(const MessageStore& store) : store_(store), navtex_(store) {}

  std::vector<std::string> BarometerRead();
  struct NavtexNews {
    std::vector<std::string> alerts;
    std::vector<std::string> sentences;  // NRX, each with its CR LF
    // "SA01 518 kHz" per new message, for logs; control bytes of the key escaped.
    std::vector<std::string> received;
  };
  // `utcNow` decides which warnings are recent enough to alert.
  NavtexNews NavtexRead(const CivilTime& utcNow);

 private:
  const MessageStore& store_;
  PressureAlerts pressure_;
  NavtexArrivals navtex_;
};

}  // namespace tern
