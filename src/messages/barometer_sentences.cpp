#include "messages/barometer_sentences.h"

#include "messages/nmea_sentence.h"

namespace tern {

namespace {
constexpr double kHpaPerInchOfMercury = 33.8638866667;
}

std::string mdaSentence(const BarometerReading& r) {
  return nmeaSentence("WIMDA", {nmeaDecimal(r.seaLevelHpa / kHpaPerInchOfMercury, 4),
                                "I",
                                nmeaDecimal(r.seaLevelHpa / 1000.0, 5),
                                "B",
                                nmeaDecimal(r.temperatureC, 1),
                                "C",
                                "",
                                "C",
                                "",
                                "",
                                "",
                                "C",
                                "",
                                "T",
                                "",
                                "M",
                                "",
                                "N",
                                "",
                                "M"});
}

std::string xdrSentence(const BarometerReading& r) {
  return nmeaSentence("WIXDR", {"P", nmeaDecimal(r.seaLevelHpa / 1000.0, 5), "B", "Barometer", "C",
                                nmeaDecimal(r.temperatureC, 1), "C", "AirTemp"});
}

}  // namespace tern
