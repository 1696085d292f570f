// The barometer store: the receiver's ring of one-minute air pressure samples, copied in
// recording order (index 0 the oldest), and the receiver's 520-byte barometer status block.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

#include "common/bytes.h"
#include "common/clock.h"
#include "link/protocol.h"

namespace tern {

// A barometer ring as a store or its file holds it, read in place: the samples
// (BaroStore::kSamplesBytes, or none) and the status block (BaroStore::kBlockSize, or none).
// An empty view is an empty ring.
// Thread: plain value; valid while the bytes it views are.
struct BaroRingView {
  ByteView samples;
  ByteView block;

  std::uint16_t head() const { return block.empty() ? 0 : getU16(block, 4); }
  std::uint16_t count() const { return block.empty() ? 0 : getU16(block, 6); }
  // Pressure of sample i in Pa above 100000, and its local time stamp.
  std::int16_t pressure(int i) const;
  CivilTime sampleTime(int i) const;
};

// Thread: guarded by the link's data lock.
class BaroStore {
 public:
  static constexpr int kSampleCount = protocol::kBaroRingSamples;  // 504 pages of 64 samples
  static constexpr int kSampleSize = protocol::kBaroSampleSize;
  static constexpr int kSamplesPerPage = protocol::kBaroSamplesPerPage;
  static constexpr int kBlockSize = protocol::kBaroPageLength;
  static constexpr int kFirstPage = protocol::kBaroFirstPage;
  static constexpr int kLastPage = protocol::kBaroLastPage;
  static constexpr int kKeptSamples = 10752;  // a week of minutes
  static constexpr std::size_t kSamplesBytes = std::size_t{kSampleCount} * kSampleSize;
  static constexpr std::size_t kFileSize = kSamplesBytes + kBlockSize;

  BaroStore();

  Bytes& samples() { return samples_; }  // kSamplesBytes
  const Bytes& samples() const { return samples_; }
  std::array<std::uint8_t, kBlockSize>& block() { return block_; }
  const std::array<std::uint8_t, kBlockSize>& block() const { return block_; }

  BaroRingView view() const { return {samples_, block_}; }
  std::uint16_t head() const { return view().head(); }
  std::uint16_t count() const { return view().count(); }
  void resetRing();  // head and count 0

  std::int16_t pressure(int i) const { return view().pressure(i); }
  CivilTime sampleTime(int i) const { return view().sampleTime(i); }

 private:
  Bytes samples_;
  std::array<std::uint8_t, kBlockSize> block_{};
};

// What a barometer read-out does with the status block the receiver sent: the count it
// keeps (the oldest kept sample starts a ring page), where the page being filled goes, and
// which receiver pages fill the older samples.
struct BaroReadPlan {
  std::uint16_t head = 0;
  std::uint16_t count = 0;   // after limiting
  int currentPageIndex = 0;  // sample index of the page being filled
  std::vector<int> pages;    // receiver pages for sample indexes 0, 64, 128, ...
};
BaroReadPlan planBaroRead(ByteView block);

// The change of the air pressure over the last three hours in hPa: the mean of the newest
// three samples less the mean of the three taken 180 minutes before them. Nothing while the
// ring holds too few samples. The barograph shows it, and the pressure alerts watch it.
std::optional<double> threeHourTendency(const BaroStore& store);

// Sea-level pressure of the station pressure `hPa`, measured `heightM` metres above the sea
// at `temperatureC`, by the German weather service's reduction formula. The barograph draws
// it, and the boat network is sent it.
double reduceToSeaLevel(double hPa, double temperatureC, double heightM);

// Writes local time stamps into samples 0..count-1: the newest carries `localNow` cut to the
// minute, each older one a minute less.
void stampBaroTimes(BaroStore& store, int count, const CivilTime& localNow);

}  // namespace tern
