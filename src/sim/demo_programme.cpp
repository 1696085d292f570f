#include "sim/demo_programme.h"

#include <algorithm>
#include <cstdio>
#include <string>
#include <string_view>

#include "link/protocol.h"
#include "sim/demo_bulletins.h"
#include "sim/demo_fax.h"
#include "sim/demo_navtex.h"
#include "sim/demo_random.h"
#include "sim/demo_synop.h"

namespace tern::sim {

namespace {

using K = BulletinKind;
using A = AreaSet;

struct DwdRow {
  BulletinSpec plan;
  const char* times;  // start times "HH:MM HH:MM ..." (UTC), as in the schedule file
  int minutes;        // duration
};

// The two RTTY schedule files row by row. Ship rows ("SMVX4/", "SIVX4/") stand for the eight
// bulletins 41..48, sent one after the other within the row's time.
const DwdRow kDwdRows[] = {
    {{"WODL45", "STARKWIND- UND STURMWARNUNGEN", K::Warning, A::SeaAreas, true},
     "00:00 03:00 06:00 09:00 12:00 15:00 18:00 21:00",
     5},
    {{"FQEN50", "SEEWETTERBERICHT FUER NORD- UND OSTSEE", K::SeaReport, A::SeaAreas, true},
     "00:05 03:05 06:05 09:05 12:05 15:05 18:05 21:05",
     11},
    {{"FQEN51", "WETTERBERICHT FUER DIE DEUTSCHE NORD- UND OSTSEEKUESTE", K::CoastReport,
      A::GermanCoast, true},
     "00:20 03:20 06:20 09:20 12:55 15:20 18:20 21:20",
     10},
    {{"FQMM60", "SEEWETTERBERICHT MITTELMEER", K::SeaReport, A::Mediterranean, true}, "12:16", 14},
    {{"NOXX50", "HINWEISE ZUR NUTZUNG DER WETTERDATEN", K::Notice, A::NorthSeaBaltic, true},
     "00:30 12:30",
     5},
    {{"FQEN63", "NAUTISCHE WARNNACHRICHTEN NORDSEE", K::NavWarning, A::NorthSeaBaltic, true},
     "00:35 06:35 12:35 18:35",
     10},
    {{"FQEN64", "NAUTISCHE WARNNACHRICHTEN OSTSEE", K::NavWarning, A::Baltic, true},
     "00:45 06:45 12:45 18:45",
     10},
    {{"SXEN40", "", K::CoastalObs, A::NorthSeaBaltic, true},
     "01:30 04:30 07:30 10:30 13:30 16:30 19:30 22:30",
     10},
    {{"SMVX4", "", K::ShipSynop, A::NorthSeaBaltic, true}, "02:00 08:00 14:00 20:00", 30},
    {{"SXMM41", "", K::CoastalObs, A::Mediterranean, true}, "04:40 10:40 16:40 22:40", 10},
    {{"FXDL40", "MITTELFRISTVORHERSAGE NORD- UND OSTSEE", K::MediumRange, A::NorthSeaBaltic, true},
     "03:35 15:35",
     15},
    {{"FEBQ52", "MITTELFRISTVORHERSAGE OSTSEE", K::MediumRange, A::Baltic, true},
     "09:35 21:35",
     20},
    {{"FEEN53", "MITTELFRISTVORHERSAGE NORDSEE", K::MediumRange, A::GermanBight, true},
     "09:55 21:55",
     20},
    {{"FEMM54", "MITTELFRISTVORHERSAGE MITTELMEER", K::MediumRange, A::Mediterranean, true},
     "11:30 23:30",
     20},
    {{"ICEB50", "EISBERICHT OSTSEE", K::Ice, A::Baltic, true}, "07:00 19:00", 10},
    {{"SMDL41", "", K::LandSynop, A::NorthSeaBaltic, true}, "05:00 11:00 17:00 23:00", 20},
    {{"FQEN57", "WETTERLAGE UND VORHERSAGE FUER SPORTBOOTE", K::CoastReport, A::GermanCoast, true},
     "07:10 16:10",
     10},
    {{"WONT45", "STURMWARNUNGEN NORDOSTATLANTIK", K::Warning, A::Atlantic, true},
     "01:40 07:40 13:40 19:40",
     5},
    {{"FQNT52", "SEEWETTERBERICHT NORDOSTATLANTIK", K::SeaReport, A::Atlantic, true},
     "02:35 14:35",
     15},

    {{"WODL45", "STRONG WIND, GALE AND STORM WARNINGS", K::Warning, A::SeaAreas, false},
     "00:00 03:00 06:00 09:00 12:00 15:00 18:00 21:00",
     5},
    {{"FQEN70", "WEATHER REPORT NORTH SEA AND BALTIC", K::SeaReport, A::SeaAreas, false},
     "00:05 03:05 06:05 09:05 12:05 15:05 18:05 21:05",
     15},
    {{"FQEN71", "WEATHER REPORT GERMAN NORTH SEA AND BALTIC COASTS", K::CoastReport, A::GermanCoast,
      false},
     "00:20 03:20 06:20 09:20 12:20 15:20 18:20 21:20",
     10},
    {{"NOXX70", "ADVICE ON THE USE OF WEATHER DATA", K::Notice, A::NorthSeaBaltic, false},
     "00:30 12:30",
     5},
    {{"WONT79", "GALE WARNINGS NORTH EAST ATLANTIC", K::Warning, A::Atlantic, false},
     "06:30 18:30",
     5},
    {{"SMDL70", "", K::LandSynop, A::NorthSeaBaltic, false}, "00:35 12:35", 15},
    {{"FQDL83", "WEATHER REPORT GERMAN BIGHT", K::SeaReport, A::GermanBight, false},
     "06:35 18:35",
     15},
    {{"SMEU71", "", K::LandSynop, A::NorthSeaBaltic, false}, "00:50 06:50 12:50 18:50", 15},
    {{"SMEU78", "", K::LandSynop, A::NorthSeaBaltic, false}, "01:05 07:05 13:05 19:05", 15},
    {{"SMNA72", "", K::LandSynop, A::NorthSeaBaltic, false}, "01:20 13:20", 25},
    {{"SMAF73", "", K::LandSynop, A::NorthSeaBaltic, false}, "01:45 13:45", 15},
    {{"ICEB80", "ICE REPORT BALTIC", K::Ice, A::Baltic, false}, "07:20 19:20", 15},
    {{"FXEN81", "SEA STATE FORECAST NORTH SEA AND BALTIC", K::SeaReport, A::NorthSeaBaltic, false},
     "07:35 19:35",
     15},
    {{"SXEN42", "", K::CoastalObs, A::NorthSeaBaltic, false}, "07:50 19:50", 10},
    {{"SMVX4", "", K::ShipSynop, A::NorthSeaBaltic, false}, "02:00 08:00 14:00 20:00", 60},
    {{"FEBQ72", "MEDIUM-RANGE FORECAST BALTIC", K::MediumRange, A::Baltic, false},
     "03:30 15:30",
     25},
    {{"FEEN73", "MEDIUM-RANGE FORECAST NORTH SEA", K::MediumRange, A::GermanBight, false},
     "03:55 15:55",
     20},
    {{"FEMM74", "MEDIUM-RANGE FORECAST MEDITERRANEAN", K::MediumRange, A::Mediterranean, false},
     "04:15 16:15",
     25},
    {{"SIVX4", "", K::ShipSynop, A::NorthSeaBaltic, false}, "04:40 10:40 16:40 22:40", 35},
    {{"NAEN75", "NAVIGATIONAL WARNINGS NORTH SEA, BALTIC AND GERMAN COASTS", K::NavWarning,
      A::NorthSeaBaltic, false},
     "05:15 11:15 17:15 23:15",
     15},
    {{"FQMM76", "WEATHER REPORT MEDITERRANEAN", K::SeaReport, A::Mediterranean, false},
     "05:30 11:30 17:30 23:30",
     15},
    {{"FQNT77", "WEATHER REPORT NORTH EAST ATLANTIC", K::SeaReport, A::Atlantic, false},
     "05:45 11:45 17:45 23:45",
     15},
    {{"FXDL84", "OUTLOOK GERMAN COASTAL WATERS, 5 DAYS", K::MediumRange, A::GermanCoast, false},
     "09:30 21:30",
     20},
    {{"FQBQ85", "WEATHER REPORT BALTIC SEA AND APPROACHES", K::SeaReport, A::Baltic, false},
     "09:50 21:50",
     15},
    {{"FQNO86", "WEATHER REPORT NORWEGIAN SEA", K::SeaReport, A::Norwegian, false},
     "10:05 22:05",
     15},
    {{"FQBI87", "WEATHER REPORT BISCAY AND ENGLISH CHANNEL", K::SeaReport, A::Biscay, false},
     "10:20 22:20",
     20},
};

struct FaxRow {
  const char* id;
  const char* title;
  std::uint8_t firstCode, codeCount;
  ChartKind kind;
  const char* times;
  int minutes;
};

// A choice of rows from the five fax schedules.
const FaxRow kFaxRows[] = {
    {"ASXX40", "DWD BODENWETTERKARTE", 0, 3, ChartKind::SurfaceAnalysis, "04:30 16:00", 12},
    {"FSXX41", "DWD BODENDRUCKVORHERSAGE +30 H", 0, 3, ChartKind::SurfacePrognosis, "05:12 17:12",
     12},
    {"IEBQ43", "DWD EISKARTE WESTLICHE OSTSEE", 0, 3, ChartKind::Ice, "15:20", 15},
    {"AWXX55", "DWD SEEGANGSANALYSE NORDATLANTIK", 0, 3, ChartKind::SeaState, "08:30 20:30", 12},
    {"ASXX69", "DWD BODENANALYSE EUROPA", 0, 3, ChartKind::SurfaceAnalysis, "00:15 12:30", 12},
    {"NOXX73", "DWD TESTBILD", 0, 3, ChartKind::TestPattern, "02:55 14:55", 3},
    {"PPVA89", "NORTHWOOD SURFACE ANALYSIS", 11, 3, ChartKind::SurfaceAnalysis,
     "03:00 04:00 05:00 15:00 16:00 17:00", 11},
    {"PPVE24", "NORTHWOOD SURFACE PROGNOSIS T+24", 11, 3, ChartKind::SurfacePrognosis,
     "05:24 17:24", 11},
    {"PJAA24", "NORTHWOOD SEA AND SWELL ANALYSIS", 11, 3, ChartKind::SeaState, "07:00 19:00", 11},
    {"NOXX00", "HALIFAX TEST CHART", 14, 4, ChartKind::TestPattern, "01:00 13:00", 3},
    {"ASXX01", "HALIFAX SURFACE ANALYSIS", 14, 4, ChartKind::SurfaceAnalysis,
     "01:03 07:03 13:03 19:03", 11},
    {"NOXX00", "BOSTON TEST PATTERN", 21, 4, ChartKind::TestPattern, "02:30 14:00", 3},
    {"QYAA00", "BOSTON SURFACE ANALYSIS PART 1", 21, 4, ChartKind::SurfaceAnalysis,
     "03:05 08:05 15:05 20:05", 11},
    {"PIAA00", "BOSTON ICE CONDITIONS NIK", 21, 4, ChartKind::Ice, "06:27 18:27", 11},
    {"NOXX00", "NEW ORLEANS TEST PATTERN", 18, 3, ChartKind::TestPattern, "00:00 12:00", 5},
    {"QYEA10", "NEW ORLEANS TROPICAL SURFACE ANALYSIS W", 18, 3, ChartKind::SurfaceAnalysis,
     "00:05 12:05", 15},
    {"PWEE24", "NEW ORLEANS 24 H WIND AND WAVE FORECAST", 18, 3, ChartKind::SeaState, "00:35 12:35",
     12},
};

int chartLines(ChartKind kind) {
  switch (kind) {
    case ChartKind::SurfaceAnalysis:
      return 1900;
    case ChartKind::SurfacePrognosis:
      return 1500;
    case ChartKind::SeaState:
      return 1400;
    case ChartKind::Ice:
      return 1200;
    case ChartKind::TestPattern:
      return 700;
  }
  return 1200;
}

std::vector<int> minutesOf(std::string_view times) {
  std::vector<int> out;
  for (std::size_t i = 0; i + 5 <= times.size(); i += 6)
    out.push_back(((times[i] - '0') * 10 + (times[i + 1] - '0')) * 60 + (times[i + 3] - '0') * 10 +
                  (times[i + 4] - '0'));
  return out;
}

// Calls add(start) for every broadcast of a daily time list that starts in [from, to).
template <typename F>
void forEachStart(const char* times, std::int64_t from, std::int64_t to, F add) {
  const std::vector<int> minutes = minutesOf(times);
  for (std::int64_t day = from / 86400 - 1; day * 86400 < to; ++day)
    for (int m : minutes) {
      std::int64_t start = day * 86400 + m * 60;
      if (start >= from && start < to) add(start);
    }
}

// Seconds after the start at which the receiver stamps the recording.
std::int64_t stampDelay(std::int64_t start, int index) {
  return static_cast<std::int64_t>(
             demoSeed({static_cast<std::uint64_t>(start), static_cast<std::uint64_t>(index)}) %
             40) +
         2;
}

CivilTime civil(std::int64_t seconds) { return civilFromSeconds(seconds); }

}  // namespace

std::vector<DemoItem> demoItemsBetween(std::int64_t from, std::int64_t to) {
  std::vector<DemoItem> items;
  // Starts up to a day before `from` may still complete inside the window.
  const std::int64_t earliest = from - 2 * 3600;
  for (int r = 0; r < static_cast<int>(std::size(kDwdRows)); ++r) {
    const DwdRow& row = kDwdRows[r];
    forEachStart(row.times, earliest, to, [&](std::int64_t start) {
      if (row.plan.kind != K::ShipSynop) {
        items.push_back({DemoItem::Source::Dwd, start, start + row.minutes * 60, r, 0});
        return;
      }
      const std::int64_t each = row.minutes * 60 / 8;
      for (int k = 0; k < 8; ++k)
        items.push_back({DemoItem::Source::Dwd, start + k * each, start + (k + 1) * each, r, k});
    });
  }
  for (int r = 0; r < static_cast<int>(std::size(kFaxRows)); ++r)
    forEachStart(kFaxRows[r].times, earliest, to, [&](std::int64_t start) {
      items.push_back({DemoItem::Source::Fax, start, start + kFaxRows[r].minutes * 60, r, 0});
    });
  const auto& stations = navtexStations();
  for (int s = 0; s < static_cast<int>(stations.size()); ++s) {
    std::string times;
    for (int m = stations[s].firstMinute % 240; m < 1440; m += 240) {
      char buf[8];
      std::snprintf(buf, sizeof buf, "%02d:%02d ", m / 60, m % 60);
      times += buf;
    }
    forEachStart(times.c_str(), earliest, to, [&](std::int64_t start) {
      items.push_back({DemoItem::Source::Navtex, start, start + 6 * 60, s, 0});
    });
  }
  std::erase_if(items, [&](const DemoItem& i) { return i.due <= from || i.due > to; });
  std::stable_sort(items.begin(), items.end(),
                   [](const DemoItem& a, const DemoItem& b) { return a.due < b.due; });
  return items;
}

// Rows of one station share their first frequency code.
int demoChartStation(const DemoItem& item) { return kFaxRows[item.index].firstCode; }

std::vector<std::pair<std::uint8_t, SimRecord>> demoRecords(const DemoItem& item,
                                                            const DemoWeather& weather,
                                                            bool drawChartsLater) {
  namespace p = protocol;
  std::vector<std::pair<std::uint8_t, SimRecord>> out;
  const std::uint64_t seed =
      demoSeed({static_cast<std::uint64_t>(item.start), static_cast<std::uint64_t>(item.index), 7});
  const CivilTime stamp = civil(item.start + stampDelay(item.start, item.index));
  switch (item.source) {
    case DemoItem::Source::Dwd: {
      const DwdRow& row = kDwdRows[item.index];
      BulletinSpec plan = row.plan;
      std::string heading = plan.id;
      if (plan.kind == K::ShipSynop) heading += static_cast<char>('1' + item.part);
      plan.id = heading.c_str();
      const std::string text = dwdBulletin(plan, item.start, weather);
      SimRecord r;
      r.code = static_cast<std::uint8_t>((plan.german ? 3 : 6) + seed % 3);
      r.key = heading.substr(0, 6);
      r.received = stamp;
      // Now and then a recording that the schedule cut short.
      if (seed % 23 == 0) r.own[2] = 1;
      r.data.assign(text.begin(), text.end());
      out.emplace_back(p::kGroupDwd, std::move(r));
      break;
    }
    case DemoItem::Source::Fax: {
      const FaxRow& row = kFaxRows[item.index];
      ChartSpec chart;
      chart.kind = row.kind;
      chart.seed = static_cast<std::uint32_t>(seed);
      chart.lines = chartLines(row.kind);
      chart.title = std::string(row.id) + "  " + row.title;
      chart.subtitle = ddhhmm(item.start) + " UTC";
      SimRecord r;
      r.code = static_cast<std::uint8_t>(row.firstCode + seed % row.codeCount);
      r.key = row.id;
      r.received = stamp;
      if (drawChartsLater)
        r.draw = [chart] { return demoFaxRecording(chart); };
      else
        r.data = demoFaxRecording(chart);
      out.emplace_back(p::kGroupFax, std::move(r));
      break;
    }
    case DemoItem::Source::Navtex: {
      const NavtexStation& st = navtexStations()[static_cast<std::size_t>(item.index)];
      std::int64_t t = item.start;
      for (NavtexMessage& m : navtexBroadcast(st, item.start, weather)) {
        SimRecord r;
        r.code = st.code;
        r.key = m.id;
        r.received = civil(t);
        t += 70 + static_cast<std::int64_t>(seed % 50);
        r.data.assign(m.text.begin(), m.text.end());
        out.emplace_back(p::kGroupNavtex, std::move(r));
      }
      break;
    }
  }
  return out;
}

}  // namespace tern::sim
