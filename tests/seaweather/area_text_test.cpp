// One area's words: every form of wind, force, gusts, sea and visibility the reports use,
// in German and English, and every spelling of an area's name.
#include "seaweather/area_text.h"

#include <gtest/gtest.h>

#include "seaweather/sea_areas.h"
#include "seaweather/sea_bulletin.h"

namespace tern::seaweather {
namespace {

AreaWind read(const std::string& text) {
  const FoldedText folded(text);
  return readAreaText(folded.tokens());
}

std::string joined(const std::vector<std::string>& words) {
  std::string out;
  for (const std::string& w : words) out += (out.empty() ? "" : "|") + w;
  return out;
}

TEST(AreaText, ReadsEveryFormOfWindSeaAndSight) {
  const struct {
    const char* text;
    std::vector<int> points;
    bool variable, light;
    int bftMin, bftMax, gusts;
    double sea, swell;
    const char* visibility;
    const char* summary;
  } cases[] = {
      // Directions: single, ranges, variable, light, adjectives, turning.
      {"SUEDWEST BIS WEST 6 BIS 7, SPAETER 5, SEE 2 METER",
       {10, 12},
       false,
       false,
       5,
       7,
       -1,
       2,
       -1,
       "",
       "SW bis W 6-7, später 5, See 2 m"},
      {"UMLAUFEND 2", {}, true, false, 2, 2, -1, -1, -1, "", "umlaufend 2"},
      {"WECHSELNDE RICHTUNGEN 3", {}, true, false, 3, 3, -1, -1, -1, "", "wechselnde Richtungen 3"},
      {"SCHWACHWINDIG, SEE 0,5 METER",
       {},
       false,
       true,
       -1,
       -1,
       -1,
       0.5,
       -1,
       "",
       "schwachwindig, See 0,5 m"},
      {"WESTLICHE WINDE 4 BIS 5", {12}, false, false, 4, 5, -1, -1, -1, "", "W Winde 4-5"},
      {"NORDOST UM 5, SPAETER SUEDWESTDREHEND 6",
       {2, 10},
       false,
       false,
       5,
       6,
       -1,
       -1,
       -1,
       "",
       "NE um 5, später SW-drehend 6"},
      {"OSTNORDOST 4, RUECKDREHEND NORD 5",
       {3, 0},
       false,
       false,
       4,
       5,
       -1,
       -1,
       -1,
       "",
       "ENE 4, rückdrehend N 5"},
      {"West-Nordwest 5", {13}, false, false, 5, 5, -1, -1, -1, "", "WNW 5"},
      // Forces: "UM", a later weaker wind, a stronger wind in part of the area or in places.
      {"WEST 5, ABNEHMEND 4", {12}, false, false, 4, 5, -1, -1, -1, "", "W 5, abnehmend 4"},
      {"SUED 5, NORDTEIL 6 BIS 7", {8}, false, false, 5, 7, -1, -1, -1, "", "S 5, Nordteil 6-7"},
      {"NORDWEST 6, STRICHWEISE 7, ZUNEHMEND 8",
       {14},
       false,
       false,
       6,
       8,
       -1,
       -1,
       -1,
       "",
       "NW 6, strichweise 7, zunehmend 8"},
      // Gusts and the sea.
      {"WEST 6, BOEEN 8, SEE ABNEHMEND 2 METER",
       {12},
       false,
       false,
       6,
       6,
       8,
       2,
       -1,
       "",
       "W 6, Böen 8, See abnehmend 2 m"},
      {"WEST 7, SCHAUERBOEEN, SEE 3 BIS 4 METER, DUENUNG 4,5 METER",
       {12},
       false,
       false,
       7,
       7,
       -1,
       4,
       4.5,
       "",
       "W 7, Schauerböen, See 3-4 m, Dünung 4,5 m"},
      // Sight.
      {"SUED 4, DIESIG", {8}, false, false, 4, 4, -1, -1, -1, "diesig", "S 4, diesig"},
      {"SUED 3, NEBEL, IN SCHAUERN MAESSIGE SICHT",
       {8},
       false,
       false,
       3,
       3,
       -1,
       -1,
       -1,
       "Nebel|mäßige Sicht",
       "S 3, Nebel, in Schauern mäßige Sicht"},
      // English.
      {"SOUTHWEST 6 TO 7, VEERING WEST LATER, DECREASING 5, SEA 2.5 METRES, GOOD VISIBILITY",
       {10, 12},
       false,
       false,
       5,
       7,
       -1,
       2.5,
       -1,
       "gute Sicht",
       "SW 6-7, rechtsdrehend W später, abnehmend 5, See 2,5 m, gute Sicht"},
      {"VARIABLE 3, LATER BACKING SOUTH 5, GUSTS 7, SWELL 2 METRES, FOG",
       {8},
       true,
       false,
       3,
       5,
       7,
       -1,
       2,
       "Nebel",
       "umlaufend 3, später rückdrehend S 5, Böen 7, Dünung 2 m, Nebel"},
      {"WEST-NORTHWEST 8, SEA 4 METRES, VISIBILITY POOR",
       {13},
       false,
       false,
       8,
       8,
       -1,
       4,
       -1,
       "schlechte Sicht",
       "WNW 8, See 4 m, schlechte Sicht"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    const AreaWind w = read(c.text);
    EXPECT_TRUE(w.readable()) << joined(w.unread);
    EXPECT_EQ(w.points, c.points);
    EXPECT_EQ(w.variable, c.variable);
    EXPECT_EQ(w.light, c.light);
    EXPECT_EQ(w.bftMin, c.bftMin);
    EXPECT_EQ(w.bftMax, c.bftMax);
    EXPECT_EQ(w.gustsBft, c.gusts);
    EXPECT_DOUBLE_EQ(w.seaM, c.sea);
    EXPECT_DOUBLE_EQ(w.swellM, c.swell);
    EXPECT_EQ(joined(w.visibility), c.visibility);
    EXPECT_EQ(w.summary, c.summary);
  }
  EXPECT_TRUE(read("WEST 7, SCHAUERBOEEN").showerGusts);
  EXPECT_FALSE(read("WEST 7, BOEEN 9").showerGusts);
}

TEST(AreaText, MarksWhatItCannotRead) {
  const struct {
    const char* text;
    std::vector<std::string> unread;
  } cases[] = {
      {"NORDWQST 5", {"NORDWQST"}},      // a letter changed on the air
      {"NORD3EST 5", {"NORD3EST"}},      // a figure shift inside a word
      {"WEST 15, SEE 2 METER", {"15"}},  // no Beaufort force
      {"WEST 5, SEE 45 METER", {"45"}},  // no sea
      {"WEST 5 = SEE", {"="}},
  };
  for (const auto& c : cases) {
    const AreaWind w = read(c.text);
    EXPECT_EQ(w.unread, c.unread) << c.text;
    EXPECT_NE(w.summary.find("?]"), std::string::npos) << c.text;
  }
  // What was read around the error still counts.
  EXPECT_EQ(read("NORDWQST 5").bftMax, 5);
}

TEST(AreaText, EverySpellingOfAnAreaLeadsToItsId) {
  const struct {
    const char* written;
    const char* id;
  } cases[] = {
      {"ENGL.KANAL-OST", "englischer-kanal-ost"},
      {"ENGLISCHER KANAL OSTTEIL", "englischer-kanal-ost"},
      {"Englischer Kanal West", "englischer-kanal-west"},
      {"EASTERN ENGLISH CHANNEL", "englischer-kanal-ost"},
      {"FISHER", "fischer"},
      {"Fischer", "fischer"},
      {"Südwestliche Nordsee", "suedwestliche-nordsee"},
      {"SOUTHWESTERN NORTH SEA", "suedwestliche-nordsee"},
      {"IJSSELMEER", "ijsselmeer"},
      {"BELTS AND SOUND", "belte-und-sund"},
      {"Boddengewässer Ost", "boddengewaesser-ost"},
      {"SUEDOESTLICHE OSTSEE", "suedoestliche-ostsee"},
      {"SOUTHEASTERN BALTIC", "suedoestliche-ostsee"},
      {"CENTRAL BALTIC", "zentrale-ostsee"},
      {"Nördliche Ostsee", "noerdliche-ostsee"},
      {"RIGAER BUCHT", "rigaischer-meerbusen"},
      {"GULF OF FINLAND", "finnischer-meerbusen"},
      {"Ålandsee und Schärengebiet", "aalandsee-und-schaerengebiet"},
      {"ALANDSEE UND SCHAERENGEBIET", "aalandsee-und-schaerengebiet"},
      {"SEA OF BOTHNIA", "bottensee"},
      {"BAY OF BOTHNIA", "bottenwiek"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.written);
    // As an entry, inline after another one, and in the list of areas with strong wind.
    const SeaBulletin b = readSeaBulletin(
        std::string("Bis morgen früh ist in folgenden Vorhersagegebieten mit Starkwind zu "
                    "rechnen: Dogger ") +
        c.written + " Utsira.\nVorhersagen gültig bis 10.12. 12 UTC:\nDOGGER: WEST 5. " +
        c.written + ": WEST 6.\n");
    ASSERT_EQ(b.areas.size(), 2u);
    EXPECT_EQ(b.areas[1].id, c.id);
    EXPECT_EQ(b.areas[1].written, c.written);
    EXPECT_EQ(b.expected, (std::vector<std::string>{"dogger", c.id, "utsira"}));
    EXPECT_TRUE(b.fullyRead());
  }
  // Each area has one German name and is found by it.
  EXPECT_EQ(seaAreas().size(), 24u);
  for (const SeaArea& a : seaAreas()) {
    EXPECT_EQ(areaById(a.id), &a);
    const SeaBulletin b = readSeaBulletin("VORHERSAGEN GUELTIG BIS 10.12. 12 UTC:\n" +
                                          std::string(a.name) + ": WEST 5.\n");
    ASSERT_EQ(b.areas.size(), 1u) << a.name;
    EXPECT_EQ(b.areas[0].id, a.id);
  }
}

}  // namespace
}  // namespace tern::seaweather
