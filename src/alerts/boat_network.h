// The boat network: chart plotters and boat servers that take the news of the weather watch
// over UDP. One target per option given; each speaks its own format:
//
// - an NMEA 0183 target (--nmea-udp) gets each reading as $WIMDA and $WIXDR and every new
//   NAVTEX message the filter shows as $CRNRX sentences;
// - a Signal K target (--signalk) gets deltas: the reading, the pressure alert level, the
//   NAVTEX alerts and the warnings for the user's sea areas as notifications.
//
// Datagrams are fire and forget: a plotter that is not running must never hold up or break
// the reception of messages. Each target has its own DatagramPacer, so a backlog goes out at
// a pace the receiver takes while the read-out goes on. A target that cannot be opened at
// the start (a plotter's name the boat network cannot resolve yet, before its router is up)
// is kept and opened again with the news at most once a minute; until then its news is
// dropped.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "alerts/datagram_pacer.h"
#include "alerts/weather_alerts.h"
#include "common/udp_sender.h"

namespace tern {

// Thread: one owner.
class BoatTarget {
 public:
  static constexpr std::int64_t kRetrySeconds = 60;

  BoatTarget() = default;
  virtual ~BoatTarget() = default;
  BoatTarget(const BoatTarget&) = delete;
  BoatTarget& operator=(const BoatTarget&) = delete;
  // "" on success, else a German description; the target is tried again later.
  std::string Open(const UdpTarget& target, const CivilTime& utcNow);
  // True when everything queued went out within `limit`.
  bool WaitSent(std::chrono::milliseconds limit) { return pacer_.WaitIdle(limit); }
  // "" when everything went out, else a German description of the first failure.
  virtual std::string Send(const WeatherWatch::BarometerNews& news, const CivilTime& utcNow) = 0;
  virtual std::string Send(const WeatherWatch::NavtexNews& news, const CivilTime& utcNow) = 0;
  virtual std::string Send(const SeaAreaNews& news, const CivilTime& utcNow) = 0;

 protected:
  // Queues the datagrams in order on `lane`; returns the first failure of this call or of
  // the sends since the last call. A target not open is opened again once kRetrySeconds
  // have passed since the last try (or the clock went back); before, the datagrams are
  // dropped without a word.
  std::string send(std::vector<std::string> datagrams, DatagramPacer::Lane lane,
                   const CivilTime& utcNow);

 private:
  UdpSender sender_;
  UdpTarget target_;
  std::int64_t lastTry_ = 0;      // seconds since the epoch
  DatagramPacer pacer_{sender_};  // last: stopped before the sender closes
};

// Thread: one owner.
class NmeaTarget final : public BoatTarget {
 public:
  std::string Send(const WeatherWatch::BarometerNews& news, const CivilTime& utcNow) override;
  std::string Send(const WeatherWatch::NavtexNews& news, const CivilTime& utcNow) override;
  // No sentence of NMEA 0183 carries a sea area's warning.
  std::string Send(const SeaAreaNews& news, const CivilTime& utcNow) override;

 private:
  int nextMessageId_ = 0;  // the NRX sequential id, 00..99
};

// A NAVTEX notification stays until its message leaves the receiver's lists or
// kNoticeSeconds have passed; then it is taken back, so a plotter does not keep sounding
// for a yacht found days ago.
// Thread: one owner.
class SignalKTarget final : public BoatTarget {
 public:
  static constexpr std::int64_t kNoticeSeconds = 72 * 3600;

  std::string Send(const WeatherWatch::BarometerNews& news, const CivilTime& utcNow) override;
  std::string Send(const WeatherWatch::NavtexNews& news, const CivilTime& utcNow) override;
  // A sea area's notice is raised with its alert (again with a higher step) and taken back
  // when the newest warnings no longer warn that area of the user's.
  std::string Send(const SeaAreaNews& news, const CivilTime& utcNow) override;

 private:
  // The deltas taking back what is no longer listed (when `listed` is given) or too old.
  std::vector<std::string> expired(const std::vector<std::string>* listed, const CivilTime& utcNow);

  std::map<std::string, std::int64_t> notices_;  // path id: second it was raised
  std::vector<std::string> seaAreaNotices_;      // area ids with a notice up
};

// The targets of the command line. "HOST:PORT" texts, checked by parseUdpTarget.
struct BoatNetworkOptions {
  std::vector<std::string> nmea;
  std::vector<std::string> signalK;
};

// Thread: one owner.
class BoatNetwork {
 public:
  // Opens every target; returns one German description per target that could not be
  // opened. A text that is no HOST:PORT is left out; a target that did not open is kept and
  // tried again with the news, at most once a minute.
  std::vector<std::string> Open(const BoatNetworkOptions& options, const CivilTime& utcNow);
  bool empty() const { return targets_.empty(); }
  // True when every target sent what it queued within `limit` (each its own).
  bool WaitSent(std::chrono::milliseconds limit);

  // Every target gets the news; returns the failures, one per target at most.
  template <typename News>
  std::vector<std::string> Send(const News& news, const CivilTime& utcNow) {
    std::vector<std::string> failures;
    for (auto& target : targets_) {
      if (auto failure = target->Send(news, utcNow); !failure.empty()) failures.push_back(failure);
    }
    return failures;
  }

 private:
  std::vector<std::unique_ptr<BoatTarget>> targets_;
};

}  // namespace tern
