#include "alerts/boat_network.h"

#include "alerts/signalk_deltas.h"
#include "messages/nrx_sentences.h"

namespace tern {

std::string BoatTarget::Open(const UdpTarget& target, const CivilTime& utcNow) {
  target_ = target;
  lastTry_ = secondsSinceEpoch(utcNow);
  return sender_.open(target);
}

std::string BoatTarget::send(const std::vector<std::string>& datagrams, const CivilTime& utcNow) {
  if (datagrams.empty()) return {};
  if (!sender_.isOpen()) {
    const std::int64_t now = secondsSinceEpoch(utcNow);
    if (now >= lastTry_ && now - lastTry_ < kRetrySeconds) return {};
    lastTry_ = now;
    if (auto failure = sender_.open(target_); !failure.empty()) return failure;
  }
  for (const auto& datagram : datagrams) {
    if (auto failure = sender_.send(datagram); !failure.empty()) return failure;
  }
  return {};
}

std::string NmeaTarget::Send(const WeatherWatch::BarometerNews& news, const CivilTime& utcNow) {
  if (!news.reading) return {};
  return send({mdaSentence(*news.reading), xdrSentence(*news.reading)}, utcNow);
}

std::string NmeaTarget::Send(const WeatherWatch::NavtexNews& news, const CivilTime& utcNow) {
  for (const auto& arrival : news.arrivals) {
    if (!arrival.shown) continue;
    const int id = nextMessageId_;
    nextMessageId_ = (nextMessageId_ + 1) % kNrxMessageIds;
    if (auto failure = send(nrxSentences(arrival.record, arrival.frequencyKhz, id), utcNow);
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
  return send(deltas, utcNow);
}

std::string SignalKTarget::Send(const WeatherWatch::NavtexNews& news, const CivilTime& utcNow) {
  std::vector<std::string> deltas;
  for (const auto& arrival : news.arrivals) {
    if (arrival.alert) deltas.push_back(signalKNavtexDelta(arrival.record, utcNow));
  }
  return send(deltas, utcNow);
}

std::vector<std::string> BoatNetwork::Open(const BoatNetworkOptions& options,
                                           const CivilTime& utcNow) {
  std::vector<std::string> failures;
  auto add = [&](std::unique_ptr<BoatTarget> target, const std::string& text, const char* option) {
    const auto parsed = parseUdpTarget(text);
    if (!parsed) {
      failures.push_back(std::string(option) + " braucht HOST:PORT, nicht '" + text + "'.");
      return;
    }
    if (auto failure = target->Open(*parsed, utcNow); !failure.empty())
      failures.push_back(failure + " Neuer Versuch höchstens einmal in der Minute.");
    targets_.push_back(std::move(target));
  };
  for (const auto& text : options.nmea) add(std::make_unique<NmeaTarget>(), text, "--nmea-udp");
  for (const auto& text : options.signalK) {
    add(std::make_unique<SignalKTarget>(), text, "--signalk");
  }
  return failures;
}

}  // namespace tern
