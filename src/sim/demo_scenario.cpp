#include "sim/demo_scenario.h"

#include <cmath>
#include <string_view>

namespace tern::sim {

namespace {

CivilTime hoursBefore(const CivilTime& t, double hours) {
  return civilFromSeconds(secondsSinceEpoch(t) - static_cast<std::int64_t>(hours * 3600));
}

Bytes text(std::string_view s) { return Bytes(s.begin(), s.end()); }

}  // namespace

Scenario demoScenario(const CivilTime& utcNow) {
  namespace p = protocol;
  Scenario s;
  s.statusWord = p::kStatusNewDwd | p::kStatusNewFax | p::kStatusNewNavtex;

  auto& navtex = s.logs[p::kChannelNavtex];
  navtex.push_back({10,
                    "SA01",
                    hoursBefore(utcNow, 20),
                    {},
                    text("ZCZC SA01\nGALE WARNING GERMAN BIGHT\nWEST 7 TO 8\nNNNN\n")});
  navtex.push_back({9,
                    "LB12",
                    hoursBefore(utcNow, 6),
                    {},
                    text("ZCZC LB12\nSTURMWARNUNG DEUTSCHE BUCHT\nWEST 7\nNNNN\n")});
  navtex.push_back({10,
                    "SE02",
                    hoursBefore(utcNow, 2),
                    {},
                    text("ZCZC SE02\nNAVIGATIONAL WARNING\nBUOY UNLIT\nNNNN\n")});

  auto& dwd = s.logs[p::kChannelDwd];
  dwd.push_back({3,
                 "FQEN50",
                 hoursBefore(utcNow, 5),
                 {},
                 text("Seewetterbericht fuer Nord- und Ostsee\r\nDeutsche Bucht: West 5, "
                      "See 2 Meter.\r\n")});
  dwd.push_back({6,
                 "FQEN70",
                 hoursBefore(utcNow, 3),
                 {},
                 text("Sea weather report for North Sea and Baltic\r\nGerman Bight: west 5, "
                      "sea 2 metres.\r\n")});

  // A small fax record: a few rows of alternating levels are enough for the plumbing.
  Bytes fax(4096);
  for (std::size_t i = 0; i < fax.size(); ++i)
    fax[i] = static_cast<std::uint8_t>((i / 64) % 2 ? 0xFF : 0x00);
  s.logs[p::kChannelFax].push_back({0, "ASXX40", hoursBefore(utcNow, 4), {}, fax});

  // Three days of one sample a minute: a slow low passing through.
  constexpr int kSamples = 3 * 24 * 60;
  s.baroPressures.reserve(kSamples);
  for (int i = 0; i < kSamples; ++i) {
    double x = static_cast<double>(i) / kSamples;
    s.baroPressures.push_back(
        static_cast<std::int16_t>(1325 - 1800 * std::exp(-std::pow((x - 0.6) / 0.15, 2))));
  }
  s.pressure = s.baroPressures.back();

  s.receiveTestText = text("RYRYRYRY DDH47 TEST\r\nSEEWETTERBERICHT\r\n");
  return s;
}

}  // namespace tern::sim
