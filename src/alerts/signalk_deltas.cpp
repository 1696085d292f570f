#include "alerts/signalk_deltas.h"

#include <cstdio>
#include <nlohmann/json.hpp>

#include "common/latin1.h"
#include "messages/navtex_names.h"

namespace tern {

namespace {

using nlohmann::json;

std::string delta(json values, const CivilTime& utcNow) {
  char stamp[32];
  std::snprintf(stamp, sizeof stamp, "%04d-%02d-%02dT%02d:%02d:%02dZ", utcNow.year, utcNow.month,
                utcNow.day, utcNow.hour, utcNow.minute, utcNow.second);
  const json update = {
      {"source", {{"label", kSignalKSource}}}, {"timestamp", stamp}, {"values", std::move(values)}};
  return json{{"updates", json::array({update})}}.dump();
}

json notification(const char* state, const std::string& message) {
  return {{"state", state}, {"method", {"visual", "sound"}}, {"message", message}};
}

// A path element: letters and digits only, so a damaged id cannot open another branch.
std::string pathElement(const std::string& text) {
  std::string out;
  for (char c : text) {
    out += (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ? c : '_';
  }
  return out.empty() ? "_" : out;
}

}  // namespace

std::string signalKReadingDelta(const BarometerReading& reading, const CivilTime& utcNow) {
  return delta(json::array({{{"path", "environment.outside.pressure"},
                             {"value", reading.seaLevelHpa * 100.0}},
                            {{"path", "environment.outside.temperature"},
                             {"value", reading.temperatureC + 273.15}}}),
               utcNow);
}

std::string signalKPressureDelta(const WeatherWatch::PressureAlarm& alarm,
                                 const CivilTime& utcNow) {
  json value = nullptr;
  if (alarm.level != PressureLevel::Calm) {
    value = notification(alarm.level == PressureLevel::Gale ? "alarm" : "warn", alarm.text);
  }
  return delta(json::array({{{"path", "notifications.environment.outside.pressure"},
                             {"value", std::move(value)}}}),
               utcNow);
}

std::string signalKNavtexId(const std::string& key) { return pathElement(key.substr(0, 4)); }

std::string signalKNavtexDelta(const MessageRecord& record, int which, const CivilTime& utcNow) {
  const std::string key = record.keyText();
  const char subject = key.size() < 2 ? ' ' : key[1];
  const char* state = subject == 'D' || subject == 'A' ? "alarm"
                      : subject == 'B'                 ? "warn"
                                                       : "alert";
  const std::string message = std::string("NAVTEX ") + NavtexSubjectWord(subject) + " (" +
                              printableLatin1(std::string(1, subject)) + "), " +
                              NavtexStationName(which, record) + ": " +
                              latin1ToUtf8(NavtexHeadline(record));
  return delta(json::array({{{"path", "notifications.navtex." + signalKNavtexId(key)},
                             {"value", notification(state, message)}}}),
               utcNow);
}

std::string signalKNavtexCleared(const std::string& id, const CivilTime& utcNow) {
  return delta(json::array({{{"path", "notifications.navtex." + id}, {"value", nullptr}}}), utcNow);
}

namespace {

std::string signalKSeaAreaPath(const std::string& id) {
  // Area ids are lower-case letters and hyphens from the table of areas; the path element
  // is checked all the same.
  std::string element;
  for (char c : id)
    element += (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' ? c : '_';
  return "notifications.environment.seaArea." + (element.empty() ? "_" : element);
}

}  // namespace

std::string signalKSeaAreaDelta(const SeaAreaWarning& warning, const CivilTime& utcNow) {
  const char* state = warning.level >= seaweather::WarningLevel::Gale ? "alarm" : "warn";
  return delta(json::array({{{"path", signalKSeaAreaPath(warning.id)},
                             {"value", notification(state, warning.text)}}}),
               utcNow);
}

std::string signalKSeaAreaCleared(const std::string& id, const CivilTime& utcNow) {
  return delta(json::array({{{"path", signalKSeaAreaPath(id)}, {"value", nullptr}}}), utcNow);
}

}  // namespace tern
