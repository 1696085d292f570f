#include "seaweather/sea_weather.h"

#include <mutex>

namespace tern::seaweather {

namespace {

struct Copy {
  std::string heading;
  std::string text;
  CivilTime received;
};

bool later(const CivilTime& a, const CivilTime& b) {
  return secondsSinceEpoch(a) > secondsSinceEpoch(b);
}

// The newest record of `table` whose key text is `heading`, wherever its row is.
std::optional<Copy> newestOf(const MessageTable& table, std::string_view heading) {
  const MessageRecord* best = nullptr;
  for (int row = 0; row < table.rowCount(); ++row)
    for (int s = 0; s < MessageTable::kSlots; ++s) {
      const MessageRecord& r = table.slot(row, s);
      if (r.isEmpty() || r.keyText() != heading || !isValidCivilTime(r.receptionTime())) continue;
      if (best == nullptr || later(r.receptionTime(), best->receptionTime())) best = &r;
    }
  if (best == nullptr) return std::nullopt;
  return Copy{std::string(heading), std::string(best->data.begin(), best->data.end()),
              best->receptionTime()};
}

}  // namespace

SeaWeather newestSeaWeather(std::span<const SeaBulletin> bulletins) {
  SeaWeather w;
  auto newer = [](const SeaBulletin& b, const std::optional<SeaBulletin>& than) {
    if (!than) return true;
    if (!b.issued) return false;
    return !than->issued || later(*b.issued, *than->issued);
  };
  for (const SeaBulletin& b : bulletins) {
    std::optional<SeaBulletin>& slot = b.kind == BulletinKind::Report ? w.report : w.warnings;
    if (newer(b, slot)) slot = b;
  }
  return w;
}

std::vector<SeaBulletin> storedSeaBulletins(const MessageStore& store) {
  std::vector<Copy> copies;
  {
    std::lock_guard lock(store.mutex());
    const struct {
      int table;
      std::string_view heading;
    } wanted[] = {{0, kGermanReportHeading},
                  {0, kWarningsHeading},
                  {1, kEnglishReportHeading},
                  {1, kWarningsHeading}};
    for (const auto& w : wanted) {
      if (auto copy = newestOf(store.table(w.table), w.heading)) copies.push_back(std::move(*copy));
    }
  }
  std::vector<SeaBulletin> out;
  for (const Copy& c : copies) out.push_back(readSeaBulletin(c.text, c.heading, c.received));
  return out;
}

}  // namespace tern::seaweather
