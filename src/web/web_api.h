// The answers of the web page's JSON API (/api/...): what the data folder holds, built from
// the session's message store, NAVTEX filter and alert list. The page and any script (a
// Signal K plugin, a shell loop) read the same answers; nothing here writes or marks
// anything, so reading the page never makes a message "read" in the window.
//
// Message texts are Latin-1 as received and come out as UTF-8 JSON strings; they are not
// HTML-escaped here, so the page puts them into the document as text, never as markup.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "alerts/alert_history.h"
#include "messages/message_store.h"
#include "messages/navtex_filter.h"

namespace tern {

class SynopReports;

// Thread: the functions below may run on any thread; each holds the store's lock only while
// it copies what it needs.

// /api/bulletins: the German and English bulletins, newest first (a recording whose time
// cannot be read comes last), each with its schedule entry's title, transmitter, new mark
// and text lines, and whether it is in the SYNOP code ("ship" for BBXX, "land" for AAXX)
// and among the ship bulletins the wind map decodes.
std::string bulletinsJson(const MessageStore& store);

// /api/navtex: both frequencies' messages that the filter shows, newest first, each with
// station, subject, category, new and alert marks and text lines; and how many the filter
// hides.
std::string navtexJson(const MessageStore& store, const NavtexFilter& filter);

// /api/alerts: the session's alerts (`newestFirst`, as AlertHistory keeps them) in the
// window's ranking (rankedAlerts: the unseen first, a falling barometer before NAVTEX), and
// how many are unseen.
std::string alertsJson(const std::vector<AlertEntry>& newestFirst);

struct BarographRequest {
  double heightM = 0;        // the barometer's height above the sea, from the settings
  double temperatureC = 15;  // the receiver's current temperature
  int days = 3;              // how far back the curve goes (1..7)
  int stepMinutes = 10;      // one point every so many minutes (1..60)
};
// /api/barograph: the sea-level pressure curve (local times, oldest first, 0.1 hPa), the
// newest value and the three-hour tendency (null while the ring holds too little).
std::string barographJson(const MessageStore& store, const BarographRequest& request);

// /api/fax: per station the recorded charts, newest first, with the id that names the
// chart's picture (/api/fax/<id>.png). Ids last as long as the process; a script lists
// again rather than keep them.
std::string faxListJson(const MessageStore& store);

// /api/synop: the decoded ship and coastal reports of the wind map (position in degrees, wind
// direction and speed, call sign or station, day and hour, the hover hint's and the report
// window's lines), the map cells that hold them with the icon drawn there, and the map's area
// and background picture. The reports are `synop`'s, brought up to date with the stored
// bulletins first (the window's SYNOP page does the same); without it they are decoded anew.
std::string synopJson(const MessageStore& store, SynopReports* synop = nullptr);

// /api/seewetter: the newest sea weather report and warnings (heading, time, valid until,
// synopsis), the user's own areas (the data folder's seegebiete.txt) and every forecast
// area with its line, strongest force, warning step, the entries' own texts and the panel
// the window shows for it, warning first. Texts are UTF-8 as received.
std::string seaWeatherJson(const MessageStore& store);
// /api/seewetter.svg: the map of the areas (seaweather/sea_map_svg.h).
std::string seaMapSvgOf(const MessageStore& store);

}  // namespace tern
