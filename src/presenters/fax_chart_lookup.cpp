#include "presenters/fax_chart_lookup.h"

#include <algorithm>
#include <cstdio>
#include <vector>

#include "common/latin1.h"
#include "config/schedule_table.h"
#include "presenters/fax_map.h"

namespace tern {

namespace {

char upper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

bool sameName(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return upper(x == ' ' ? '_' : x) == upper(y == ' ' ? '_' : y);
         });
}

std::string joined(const std::vector<std::string>& names) {
  std::string out;
  for (const std::string& n : names) out += (out.empty() ? "" : ", ") + n;
  return out;
}

std::string slotText(int slot, const MessageRecord& r) {
  const CivilTime t = r.receptionTime();
  char text[48];
  std::snprintf(text, sizeof text, "%d vom %02d.%02d. %02d:%02d UTC", slot, t.day, t.month, t.hour,
                t.minute);
  return text;
}

}  // namespace

std::optional<int> FaxStationOf(std::string_view name) {
  for (int k = 0; k < kFaxStationCount; ++k)
    if (sameName(name, FaxStationName(k)) || sameName(name, faxStation(k).caption)) return k;
  return std::nullopt;
}

FaxChartLookup FindFaxChart(const MessageTable& table, int station, std::string_view row,
                            std::optional<int> slot) {
  FaxChartLookup out;
  const std::string stationName = FaxStationName(station);
  // The rows in table order, each named once: what the user may ask for instead.
  std::vector<std::string> rows;
  int found = -1;
  for (int r = 0; r < table.rowCount() && found < 0; ++r) {
    for (int s = 0; s < MessageTable::kSlots; ++s) {
      const MessageRecord& record = table.slot(r, s);
      if (record.isEmpty()) continue;
      const std::string name = FaxRowName(record.keyText());
      if (sameName(row, name)) found = r;
      if (std::find(rows.begin(), rows.end(), name) == rows.end()) rows.push_back(name);
    }
  }
  if (found < 0) {
    out.error = "Bei " + stationName + " gibt es keine Karte " + latin1ToUtf8(row) +
                (rows.empty() ? " (es ist keine Karte gespeichert)"
                              : " (gespeichert: " + latin1ToUtf8(joined(rows)) + ")");
    return out;
  }
  std::vector<std::string> slots;
  for (int s = 0; s < MessageTable::kSlots; ++s) {
    const MessageRecord& record = table.slot(found, s);
    if (record.isEmpty() || !sameName(row, FaxRowName(record.keyText()))) continue;
    if (!slot || *slot == s) {
      out.chart = record;
      out.slot = s;
      return out;
    }
    slots.push_back(slotText(s, record));
  }
  out.error = "Die Karte " + latin1ToUtf8(row) + " von " + stationName + " hat keine Aufnahme " +
              std::to_string(*slot) + " (vorhanden: " + joined(slots) + ")";
  return out;
}

}  // namespace tern
