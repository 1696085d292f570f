#include "synop/synop_gpx.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string_view>

#include "common/markup_escape.h"
#include "synop/report_filter.h"
#include "synop/store_bulletin_source.h"
#include "synop/synop_decoder.h"

namespace tern {

namespace {

constexpr double kKnotsPerMetrePerSecond = 3600.0 / 1852.0;

std::string isoTime(const CivilTime& t) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%04d-%02d-%02dT%02d:%02d:%02dZ", t.year, t.month, t.day, t.hour,
                t.minute, t.second);
  return buf;
}

std::string tenths(std::int32_t value) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "%.1f", value / 10.0);
  return buf;
}

// What a ship report's decoded lines say, by the decoder's own captions, and the short
// caption of the waypoint. The first caption found of a kind wins: the pressure reduced to
// sea level is what a sailor compares, the station's pressure stands in for it.
struct Pick {
  std::string_view caption;
  std::string_view shortCaption;
  int kind;
};
constexpr Pick kShipPicks[] = {
    {"Luftdruck auf Meereshöhe (NN) reduziert: ", "Luftdruck ", 0},
    {"Luftdruck in Barometerhöhe: ", "Luftdruck ", 0},
    {"Horizontale Sichtweite: ", "Sicht ", 1},
    {"Wellenhöhe der Windsee: ", "Seegang ", 2},
    {"Lufttemperatur: ", "Lufttemperatur ", 3},
};
constexpr int kPickKinds = 4;

std::string_view trimmed(std::string_view s) {
  while (!s.empty() && (s.back() == ' ' || s.back() == '.' || s.back() == '\r')) s.remove_suffix(1);
  while (!s.empty() && s.front() == ' ') s.remove_prefix(1);
  return s;
}

std::vector<std::string> shipLines(const TSynopType& report) {
  std::string found[kPickKinds];
  for (const Pick& pick : kShipPicks) {
    if (!found[pick.kind].empty()) continue;
    for (const std::string& line : report.lines) {
      if (line.rfind(pick.caption, 0) != 0) continue;
      const std::string_view value = trimmed(std::string_view(line).substr(pick.caption.size()));
      if (!value.empty() && value != "Nicht beobachtet")
        found[pick.kind] = std::string(pick.shortCaption) + std::string(value);
      break;
    }
  }
  std::vector<std::string> out;
  for (std::string& line : found)
    if (!line.empty()) out.push_back(std::move(line));
  return out;
}

bool allDigits(std::string_view word) {
  return !word.empty() && word.find_first_not_of("0123456789") == std::string_view::npos;
}

// A coastal station's line reads "STATION WIND BFT SICHT KM WETTER LUFTDRUCK": the visibility
// is the number before "KM", the pressure a last word of whole hectopascals.
std::vector<std::string> coastalLines(const TSynopType& report) {
  std::string_view own;
  for (const std::string& line : report.lines) {
    if (line.find(report.name) != std::string::npos) {
      own = trimmed(line);
      break;
    }
  }
  if (own.empty()) return {};
  std::vector<std::string_view> words;
  for (std::size_t at = 0; at < own.size();) {
    const std::size_t end = std::min(own.find(' ', at), own.size());
    if (end > at) words.push_back(own.substr(at, end - at));
    at = end + 1;
  }
  std::vector<std::string> out;
  if (allDigits(words.back()) && words.back().size() >= 3 && words.back().size() <= 4) {
    const int hpa = std::atoi(std::string(words.back()).c_str());
    if (hpa >= 870 && hpa <= 1090) out.push_back("Luftdruck " + std::to_string(hpa) + " hPa");
  }
  for (std::size_t i = 1; i < words.size(); ++i) {
    if (words[i] == "KM" && allDigits(words[i - 1])) {
      out.push_back("Sicht " + std::string(words[i - 1]) + " km");
      break;
    }
  }
  out.emplace_back(own);
  return out;
}

}  // namespace

std::vector<std::string> gpxWeatherLines(const TSynopType& report) {
  return report.ReportKind == kReportCoastal ? coastalLines(report) : shipLines(report);
}

std::optional<CivilTime> reportUtcTime(const TSynopType& report, const CivilTime& utcNow) {
  const int day = ReportDay(report);
  const int hour = ReportHour(report);
  if (day < 1 || day > 31 || hour < 0 || hour > 23) return std::nullopt;
  CivilTime t{utcNow.year, utcNow.month, day, hour, 0, 0, 0};
  // Back month by month until the day exists and does not lie ahead (31st: up to two).
  for (int tries = 0; tries < 3; ++tries) {
    if (isValidCivilTime(t) && secondsSinceEpoch(t) <= secondsSinceEpoch(utcNow) + 3600) return t;
    if (--t.month == 0) {
      t.month = 12;
      --t.year;
    }
  }
  return std::nullopt;
}

std::string gpxWindLine(const TSynopType& report, const CivilTime& t) {
  std::string wind = "Wind unbekannt";
  if (report.directionKnown() && report.speedKnown()) {
    const long knots = std::lround(report.speed * kKnotsPerMetrePerSecond);
    wind = "Wind " + std::to_string(report.direction) + "° " + std::to_string(knots) + " kn";
  }
  char when[32];
  std::snprintf(when, sizeof when, ", %02d.%02d. %02d UTC", t.day, t.month, t.hour);
  return wind + when;
}

std::string synopGpx(const std::vector<TSynopType>& reports, const CivilTime& utcNow) {
  std::string out =
      "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
      "<gpx version=\"1.1\" creator=\"TERN\" xmlns=\"http://www.topografix.com/GPX/1/1\">\n"
      "  <metadata>\n    <name>SYNOP</name>\n    <time>" +
      isoTime(utcNow) + "</time>\n  </metadata>\n";
  for (const auto& r : reports) {
    // GPX allows latitudes -90..90 and longitudes -180..<180 only.
    if (!r.positionKnown() || std::abs(r.latitude) > 900 || r.longitude < -1800 ||
        r.longitude >= 1800) {
      continue;
    }
    const auto time = reportUtcTime(r, utcNow);
    std::string desc = time ? gpxWindLine(r, *time) : "Wind unbekannt";
    for (const std::string& line : gpxWeatherLines(r)) desc += "\n" + line;
    out += "  <wpt lat=\"" + tenths(r.latitude) + "\" lon=\"" + tenths(r.longitude) + "\">\n";
    if (time) out += "    <time>" + isoTime(*time) + "</time>\n";
    out += "    <name>" + markupEscape(r.name) + "</name>\n";
    out += "    <desc>" + markupEscape(desc) + "</desc>\n";
    out += "  </wpt>\n";
  }
  out += "</gpx>\n";
  return out;
}

std::string synopGpxOfStore(const MessageStore& store, const CivilTime& utcNow) {
  TSynopDecoder decoder;
  decoder.RebuildReports(StoreBulletinSource(store));
  return synopGpx(decoder.ReportList(), utcNow);
}

}  // namespace tern
