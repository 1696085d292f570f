// NAVTEX messages of the demo receiver: several stations on 518 kHz and on 490 kHz (the
// German-language service of Pinneberg among them), each broadcasting a few messages of its
// subjects every four hours in the "ZCZC B1B2B3B4 ... NNNN" form.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "sim/demo_weather.h"

namespace tern::sim {

struct NavtexStation {
  char letter;           // B1
  std::uint8_t code;     // transmitter code: 10 = 518 kHz, 9 = 490 kHz
  int firstMinute;       // first broadcast of the day (UTC); then every four hours
  const char* subjects;  // B2 letters the station sends
  const char* name;
  bool german;
};

const std::vector<NavtexStation>& navtexStations();

struct NavtexMessage {
  std::string id;    // B1B2B3B4, the record's key text
  std::string text;  // ZCZC ... NNNN, lines ending CR LF
};

// The messages of one broadcast of `station` at `utcSeconds` (a broadcast time).
std::vector<NavtexMessage> navtexBroadcast(const NavtexStation& station, std::int64_t utcSeconds,
                                           const DemoWeather& weather);

}  // namespace tern::sim
