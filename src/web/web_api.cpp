#include "web/web_api.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <mutex>
#include <nlohmann/json.hpp>

#include "common/latin1.h"
#include "config/schedule_table.h"
#include "fax/fax_image.h"
#include "link/transmitter_names.h"
#include "messages/navtex_subjects.h"
#include "presenters/dwd_store.h"
#include "synop/rebuild_input.h"
#include "web/web_text.h"

namespace tern {

namespace {

using nlohmann::json;

// Texts from the air are converted from Latin-1 first, so every string is valid UTF-8; the
// replacing handler only guards against a program text gone wrong.
std::string dump(const json& j) { return j.dump(-1, ' ', false, json::error_handler_t::replace); }

json timeOrNull(const CivilTime& t, bool utc) {
  std::string text = isoTime(t, utc);
  return text.empty() ? json(nullptr) : json(text);
}

json utf8Lines(const std::vector<std::string>& latin1Lines) {
  json lines = json::array();
  for (const std::string& line : latin1Lines) lines.push_back(latin1ToUtf8(line));
  return lines;
}

// Newest first; a time that cannot be read sorts after every valid one, arrival order kept.
template <typename T>
void sortNewestFirst(std::vector<T>& items) {
  auto rank = [](const T& item) {
    const CivilTime t = item.record.receptionTime();
    return isValidCivilTime(t) ? secondsSinceEpoch(t) : std::numeric_limits<std::int64_t>::min();
  };
  std::stable_sort(items.begin(), items.end(),
                   [&](const T& a, const T& b) { return rank(a) > rank(b); });
}

struct TableCopy {
  MessageRecord record;
  int table = 0;
  std::string title;  // Latin-1
};

// The filled slots of `table`, copied with their schedule entry's title.
void copyTable(const MessageStore& store, int table, bool withData, std::vector<TableCopy>& out) {
  const MessageTable& t = store.table(table);
  const std::vector<std::string>& ids = store.identifiers(table);
  for (int row = 0; row < t.rowCount(); ++row) {
    const std::string id = static_cast<std::size_t>(row) < ids.size()
                               ? ids[static_cast<std::size_t>(row)]
                               : std::string();
    for (int s = 0; s < MessageTable::kSlots; ++s) {
      const MessageRecord& r = t.slot(row, s);
      if (r.isEmpty()) continue;
      TableCopy copy{.record = {}, .table = table, .title = id.size() > 7 ? id.substr(7) : ""};
      copy.record.header = r.header;
      copy.record.newFlag = r.newFlag;
      copy.record.serial = r.serial;
      if (withData) copy.record.data = r.data;
      out.push_back(std::move(copy));
    }
  }
}

json recordBase(const MessageRecord& r) {
  return {{"id", r.serial},
          {"key", latin1ToUtf8(r.keyText())},
          {"time", timeOrNull(r.receptionTime(), true)},
          {"new", r.newFlag != 0}};
}

double tenthRound(double value) { return std::round(value * 10) / 10; }

// A ship bulletin the SYNOP decoder reads for the wind map.
bool decodedForWindMap(DwdStore store, std::string_view key) {
  const auto rows = synop::RebuildRows();
  return std::any_of(rows.begin(), rows.end(), [&](const synop::InputRow& row) {
    return !row.coastal && row.store == store && row.heading == key;
  });
}

// "ship" or "land" when a line near the top opens SYNOP code with its section 0 marker (FM 13
// "BBXX", FM 12 "AAXX"); null for a bulletin in words.
json synopCode(const std::vector<std::string>& lines) {
  constexpr std::size_t kHeadLines = 6;  // ZCZC, heading, a title or two, then the code
  for (std::size_t i = 0; i < lines.size() && i < kHeadLines; ++i) {
    const std::string_view word =
        std::string_view(lines[i]).substr(0, lines[i].find_first_of(" \t\r"));
    if (word == "BBXX") return "ship";
    if (word == "AAXX") return "land";
  }
  return nullptr;
}

}  // namespace

std::string bulletinsJson(const MessageStore& store) {
  std::vector<TableCopy> copies;
  {
    std::lock_guard lock(store.mutex());
    copyTable(store, 0, true, copies);
    copyTable(store, 1, true, copies);
  }
  sortNewestFirst(copies);
  json list = json::array();
  for (const TableCopy& c : copies) {
    json item = recordBase(c.record);
    item["language"] = c.table == 0 ? "de" : "en";
    item["title"] = latin1ToUtf8(c.title);
    item["transmitter"] = latin1ToUtf8(TransmitterName(c.record.transmitterCode()));
    item["brokenOff"] = (c.record.flagByte() & 1) != 0;
    const std::vector<std::string> lines = TDWDStore::BulletinLines(c.record);
    const bool windMap =
        decodedForWindMap(c.table == 0 ? DwdStore::German : DwdStore::English, c.record.keyText());
    item["synop"] = windMap ? json("ship") : synopCode(lines);
    item["windMap"] = windMap;
    item["lines"] = utf8Lines(lines);
    list.push_back(std::move(item));
  }
  return dump({{"bulletins", std::move(list)}});
}

std::string navtexJson(const MessageStore& store, const NavtexFilter& filter) {
  struct Copy {
    MessageRecord record;
    int which = 0;
  };
  std::vector<Copy> copies;
  int hidden = 0;
  {
    std::lock_guard lock(store.mutex());
    for (int which = 0; which < kNavtexCount; ++which)
      for (const MessageRecord& r : store.navtex(which).records()) {
        if (filter.Shown(which, r.keyText()))
          copies.push_back({r, which});
        else
          ++hidden;
      }
  }
  sortNewestFirst(copies);
  json list = json::array();
  for (const Copy& c : copies) {
    const std::string key = c.record.keyText();
    json item = recordBase(c.record);
    item["frequency"] = navtexFrequency(c.which).khz;
    item["station"] = latin1ToUtf8(key.substr(0, 1));
    item["subject"] = latin1ToUtf8(key.size() > 1 ? key.substr(1, 1) : "");
    item["category"] = NavtexCategoryCaption(key.size() > 1 ? key[1] : ' ');
    item["alert"] = filter.Alerts(c.which, key);
    item["lines"] = utf8Lines(c.record.textLines());
    list.push_back(std::move(item));
  }
  return dump({{"hidden", hidden}, {"messages", std::move(list)}});
}

std::string alertsJson(const std::vector<AlertEntry>& newestFirst) {
  json list = json::array();
  int unseen = 0;
  for (const AlertEntry& e : rankedAlerts(newestFirst)) {
    unseen += e.seen ? 0 : 1;
    list.push_back({{"time", timeOrNull(e.time, true)},
                    {"kind", std::string(alertKindName(e.kind))},
                    {"text", e.text},
                    {"seen", e.seen}});
  }
  return dump({{"unseen", unseen}, {"alerts", std::move(list)}});
}

std::string barographJson(const MessageStore& store, const BarographRequest& request) {
  const int days = std::clamp(request.days, 1, 7);
  const int step = std::clamp(request.stepMinutes, 1, 60);
  // Points picked from the newest sample back, so the newest value is always on the curve.
  struct Point {
    CivilTime time;
    std::int16_t pressure;
  };
  std::vector<Point> points;
  std::optional<double> tendency;
  {
    std::lock_guard lock(store.mutex());
    const BaroStore& baro = store.baro();
    const int c = std::min<int>(baro.count(), BaroStore::kSampleCount);
    const int first = std::max(0, c - days * 24 * 60);
    for (int i = c - 1; i >= first; i -= step)
      points.push_back({baro.sampleTime(i), baro.pressure(i)});
    tendency = threeHourTendency(baro);
  }
  std::reverse(points.begin(), points.end());
  auto seaLevel = [&](std::int16_t pressure) {
    return tenthRound(
        reduceToSeaLevel((pressure + 100000.0) / 100.0, request.temperatureC, request.heightM));
  };
  json samples = json::array();
  for (const Point& p : points)
    samples.push_back({{"time", timeOrNull(p.time, false)}, {"hPa", seaLevel(p.pressure)}});
  return dump(
      {{"heightM", request.heightM},
       {"pressureHPa", points.empty() ? json(nullptr) : json(seaLevel(points.back().pressure))},
       {"tendencyHPa", tendency ? json(tenthRound(*tendency)) : json(nullptr)},
       {"samples", std::move(samples)}});
}

std::string faxListJson(const MessageStore& store) {
  std::vector<std::vector<TableCopy>> stations(kFaxStationCount);
  {
    std::lock_guard lock(store.mutex());
    for (int table = kFirstFaxTable; table < kTableCount; ++table)
      copyTable(store, table, false, stations[static_cast<std::size_t>(table - kFirstFaxTable)]);
  }
  json list = json::array();
  for (std::size_t k = 0; k < stations.size(); ++k) {
    sortNewestFirst(stations[k]);
    json charts = json::array();
    for (const TableCopy& c : stations[k]) {
      json item = recordBase(c.record);
      item["title"] = latin1ToUtf8(c.title);
      item["transmitter"] = latin1ToUtf8(TransmitterName(c.record.transmitterCode()));
      // The receiver dropped it for its reception quality: the picture is a white page.
      item["dropped"] = (c.record.flagByte() & kQualityFlagBit) != 0;
      charts.push_back(std::move(item));
    }
    list.push_back(
        {{"station", faxStation(static_cast<int>(k)).caption}, {"charts", std::move(charts)}});
  }
  return dump({{"stations", std::move(list)}});
}

}  // namespace tern
