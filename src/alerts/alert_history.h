// Every alert of the running session, so that no alert hides another: the window's status
// panel shows one of them with the count of the others not yet seen, and a list opened from
// the status bar shows them all, newest first. The web page lists them in the panel's
// ranking, so the one the panel shows comes first there too.
//
// Which one the panel shows: a falling barometer ranks above a warning for one of the
// user's sea areas, that above a NAVTEX warning, and all above a problem of the boat
// network; within a rank the newest wins. The barometer comes first because it concerns the
// boat where it is; a sea area's warning is for waters the user chose; a NAVTEX warning may
// be for a sea area far away. The ranking holds for every unseen entry and for a pressure
// fall still in force (seen or not: opening the list does not end a fall, and a lesser
// warning arriving after must not push it aside); a fall ends when the barometer's alert
// level goes back to calm or a newer fall is told. Once everything is seen and no fall is in
// force, the newest is shown.
//
// A problem (a chart plotter that cannot be reached, a file that cannot be written) tends
// to come back with every reading; it is kept once per text and session, so it cannot
// push the weather alerts out of sight.
//
// A service runs for months: the last kKept entries are kept, the oldest go first.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "common/clock.h"

namespace tern {

// In the order of their rank in the status panel.
enum class AlertKind { Pressure, SeaArea, Navtex, Problem };

// "Luftdruck", "Seegebiet", "NAVTEX", "Störung".
std::string_view alertKindName(AlertKind kind);

struct AlertEntry {
  CivilTime time;  // UTC
  AlertKind kind = AlertKind::Problem;
  std::string text;
  bool seen = false;
  bool inForce = false;  // a pressure fall not ended yet
};

// Thread: one owner (the session's ReadoutNews, on the front end's thread).
class AlertHistory {
 public:
  static constexpr std::size_t kKept = 500;

  // False when `text` is a problem already kept, which then changes nothing.
  bool Add(AlertKind kind, std::string text, const CivilTime& utc);

  // Newest first.
  const std::vector<AlertEntry>& Entries() const { return entries_; }
  std::size_t Unseen() const;
  // The entry for the status panel (nullptr while there is none), and how many other
  // entries are still unseen beside it.
  const AlertEntry* Shown() const;
  std::size_t UnseenBesideShown() const;
  void MarkAllSeen();
  // The barometer's alert level went back to calm: no pressure fall is in force any more.
  void EndPressureFall();

 private:
  std::vector<AlertEntry> entries_;
};

// The panel's text: the shown entry, followed by "  +N" while N others are unseen.
std::string alertPanelText(const AlertHistory& history);
// "08.12.2026 18:05 UTC".
std::string alertTimeText(const CivilTime& utc);

// The panel's ranking as a strict weak order: an unseen entry or a fall in force before the
// rest, among those a lower kind first; entries it cannot tell apart keep their order, which
// in AlertHistory is newest first. Shown() is the first entry of this order.
bool alertRanksBefore(const AlertEntry& a, const AlertEntry& b);
// `newestFirst` in the panel's ranking: the entry the panel shows first, then the others as
// they rank, so every front end (the web page too) lists them as the window picks them.
std::vector<AlertEntry> rankedAlerts(std::vector<AlertEntry> newestFirst);

}  // namespace tern
