#include "alerts/boat_network.h"

#include "alerts/signalk_deltas.h"
#include "messages/nrx_sentences.h"

namespace tern {

std::string BoatTarget::send(const std::vector<std::string>& datagrams) {
  for (const auto& datagram : datagrams) {
    if (auto failure = sender_.send(datagram); !failure.empty()) return failure;
  }
  return {};
}

std::string NmeaTarget::Send(const WeatherWatch::BarometerNews& news, const CivilTime&) {
  if (!news.reading) return {};
  return send({mdaSentence(*news.reading), xdrSentence(*news.reading)});
}

std::string NmeaTarget::Send(const WeatherWatch::NavtexNews& news, const CivilTime&) {
  for (const auto& arrival : news.arrivals) {
    if (!arrival.shown) continue;
    const int id = nextMessageId_;
    nextMessageId_ = (nextMessageId_ + 1) % kNrxMessageIds;
    if (auto failure = send(nrxSentences(arrival.record, arrival.frequencyKhz, id));
        !failure.empty()) {
      return failure;
    }
  }
  return {};
}

std::string SignalKTarget::Send(const WeatherWatch::BarometerNews& news, const CivilTime& utcNow) {
  std::vector<std::string> deltas;
  if (news.reading) deltas.push_back(signalKReadingDelta(*news.reading, utcNow));
  if (news.alarm) deltas.push_back(signalKPressureDelta(*news.alarm, utcNow));
  return send(deltas);
}

std::string SignalKTarget::Send(const WeatherWatch::NavtexNews& news, const CivilTime& utcNow) {
  std::vector<std::string> deltas;
  for (const auto& arrival : news.arrivals) {
    if (arrival.alert) deltas.push_back(signalKNavtexDelta(arrival.record, utcNow));
  }
  return send(deltas);
}

std::vector<std::string> BoatNetwork::Open(const BoatNetworkOptions& options) {
  std::vector<std::string> failures;
  auto add = [&](std::unique_ptr<BoatTarget> target, const std::string& text, const char* option) {
    const auto parsed = parseUdpTarget(text);
    std::string failure = std::string(option) + " braucht HOST:PORT, nicht '" + text + "'.";
    if (parsed) failure = target->Open(*parsed);
    if (failure.empty()) {
      targets_.push_back(std::move(target));
    } else {
      failures.push_back(failure);
    }
  };
  for (const auto& text : options.nmea) add(std::make_unique<NmeaTarget>(), text, "--nmea-udp");
  for (const auto& text : options.signalK) {
    add(std::make_unique<SignalKTarget>(), text, "--signalk");
  }
  return failures;
}

}  // namespace tern
