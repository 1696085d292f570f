// Only the table of the area outlines (see sea_area_outlines.h); corners as {lat, lon}.
#include "seaweather/sea_area_outlines.h"

#include <array>

namespace tern::seaweather {

namespace {

constexpr LatLon kDeutscheBucht[] = {{53.3, 4.5}, {55.5, 4.5}, {55.5, 8.5}, {54.9, 8.6},
                                     {54.0, 9.0}, {53.5, 8.3}, {53.4, 6.5}};
constexpr LatLon kIJsselmeer[] = {{52.3, 5.0}, {53.1, 5.1}, {53.0, 5.8}, {52.5, 5.9}, {52.3, 5.4}};
constexpr LatLon kSuedwestlicheNordsee[] = {{51.1, 1.9}, {52.6, 1.6}, {53.5, 0.5},
                                            {53.5, 4.5}, {52.9, 4.7}, {51.6, 3.4}};
constexpr LatLon kKanalOst[] = {{49.6, -1.5}, {50.7, -1.5}, {50.8, 0.5}, {51.2, 1.6},
                                {51.1, 1.9},  {50.2, 1.5},  {49.4, 0.2}};
constexpr LatLon kKanalWest[] = {{48.8, -5.5}, {50.1, -5.5}, {50.6, -3.5},
                                 {50.7, -1.5}, {49.6, -1.5}, {48.7, -3.0}};
constexpr LatLon kDogger[] = {{53.5, 0.5}, {54.5, -0.5}, {56.0, -1.5},
                              {56.0, 4.5}, {55.5, 4.5},  {53.5, 4.5}};
constexpr LatLon kFischer[] = {{55.5, 4.5}, {57.5, 4.5}, {57.5, 8.0},
                               {57.1, 8.6}, {56.0, 8.2}, {55.5, 8.5}};
constexpr LatLon kForties[] = {{56.0, -2.3}, {57.6, -1.8}, {58.5, -1.0}, {58.5, 3.0},
                               {57.5, 3.0},  {57.5, 4.5},  {56.0, 4.5}};
constexpr LatLon kUtsira[] = {{57.5, 3.0}, {61.0, 3.0}, {61.0, 5.0}, {59.0, 5.8},
                              {58.0, 7.0}, {57.5, 7.0}, {57.5, 4.5}};
constexpr LatLon kViking[] = {{58.5, -1.0}, {61.0, -1.0}, {61.0, 3.0}, {58.5, 3.0}};
constexpr LatLon kSkagerrak[] = {{57.5, 7.0},  {58.0, 7.0},  {58.9, 9.5}, {59.3, 10.6},
                                 {58.3, 11.4}, {57.7, 10.6}, {57.1, 8.6}, {57.5, 8.0}};
constexpr LatLon kKattegat[] = {{57.7, 10.6}, {58.3, 11.4}, {57.5, 11.9}, {56.6, 12.6},
                                {56.1, 12.6}, {56.0, 11.8}, {56.3, 10.9}, {56.9, 10.4}};
constexpr LatLon kBelteUndSund[] = {{56.3, 10.9}, {56.0, 11.8}, {56.1, 12.6}, {55.5, 12.9},
                                    {55.2, 12.4}, {54.9, 11.8}, {55.0, 10.8}, {54.8, 10.0},
                                    {55.3, 9.6},  {55.9, 9.9},  {56.3, 10.4}};
constexpr LatLon kWestlicheOstsee[] = {{54.3, 9.9},  {54.8, 10.0}, {55.0, 10.8},
                                       {54.9, 11.8}, {54.6, 12.3}, {54.4, 12.5},
                                       {54.0, 11.5}, {53.9, 10.8}, {54.3, 10.6}};
constexpr LatLon kBoddenOst[] = {{54.05, 12.9}, {54.45, 12.9}, {54.6, 13.3}, {54.45, 13.7},
                                 {54.05, 14.2}, {53.8, 14.2},  {53.8, 13.6}};
constexpr LatLon kSuedlicheOstsee[] = {{54.4, 12.5}, {54.6, 12.3},  {55.2, 12.4},  {55.5, 12.9},
                                       {55.4, 14.3}, {56.0, 15.8},  {56.0, 16.5},  {54.5, 16.5},
                                       {54.2, 15.0}, {54.05, 14.2}, {54.45, 13.7}, {54.6, 13.3},
                                       {54.45, 12.9}};
constexpr LatLon kSuedoestlicheOstsee[] = {{54.5, 16.5}, {56.0, 16.5}, {56.0, 21.2},
                                           {55.0, 21.2}, {54.3, 19.5}, {54.6, 18.5}};
constexpr LatLon kZentraleOstsee[] = {{56.0, 15.8}, {57.2, 16.5}, {58.5, 16.8}, {58.5, 21.9},
                                      {57.6, 21.6}, {56.5, 21.0}, {56.0, 21.2}, {56.0, 16.5}};
constexpr LatLon kNoerdlicheOstsee[] = {{58.5, 16.8}, {59.0, 17.8}, {59.6, 19.0}, {59.7, 21.0},
                                        {59.8, 22.9}, {59.3, 23.4}, {58.9, 22.4}, {58.5, 21.9}};
constexpr LatLon kRigaischerMeerbusen[] = {{57.75, 21.9}, {57.4, 22.6}, {57.0, 23.3},
                                           {57.0, 24.3},  {57.6, 24.4}, {58.4, 24.4},
                                           {58.5, 23.7},  {58.3, 22.9}, {58.0, 22.2}};
constexpr LatLon kFinnischerMeerbusen[] = {{59.8, 22.9}, {60.1, 24.0}, {60.4, 26.0},
                                           {60.7, 27.5}, {60.5, 29.0}, {59.9, 30.3},
                                           {59.6, 28.0}, {59.5, 25.5}, {59.3, 23.4}};
constexpr LatLon kAalandsee[] = {{59.6, 19.0}, {60.2, 18.5}, {60.6, 19.2}, {60.6, 21.0},
                                 {60.5, 22.3}, {60.1, 22.9}, {59.8, 22.9}, {59.7, 21.0}};
constexpr LatLon kBottensee[] = {{60.2, 18.5}, {60.6, 17.2}, {61.5, 17.1}, {62.5, 17.5},
                                 {63.4, 19.2}, {63.6, 20.0}, {63.1, 21.0}, {62.3, 21.3},
                                 {61.5, 21.5}, {60.6, 21.0}, {60.6, 19.2}};
constexpr LatLon kBottenwiek[] = {{63.4, 19.2}, {64.2, 20.8}, {65.0, 21.5}, {65.8, 22.5},
                                  {65.8, 24.2}, {65.0, 25.4}, {64.3, 24.0}, {63.6, 22.3},
                                  {63.1, 21.0}, {63.6, 20.0}};

constexpr std::array<AreaOutline, 24> kOutlines{{
    {"deutsche-bucht", {54.4, 6.5}, kDeutscheBucht},
    {"ijsselmeer", {52.75, 5.45}, kIJsselmeer},
    {"suedwestliche-nordsee", {52.6, 2.9}, kSuedwestlicheNordsee},
    {"englischer-kanal-ost", {50.3, 0.1}, kKanalOst},
    {"englischer-kanal-west", {49.7, -3.5}, kKanalWest},
    {"dogger", {54.9, 2.2}, kDogger},
    {"fischer", {56.5, 6.3}, kFischer},
    {"forties", {57.1, 1.3}, kForties},
    {"utsira", {59.4, 4.2}, kUtsira},
    {"viking", {59.8, 1.0}, kViking},
    {"skagerrak", {58.1, 9.1}, kSkagerrak},
    {"kattegat", {57.0, 11.5}, kKattegat},
    {"belte-und-sund", {55.6, 11.0}, kBelteUndSund},
    {"westliche-ostsee", {54.5, 11.0}, kWestlicheOstsee},
    {"boddengewaesser-ost", {54.2, 13.5}, kBoddenOst},
    {"suedliche-ostsee", {55.1, 14.6}, kSuedlicheOstsee},
    {"suedoestliche-ostsee", {55.3, 18.6}, kSuedoestlicheOstsee},
    {"zentrale-ostsee", {57.3, 19.0}, kZentraleOstsee},
    {"noerdliche-ostsee", {59.1, 20.0}, kNoerdlicheOstsee},
    {"rigaischer-meerbusen", {57.7, 23.5}, kRigaischerMeerbusen},
    {"finnischer-meerbusen", {59.95, 26.0}, kFinnischerMeerbusen},
    {"aalandsee-und-schaerengebiet", {60.15, 20.5}, kAalandsee},
    {"bottensee", {61.8, 19.3}, kBottensee},
    {"bottenwiek", {64.6, 22.6}, kBottenwiek},
}};

}  // namespace

std::span<const AreaOutline> areaOutlines() { return kOutlines; }

const AreaOutline* outlineOf(std::string_view id) {
  for (const AreaOutline& o : kOutlines)
    if (o.id == id) return &o;
  return nullptr;
}

}  // namespace tern::seaweather
