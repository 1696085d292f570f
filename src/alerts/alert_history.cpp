#include "alerts/alert_history.h"

#include <algorithm>
#include <array>
#include <cstdio>

namespace tern {

namespace {
constexpr std::array<std::string_view, 4> kKindNames{"Luftdruck", "Seegebiet", "NAVTEX", "Störung"};
}

std::string_view alertKindName(AlertKind kind) {
  return kKindNames.at(static_cast<std::size_t>(kind));
}

bool AlertHistory::Add(AlertKind kind, std::string text, const CivilTime& utc) {
  if (kind == AlertKind::Problem &&
      std::any_of(entries_.begin(), entries_.end(), [&](const AlertEntry& e) {
        return e.kind == AlertKind::Problem && e.text == text;
      })) {
    return false;
  }
  if (kind == AlertKind::Pressure) EndPressureFall();
  entries_.insert(entries_.begin(),
                  AlertEntry{utc, kind, std::move(text), false, kind == AlertKind::Pressure});
  if (entries_.size() > kKept) entries_.resize(kKept);
  return true;
}

std::size_t AlertHistory::Unseen() const {
  return static_cast<std::size_t>(
      std::count_if(entries_.begin(), entries_.end(), [](const AlertEntry& e) { return !e.seen; }));
}

bool alertRanksBefore(const AlertEntry& a, const AlertEntry& b) {
  const bool aRanks = !a.seen || a.inForce;
  const bool bRanks = !b.seen || b.inForce;
  if (aRanks != bRanks) return aRanks;
  return aRanks && a.kind < b.kind;
}

std::vector<AlertEntry> rankedAlerts(std::vector<AlertEntry> newestFirst) {
  std::stable_sort(newestFirst.begin(), newestFirst.end(), alertRanksBefore);
  return newestFirst;
}

const AlertEntry* AlertHistory::Shown() const {
  // Newest first, so the first of the highest rank is the newest of it; with everything
  // seen, all rank alike and the newest is shown.
  const auto best = std::min_element(entries_.begin(), entries_.end(), alertRanksBefore);
  return best == entries_.end() ? nullptr : &*best;
}

std::size_t AlertHistory::UnseenBesideShown() const {
  const AlertEntry* shown = Shown();
  const std::size_t unseen = Unseen();
  return shown != nullptr && !shown->seen ? unseen - 1 : unseen;
}

void AlertHistory::MarkAllSeen() {
  for (AlertEntry& e : entries_) e.seen = true;
}

void AlertHistory::EndPressureFall() {
  for (AlertEntry& e : entries_) e.inForce = false;
}

std::string alertPanelText(const AlertHistory& history) {
  const AlertEntry* shown = history.Shown();
  if (shown == nullptr) return {};
  const std::size_t others = history.UnseenBesideShown();
  return others == 0 ? shown->text : shown->text + "  +" + std::to_string(others);
}

std::string alertTimeText(const CivilTime& utc) {
  char text[32];
  std::snprintf(text, sizeof text, "%02d.%02d.%04d %02d:%02d UTC", utc.day, utc.month, utc.year,
                utc.hour, utc.minute);
  return text;
}

}  // namespace tern
