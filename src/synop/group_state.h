// The states of the ship report dispatcher: which group it expects next. Up to the wind group
// Nddff each state expects one fixed group; from then on a state names the section or block
// the report is in and the group read last, and every state of one block expects the same
// groups (the rules in group_rules.cpp). The values are the decoder's state numbers of old,
// kept so that a number in a test or a trace still reads the same; states 7 and 93 and above
// never occur.
#pragma once

#include <cstdint>

namespace tern {

enum class SynopState : std::uint8_t {
  // Identification, one fixed group each.
  AwaitZczc = 0,     // before the bulletin's "ZCZC"
  AwaitBbxx = 1,     // before "BBXX"
  CallSign = 2,      // a new report begins with the next word
  DateTime = 3,      // YYGGiw
  Latitude = 4,      // 99LaLaLa; other words are skipped while waiting
  Longitude = 5,     // QcLoLoLoLo
  Indicators = 6,    // iRixhVV
  CloudAndWind = 8,  // Nddff

  // Section 1.
  Section1 = 9,
  HighWind = 10,
  AirTemperature = 11,
  DewPoint = 12,
  StationPressure = 13,
  SeaLevelPressure = 14,
  Tendency = 15,
  Precipitation = 16,
  Weather = 17,
  Clouds = 18,
  ObservationTime = 19,

  // Section 2, after 222Dsvs.
  ShipMovement = 20,
  SeaTemperature = 21,
  InstrumentWindWaves = 22,
  WindWaves = 23,
  SwellDirections = 24,
  FirstSwell = 25,
  SecondSwell = 26,
  IceAccretion = 27,
  WaveHeightTenths = 28,
  WetBulb = 29,

  // Section 3, after "333".
  Section3 = 30,
  Section3Zero = 31,
  MaxTemperature12h = 32,
  MinTemperature12h = 33,
  GroundMinimum = 34,
  SnowState = 35,
  // Its daily radiation block, after 55SSS.
  DailyRadiation = 36,
  DailyGlobalRadiation = 37,
  DailyDiffuseRadiation = 38,
  DailyLongWaveRadiation = 39,
  // Its hourly radiation block, after 553SS.
  HourlyRadiation = 40,
  HourlyGlobalRadiation = 41,
  HourlyDiffuseRadiation = 42,
  HourlyLongWaveRadiation = 43,
  HourlyPrecipitation = 44,
  Precipitation24h = 45,
  CloudLayer = 46,
  Section3Nine = 47,

  // Section 4, after "444".
  Section4 = 48,
  Section4Cloud = 49,

  // Section 5 with the national groups, after "555".
  Section5 = 50,
  GroundTemperature5cm = 51,
  HourlyAmount = 52,
  DailyMeanTemperature = 53,
  TenMinuteWind = 54,
  HourlySunshineMinutes = 55,
  PrecipitationKind = 56,
  AdditionalPhenomenon = 57,
  HourlyMeanWind = 58,
  Lightning = 59,
  FreshSnow = 60,
  Section5Seven = 61,
  CloudBase = 62,
  GustTenMinutes = 63,
  GustHour = 64,
  MeanWindHour = 65,

  // The mountain cloud group after "PIC", the soil temperatures after "BOT".
  MountainCloudMarker = 66,
  MountainCloud = 67,
  SoilTemperatureMarker = 68,
  SoilTemperature = 69,

  // The previous-day block, after "80000" behind "PIC" or "BOT".
  PreviousDay = 70,
  SixHourPrecipitation = 71,
  DailySunshine = 72,
  DailyGust = 73,
  DailyMaxMeanWind = 74,
  SnowWaterEquivalent = 75,
  WeatherLists = 76,
  DailyMaxTemperature = 77,
  DailyMinTemperature = 78,
  DailyGroundMinimum = 79,

  // The hourly block, after "666".
  HourlyBlock = 80,
  HourlyMaxTemperature = 81,
  HourlyMinTemperature = 82,
  HourlyGroundMinimum = 83,
  HourlyBlockSix = 84,
  AutomaticVisibility = 85,

  // Its 10-minute precipitation block, after "80000".
  TenMinutePrecipitation = 86,
  TenMinutePrecipitation0 = 87,
  TenMinutePrecipitation10 = 88,
  TenMinutePrecipitation20 = 89,
  TenMinutePrecipitation30 = 90,
  TenMinutePrecipitation40 = 91,
  TenMinutePrecipitation50 = 92,
};

}  // namespace tern
