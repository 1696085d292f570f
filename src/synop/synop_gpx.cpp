#include "synop/synop_gpx.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "synop/report_filter.h"
#include "synop/store_bulletin_source.h"
#include "synop/synop_decoder.h"

namespace tern {

namespace {

constexpr double kKnotsPerMetrePerSecond = 3600.0 / 1852.0;

std::string xmlEscape(const std::string& text) {
  std::string out;
  for (char c : text) {
    switch (c) {
      case '&':
        out += "&amp;";
        break;
      case '<':
        out += "&lt;";
        break;
      case '>':
        out += "&gt;";
        break;
      case '"':
        out += "&quot;";
        break;
      default:
        // Control characters other than tab and line feed are not allowed in XML 1.0.
        if (static_cast<unsigned char>(c) >= 0x20 || c == '\t' || c == '\n') out += c;
    }
  }
  return out;
}

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

}  // namespace

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
    for (std::size_t i = 0; i < r.lines.size() && i < kGpxDescriptionLines; ++i) {
      desc += "\n" + r.lines[i];
    }
    out += "  <wpt lat=\"" + tenths(r.latitude) + "\" lon=\"" + tenths(r.longitude) + "\">\n";
    if (time) out += "    <time>" + isoTime(*time) + "</time>\n";
    out += "    <name>" + xmlEscape(r.name) + "</name>\n";
    out += "    <desc>" + xmlEscape(desc) + "</desc>\n";
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
