// tern-cli seewetter: the sea weather report and the strong wind and gale warnings per area,
// either the newest of a data folder or one bulletin file; as German lines, or with --json
// as one JSON document. Warnings come first: where they and the report disagree, both stand.
#include <cstdio>
#include <iostream>
#include <nlohmann/json.hpp>

#include "cli/cli_args.h"
#include "cli/commands.h"
#include "common/file_io.h"
#include "seaweather/sea_areas.h"
#include "seaweather/sea_weather.h"

namespace tern::cli {

namespace {

using Json = nlohmann::ordered_json;
using namespace seaweather;

// A bulletin file is no larger than the receiver's largest message.
constexpr std::size_t kMaxBulletinBytes = MessageRecord::kMaxDataLength;

Json orNull(int v) { return v < 0 ? Json(nullptr) : Json(v); }
Json orNull(double v) { return v < 0 ? Json(nullptr) : Json(v); }
Json orNull(const std::string& s) { return s.empty() ? Json(nullptr) : Json(s); }

std::string isoTime(const std::optional<CivilTime>& t) {
  if (!t) return {};
  char buf[32];
  std::snprintf(buf, sizeof buf, "%04d-%02d-%02dT%02d:%02d:%02dZ", t->year, t->month, t->day,
                t->hour, t->minute, t->second);
  return buf;
}

// "10.12.2026, 00:05 UTC" for the lines.
std::string germanTime(const CivilTime& t) {
  char buf[40];
  std::snprintf(buf, sizeof buf, "%02d.%02d.%04d, %02d:%02d UTC", t.day, t.month, t.year, t.hour,
                t.minute);
  return buf;
}

std::string joined(const std::vector<std::string>& parts, const char* between) {
  std::string out;
  for (const std::string& p : parts) out += (out.empty() ? "" : between) + p;
  return out;
}

// Compass points in English letters; "variabel" for changing winds, nothing for light ones.
std::vector<std::string> directions(const AreaWind& w) {
  std::vector<std::string> out;
  if (w.variable) out.emplace_back("variabel");
  for (int p : w.points) out.emplace_back(compassAbbreviation(p));
  return out;
}

Json entryJson(const AreaEntry& e, bool warning) {
  Json j = {{"id", orNull(e.id)}, {"name", e.name}};
  if (warning) {
    j["level"] = std::string(levelName(e.level()));
    j["bft"] = orNull(e.wind.bftMax);
  }
  j["directions"] = directions(e.wind);
  j["bft_min"] = orNull(e.wind.bftMin);
  j["bft_max"] = orNull(e.wind.bftMax);
  j["gusts_bft"] = orNull(e.wind.gustsBft);
  j["shower_gusts"] = e.wind.showerGusts;
  j["sea_m"] = orNull(e.wind.waveM());
  j["swell_m"] = orNull(e.wind.swellM);
  j["visibility"] = orNull(joined(e.wind.visibility, ", "));
  j["text"] = e.text;
  j["summary"] = e.wind.summary;
  j["known"] = e.known();
  j["unread"] = e.wind.unread;
  return j;
}

Json bulletinJson(const SeaBulletin& b) {
  return {{"heading", b.heading},
          {"language", b.language == Language::German ? "de" : "en"},
          {"issued", orNull(isoTime(b.issued))},
          {"kind", b.kind == BulletinKind::Report ? "report" : "warnings"},
          {"valid_until", orNull(b.validUntil)},
          {"fully_read", b.fullyRead()}};
}

Json toJson(const SeaWeather& w) {
  Json out = {{"bulletins", Json::array()},        {"expected", Json::array()},
              {"expected_unknown", Json::array()}, {"areas", Json::array()},
              {"warnings", Json::array()},         {"unread_parts", Json::array()}};
  for (const auto* b : {&w.report, &w.warnings}) {
    if (!*b) continue;
    out["bulletins"].push_back(bulletinJson(**b));
    for (const std::string& part : (*b)->unreadParts)
      out["unread_parts"].push_back({{"heading", (*b)->heading}, {"text", part}});
  }
  if (w.report) {
    out["expected"] = w.report->expected;
    out["expected_unknown"] = w.report->expectedUnknown;
    for (const AreaEntry& e : w.report->areas) out["areas"].push_back(entryJson(e, false));
    out["synopsis"] = orNull(w.report->synopsis);
    out["outlook"] = orNull(w.report->outlook);
  }
  if (w.warnings)
    for (const AreaEntry& e : w.warnings->warnings) out["warnings"].push_back(entryJson(e, true));
  return out;
}

std::string_view warningTitle(WarningLevel level) {
  static constexpr std::string_view kTitles[] = {"Warnung",
                                                 "Starkwindwarnung",
                                                 "Sturmwarnung",
                                                 "Warnung vor schwerem Sturm",
                                                 "Warnung vor orkanartigem Sturm",
                                                 "Orkanwarnung"};
  return kTitles[static_cast<std::size_t>(level)];
}

// "Westliche Ostsee", or the unknown name marked as such.
std::string areaLabel(const AreaEntry& e) {
  return e.known() ? e.name : "Unbekanntes Seegebiet \"" + e.name + "\"";
}

std::string unreadNote(const AreaEntry& e) {
  return e.wind.readable() ? "" : "  [nicht lesbar: " + joined(e.wind.unread, ", ") + "]";
}

void printLines(const SeaWeather& w) {
  if (!w.report && !w.warnings) {
    std::cout << "Kein Seewetterbericht und keine Warnungen vorhanden.\n";
    return;
  }
  if (w.warnings) {
    const SeaBulletin& b = *w.warnings;
    std::cout << "Starkwind- und Sturmwarnungen " << b.heading;
    if (b.issued) std::cout << " vom " << germanTime(*b.issued);
    std::cout << '\n';
    if (b.noWarnings) std::cout << "Keine Warnungen.\n";
    for (const AreaEntry& e : b.warnings) {
      std::vector<std::string> dirs = directions(e.wind);
      std::cout << warningTitle(e.level()) << ' ' << areaLabel(e) << ": " << joined(dirs, "/");
      if (e.wind.bftMax >= 0) std::cout << (dirs.empty() ? "" : " ") << e.wind.bftMax << " Bft";
      std::cout << unreadNote(e) << '\n';
    }
    for (const std::string& part : b.unreadParts) std::cout << "Nicht gelesen: " << part << '\n';
  }
  if (w.report) {
    const SeaBulletin& b = *w.report;
    if (w.warnings) std::cout << '\n';
    std::cout << "Seewetterbericht " << b.heading;
    if (b.issued) std::cout << " vom " << germanTime(*b.issued);
    if (!b.validUntil.empty()) std::cout << ", gültig bis " << b.validUntil;
    std::cout << '\n';
    if (!b.expected.empty() || !b.expectedUnknown.empty()) {
      std::vector<std::string> names;
      for (const std::string& id : b.expected) names.emplace_back(areaById(id)->name);
      for (const std::string& name : b.expectedUnknown)
        names.push_back("unbekanntes Seegebiet \"" + name + "\"");
      std::cout << "Starkwind, Sturm oder Orkan erwartet: " << joined(names, ", ") << '\n';
    }
    for (const AreaEntry& e : b.areas)
      std::cout << areaLabel(e) << ": " << e.wind.summary << unreadNote(e) << '\n';
    for (const std::string& part : b.unreadParts) std::cout << "Nicht gelesen: " << part << '\n';
  }
}

int print(const SeaWeather& weather, bool json) {
  if (json)
    std::cout << toJson(weather).dump(2, ' ', false, Json::error_handler_t::replace) << '\n';
  else
    printLines(weather);
  std::cout.flush();
  if (!std::cout) return fail("Die Ausgabe kann nicht geschrieben werden", 1);
  return 0;
}

}  // namespace

int cmdSeewetter(const Words& words) {
  Args args(words, {"--data-folder", "--program-folder", "--file"});
  if (int status = refuseOptions(args, {"--json"}, "seewetter")) return status;
  if (int status = refuseArguments(args)) return status;
  const bool json = args.flag("--json");
  const auto file = args.value("--file");

  if (args.value("--data-folder")) {
    if (file) return fail("--file passt nicht zu --data-folder");
    ReadOnlySession session(sessionOptionsOf(args), nullptr);
    if (int status = requireDataFolder(session, 2)) return status;
    const MessageStore& stored = session.Store();
    const std::vector<SeaBulletin> bulletins = storedSeaBulletins(stored);
    if (int status = print(newestSeaWeather(bulletins), json)) return status;
    return reportLoadProblems(stored.loadProblems());
  }
  if (args.value("--program-folder")) return fail("--program-folder gehört zu --data-folder");
  if (!file) return fail("seewetter braucht --data-folder ORDNER oder --file DATEI");
  FileData data = readWholeFile(*file, kMaxBulletinBytes);
  if (!data.status) return fail(data.status.message, 1);
  const std::vector<SeaBulletin> one{readSeaBulletin(
      std::string_view(reinterpret_cast<const char*>(data.bytes.data()), data.bytes.size()))};
  return print(newestSeaWeather(one), json);
}

}  // namespace tern::cli
