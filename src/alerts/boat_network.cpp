#include "alerts/boat_network.h"

#include <algorithm>
#include <set>

#include "alerts/signalk_deltas.h"
#include "messages/nrx_sentences.h"

namespace tern {

std::string BoatTarget::Open(const UdpTarget& target, const CivilTime& utcNow) {
  target_ = target;
  lastTry_ = secondsSinceEpoch(utcNow);
  return sender_.open(target);
}

std::string BoatTarget::send(std::vector<std::string> datagrams, DatagramPacer::Lane lane,
                             const CivilTime& utcNow) {
  std::string failure;
  if (!datagrams.empty() && !sender_.isOpen()) {
    const std::int64_t now = secondsSinceEpoch(utcNow);
    if (now >= lastTry_ && now - lastTry_ < kRetrySeconds) return {};
    lastTry_ = now;
    failure = sender_.open(target_);
  }
  if (failure.empty()) failure = pacer_.Queue(std::move(datagrams), lane);
  for (std::string& earlier : pacer_.TakeFailures()) {
    if (failure.empty()) failure = std::move(earlier);
  }
  return failure;
}

std::string NmeaTarget::Send(const WeatherWatch::BarometerNews& news, const CivilTime& utcNow) {
  if (!news.reading) return send({}, DatagramPacer::Lane::Urgent, utcNow);
  return send({mdaSentence(*news.reading), xdrSentence(*news.reading)}, DatagramPacer::Lane::Urgent,
              utcNow);
}

std::string NmeaTarget::Send(const WeatherWatch::NavtexNews& news, const CivilTime& utcNow) {
  std::vector<std::string> datagrams;
  for (const auto& arrival : news.arrivals) {
    if (!arrival.shown) continue;
    const int id = nextMessageId_;
    nextMessageId_ = (nextMessageId_ + 1) % kNrxMessageIds;
    for (std::string& sentence : nrxSentences(arrival.record, arrival.frequencyKhz, id))
      datagrams.push_back(std::move(sentence));
  }
  return send(std::move(datagrams), DatagramPacer::Lane::Backlog, utcNow);
}

std::string NmeaTarget::Send(const SeaAreaNews&, const CivilTime& utcNow) {
  return send({}, DatagramPacer::Lane::Urgent, utcNow);
}

std::string SignalKTarget::Send(const WeatherWatch::BarometerNews& news, const CivilTime& utcNow) {
  std::vector<std::string> deltas;
  if (news.reading) deltas.push_back(signalKReadingDelta(*news.reading, utcNow));
  if (news.alarm) deltas.push_back(signalKPressureDelta(*news.alarm, utcNow));
  std::vector<std::string> old = expired(nullptr, utcNow);
  deltas.insert(deltas.end(), old.begin(), old.end());
  return send(std::move(deltas), DatagramPacer::Lane::Urgent, utcNow);
}

std::string SignalKTarget::Send(const WeatherWatch::NavtexNews& news, const CivilTime& utcNow) {
  std::vector<std::string> deltas = expired(&news.listed, utcNow);
  for (const auto& arrival : news.arrivals) {
    if (!arrival.alert) continue;
    deltas.push_back(signalKNavtexDelta(arrival.record, arrival.which, utcNow));
    notices_[signalKNavtexId(arrival.record.keyText())] = secondsSinceEpoch(utcNow);
  }
  return send(std::move(deltas), DatagramPacer::Lane::Backlog, utcNow);
}

std::string SignalKTarget::Send(const SeaAreaNews& news, const CivilTime& utcNow) {
  std::vector<std::string> deltas;
  std::erase_if(seaAreaNotices_, [&](const std::string& id) {
    const bool still = std::any_of(news.warned.begin(), news.warned.end(),
                                   [&](const SeaAreaWarning& w) { return w.id == id; });
    if (!still) deltas.push_back(signalKSeaAreaCleared(id, utcNow));
    return !still;
  });
  for (const SeaAreaWarning& alert : news.alerts) {
    deltas.push_back(signalKSeaAreaDelta(alert, utcNow));
    if (std::find(seaAreaNotices_.begin(), seaAreaNotices_.end(), alert.id) ==
        seaAreaNotices_.end())
      seaAreaNotices_.push_back(alert.id);
  }
  return send(std::move(deltas), DatagramPacer::Lane::Urgent, utcNow);
}

std::vector<std::string> SignalKTarget::expired(const std::vector<std::string>* listed,
                                                const CivilTime& utcNow) {
  std::set<std::string> stillListed;
  if (listed != nullptr) {
    for (const std::string& key : *listed) stillListed.insert(signalKNavtexId(key));
  }
  const std::int64_t now = secondsSinceEpoch(utcNow);
  std::vector<std::string> deltas;
  for (auto it = notices_.begin(); it != notices_.end();) {
    const bool gone = listed != nullptr && stillListed.count(it->first) == 0;
    // A clock put back by hours keeps the notice until the message is gone.
    if (gone || now - it->second >= kNoticeSeconds) {
      deltas.push_back(signalKNavtexCleared(it->first, utcNow));
      it = notices_.erase(it);
    } else {
      ++it;
    }
  }
  return deltas;
}

bool BoatNetwork::WaitSent(std::chrono::milliseconds limit) {
  bool all = true;
  for (auto& target : targets_) all = target->WaitSent(limit) && all;
  return all;
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
