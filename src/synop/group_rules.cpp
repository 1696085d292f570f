#include "synop/group_rules.h"

#include <algorithm>
#include <array>
#include <bit>
#include <span>

#include "synop/synop_text.h"

namespace tern::synop {

namespace {

using S = SynopState;

struct Marker {
  std::string_view text;
  S state;
};

constexpr std::array<Marker, 6> kMarkers = {{
    {"333", S::Section3},
    {"444", S::Section4},
    {"555", S::Section5},
    {"666", S::HourlyBlock},
    {"PIC", S::MountainCloudMarker},
    {"BOT", S::SoilTemperatureMarker},
}};
static_assert(std::all_of(kMarkers.begin(), kMarkers.end(),
                          [](const Marker& m) { return m.text.size() == 3; }));
static_assert(
    [] {
      for (std::size_t i = 0; i < kMarkers.size(); ++i)
        for (std::size_t j = i + 1; j < kMarkers.size(); ++j)
          if (kMarkers[i].text[0] == kMarkers[j].text[0]) return false;
      return true;
    }(),
    "MarkerState tells the markers apart by their first character");

// Identification: one fixed group after the other.
constexpr GroupRule kAwaitZczc[] = {{"ZCZC", S::AwaitBbxx, nullptr, Match::Contains}};
constexpr GroupRule kAwaitBbxx[] = {{"BBXX", S::CallSign, nullptr, Match::Equals}};
// Bulletins that repeat "BBXX" before each report would otherwise lose every report to a
// call sign "BBXX".
constexpr GroupRule kCallSign[] = {{"BBXX", S::CallSign, nullptr, Match::Equals},
                                   {"", S::DateTime, decodeCallSign}};
constexpr GroupRule kDateTime[] = {{"", S::Latitude, decodeDateTime}};
constexpr GroupRule kLatitude[] = {{"99", S::Longitude, decodeLatitude}};
constexpr GroupRule kLongitude[] = {{"", S::Indicators, decodeLongitude}};
constexpr GroupRule kIndicators[] = {{"", S::CloudAndWind, decodeIndicators}};
constexpr GroupRule kCloudAndWind[] = {{"", S::Section1, decodeCloudAndWind}};

// "222" before "00", and "00" before the single figures: a group 00fff is never taken for
// anything else.
constexpr GroupRule kSection1[] = {
    {"222", S::ShipMovement, decodeShipMovement},
    {"00", S::HighWind, decodeHighWind},
    {"1", S::AirTemperature, decodeAirTemperature},
    {"2", S::DewPoint, decodeDewPoint},
    {"3", S::StationPressure, decodeStationPressure},
    {"4", S::SeaLevelPressure, decodeSeaLevelPressure},
    {"5", S::Tendency, decodeTendency},
    {"6", S::Precipitation, decodePrecipitation},
    {"7", S::Weather, decodeWeather},
    {"8", S::Clouds, decodeClouds},
    {"9", S::ObservationTime, decodeObservationTime},
};

constexpr GroupRule kSection2[] = {
    {"0", S::SeaTemperature, decodeSeaTemperature},
    {"1", S::InstrumentWindWaves, decodeWindWaves},
    {"2", S::WindWaves, decodeWindWaves},
    {"3", S::SwellDirections, decodeSwellDirections},
    {"4", S::FirstSwell, decodeFirstSwell},
    {"5", S::SecondSwell, decodeSecondSwell},
    {"6", S::IceAccretion, decodeIceAccretion},
    {"70", S::WaveHeightTenths, decodeWaveHeightTenths},
    {"8", S::WetBulb, decodeWetBulb},
};

constexpr GroupRule kSection3[] = {
    {"553", S::HourlyRadiation},
    {"55", S::DailyRadiation},
    {"0", S::Section3Zero, decodeSection3Zero},
    {"1", S::MaxTemperature12h, decodeMaxTemperature12h},
    {"2", S::MinTemperature12h, decodeMinTemperature12h},
    {"3", S::GroundMinimum, decodeGroundMinimum},
    {"4", S::SnowState, decodeSnowState},
};

// A 553 group after the daily block opens the hourly block, as it does after the main
// groups of section 3.
constexpr GroupRule kDailyRadiation[] = {
    {"553", S::HourlyRadiation},
    {"2", S::DailyGlobalRadiation, decodeDailyRadiation},
    {"3", S::DailyDiffuseRadiation, decodeDailyRadiation},
    {"4", S::DailyLongWaveRadiation, decodeDailyRadiation},
};

constexpr GroupRule kHourlyRadiation[] = {
    {"553", S::HourlyRadiation, decodeHourlySunshine},
    {"2", S::HourlyGlobalRadiation, decodeHourlyRadiation},
    {"3", S::HourlyDiffuseRadiation, decodeHourlyRadiation},
    {"4", S::HourlyLongWaveRadiation, decodeHourlyRadiation},
    {"6", S::HourlyPrecipitation, decodeHourlyPrecipitation},
    {"7", S::Precipitation24h, decodePrecipitation24h},
    {"8", S::CloudLayer, decodeCloudLayer},
    {"9", S::Section3Nine, decodeSection3Nine},
};

// Every group of section 4 describes one cloud layer.
constexpr GroupRule kSection4[] = {{"", S::Section4Cloud, decodeSection4Cloud}};

constexpr GroupRule kSection5[] = {
    {"555", S::Section5},
    {"0", S::GroundTemperature5cm, decodeGroundTemperature5cm},
    {"1", S::HourlyAmount, decodeHourlyAmount},
    {"20", S::DailyMeanTemperature, decodeDailyMeanTemperature},
    {"21", S::DailyMeanTemperature, decodeDailyMeanTemperature},
    {"22", S::TenMinuteWind, decodeTenMinuteWind},
    {"23", S::HourlySunshineMinutes, decodeHourlySunshineMinutes},
    {"24", S::PrecipitationKind, decodePrecipitationKind},
    {"25", S::AdditionalPhenomenon, decodeAdditionalPhenomenon},
    {"26", S::HourlyMeanWind, decodeHourlyMeanWind},
    {"3", S::Lightning, decodeLightning},
    {"5", S::FreshSnow, decodeFreshSnow},
    {"7", S::Section5Seven, decodeSection5Seven},
    {"8", S::CloudBase, decodeCloudBase},
    {"910", S::GustTenMinutes, decodeGustTenMinutes},
    {"911", S::GustHour, decodeGustHour},
    {"912", S::MeanWindHour, decodeMeanWindHour},
};

constexpr GroupRule kMountainCloud[] = {{"80000", S::PreviousDay},
                                        {"", S::MountainCloud, decodeMountainCloud}};
constexpr GroupRule kSoilTemperature[] = {{"80000", S::PreviousDay},
                                          {"", S::SoilTemperature, decodeSoilTemperature}};

constexpr GroupRule kPreviousDay[] = {
    {"1", S::SixHourPrecipitation, decodeSixHourPrecipitation},
    {"2", S::DailySunshine, decodeDailySunshine},
    {"3", S::DailyGust, decodeDailyGust},
    {"4", S::DailyMaxMeanWind, decodeDailyMaxMeanWind},
    {"5", S::SnowWaterEquivalent, decodeSnowWaterEquivalent},
    {"6", S::WeatherLists, decodeWeatherLists},
    {"7", S::DailyMaxTemperature, decodeDailyMaxTemperature},
    {"8", S::DailyMinTemperature, decodeDailyMinTemperature},
    {"9", S::DailyGroundMinimum, decodeDailyGroundMinimum},
};

constexpr GroupRule kHourlyBlock[] = {
    {"80000", S::TenMinutePrecipitation},
    {"1", S::HourlyMaxTemperature, decodeHourlyMaxTemperature},
    {"2", S::HourlyMinTemperature, decodeHourlyMinTemperature},
    {"3", S::HourlyGroundMinimum, decodeHourlyGroundMinimum},
    {"6", S::HourlyBlockSix, decodeHourlyBlockSix},
    {"7", S::AutomaticVisibility, decodeAutomaticVisibility},
};

constexpr GroupRule kTenMinutePrecipitation[] = {
    {"0", S::TenMinutePrecipitation0, decodeTenMinutePrecipitation},
    {"1", S::TenMinutePrecipitation10, decodeTenMinutePrecipitation},
    {"2", S::TenMinutePrecipitation20, decodeTenMinutePrecipitation},
    {"3", S::TenMinutePrecipitation30, decodeTenMinutePrecipitation},
    {"4", S::TenMinutePrecipitation40, decodeTenMinutePrecipitation},
    {"5", S::TenMinutePrecipitation50, decodeTenMinutePrecipitation},
};

// The states from `first` to `last` share the rules.
struct Block {
  S first;
  S last;
  std::span<const GroupRule> rules;
};

constexpr std::array<Block, 21> kBlocks = {{
    {S::AwaitZczc, S::AwaitZczc, kAwaitZczc},
    {S::AwaitBbxx, S::AwaitBbxx, kAwaitBbxx},
    {S::CallSign, S::CallSign, kCallSign},
    {S::DateTime, S::DateTime, kDateTime},
    {S::Latitude, S::Latitude, kLatitude},
    {S::Longitude, S::Longitude, kLongitude},
    {S::Indicators, S::Indicators, kIndicators},
    {S::CloudAndWind, S::CloudAndWind, kCloudAndWind},
    {S::Section1, S::ObservationTime, kSection1},
    {S::ShipMovement, S::WetBulb, kSection2},
    {S::Section3, S::SnowState, kSection3},
    {S::DailyRadiation, S::DailyLongWaveRadiation, kDailyRadiation},
    {S::HourlyRadiation, S::Section3Nine, kHourlyRadiation},
    {S::Section4, S::Section4Cloud, kSection4},
    {S::Section5, S::MeanWindHour, kSection5},
    {S::MountainCloudMarker, S::MountainCloud, kMountainCloud},
    {S::SoilTemperatureMarker, S::SoilTemperature, kSoilTemperature},
    {S::PreviousDay, S::DailyGroundMinimum, kPreviousDay},
    {S::HourlyBlock, S::AutomaticVisibility, kHourlyBlock},
    {S::TenMinutePrecipitation, S::TenMinutePrecipitation50, kTenMinutePrecipitation},
    // States that never occur have no rules.
    {S{255}, S{255}, {}},
}};

constexpr std::size_t kNoBlock = kBlocks.size() - 1;

// The block of every state number, looked up once per word.
constexpr auto kBlockOfState = [] {
  std::array<std::uint8_t, 256> blocks{};
  blocks.fill(static_cast<std::uint8_t>(kNoBlock));
  for (std::size_t b = 0; b < kNoBlock; ++b) {
    for (int s = static_cast<int>(kBlocks[b].first); s <= static_cast<int>(kBlocks[b].last); ++s)
      blocks[static_cast<std::size_t>(s)] = static_cast<std::uint8_t>(b);
  }
  return blocks;
}();

constexpr bool mayMatch(const GroupRule& rule, char first) {
  return rule.match == Match::Contains || rule.text.empty() || rule.text[0] == first;
}

// For every block and first character of a word, the rules that may match it, one bit each
// in table order: most words are sorted out by their first figure alone.
constexpr auto kCandidates = [] {
  std::array<std::array<std::uint32_t, 256>, kBlocks.size()> candidates{};
  for (std::size_t b = 0; b < kBlocks.size(); ++b) {
    for (int c = 0; c < 256; ++c) {
      std::uint32_t mask = 0;
      for (std::size_t r = 0; r < kBlocks[b].rules.size(); ++r)
        if (mayMatch(kBlocks[b].rules[r], static_cast<char>(c))) mask |= 1u << r;
      candidates[b][static_cast<std::size_t>(c)] = mask;
    }
  }
  return candidates;
}();
static_assert(std::all_of(kBlocks.begin(), kBlocks.end(),
                          [](const Block& b) { return b.rules.size() <= 32; }));

bool matches(const GroupRule& rule, std::string_view word) {
  switch (rule.match) {
    case Match::Prefix:
      return startsWith(word, rule.text);
    case Match::Contains:
      return contains(word, rule.text);
    case Match::Equals:
      return word == rule.text;
  }
  return false;
}

}  // namespace

std::optional<SynopState> MarkerState(std::string_view word) {
  // Every word of a report is asked, so the first character picks the one marker to test.
  static constexpr auto kMarkerOfFirst = [] {
    std::array<std::int8_t, 256> markers{};
    markers.fill(-1);
    for (std::size_t m = 0; m < kMarkers.size(); ++m)
      markers[static_cast<unsigned char>(kMarkers[m].text[0])] = static_cast<std::int8_t>(m);
    return markers;
  }();
  if (word.size() < 3) return std::nullopt;
  const int m = kMarkerOfFirst[static_cast<unsigned char>(word[0])];
  if (m < 0) return std::nullopt;
  const Marker& marker = kMarkers[static_cast<std::size_t>(m)];
  if (word[1] != marker.text[1] || word[2] != marker.text[2]) return std::nullopt;
  return marker.state;
}

const GroupRule* FindRule(SynopState state, std::string_view word) {
  if (word.empty()) return nullptr;
  const std::size_t b = kBlockOfState[static_cast<std::size_t>(state)];
  for (std::uint32_t mask = kCandidates[b][static_cast<unsigned char>(word[0])]; mask != 0;
       mask &= mask - 1) {
    const GroupRule& rule = kBlocks[b].rules[static_cast<std::size_t>(std::countr_zero(mask))];
    // A rule of one figure (or of none) is decided by the candidates already.
    if (rule.match == Match::Prefix && rule.text.size() <= 1) return &rule;
    if (matches(rule, word)) return &rule;
  }
  return nullptr;
}

}  // namespace tern::synop
