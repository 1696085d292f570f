#include "web/web_api.h"

#include <nlohmann/json.hpp>

#include "common/markup_escape.h"
#include "fakes/store_fixture.h"
#include "seaweather/my_sea_areas.h"
#include "seaweather/sample_bulletins.h"
#include "seaweather/sea_areas.h"
#include "web/web_site.h"
#include "web/web_text.h"

namespace tern::testing {
namespace {

using nlohmann::json;

class WebApi : public StoreTest {
 protected:
  std::vector<std::string> keys(const json& list) {
    std::vector<std::string> out;
    for (const json& item : list) out.push_back(item["key"].get<std::string>());
    return out;
  }
  void baroSamples(int count, std::int16_t raw) {
    BaroStore& ring = store->baro();
    for (int i = 0; i < count; ++i)
      putU16(&ring.samples()[static_cast<std::size_t>(i) * 8], static_cast<std::uint16_t>(raw + i));
    putU16(&ring.block()[6], static_cast<std::uint16_t>(count));
    stampBaroTimes(ring, count, {2026, 3, 5, 15, 20, 30, 0});
  }
};

TEST_F(WebApi, NavtexNewestFirstFollowingTheFilter) {
  navtex(kNavtex518, "SE01", {2026, 3, 5, 1, 0, 0, 0}, "OLD\r\n");
  navtex(kNavtex518, "SA02", {2026, 3, 5, 3, 0, 0, 0}, "GALE <b>\xC4\r\nNEXT\r\n");
  navtex(kNavtex490, "LE03", {2026, 3, 5, 2, 0, 0, 0});
  navtex(kNavtex490, "LE04", {2026, 13, 5, 2, 0, 0, 0});  // time unreadable: last
  navtex(kNavtex518, "QE05", {2026, 3, 5, 4, 0, 0, 0});   // station hidden
  store->navtex(kNavtex518).records()[1].newFlag = 0;     // SA02 read in the window
  NavtexFilter filter;
  filter.choose(kNavtex518, NavtexFilter::kStationsShown, 'Q', false);
  filter.choose(kNavtex518, NavtexFilter::kStationsAlert, 'S', true);

  const json answer = json::parse(navtexJson(*store, filter));
  EXPECT_EQ(answer["hidden"], 1);
  const json& messages = answer["messages"];
  EXPECT_EQ(keys(messages), (std::vector<std::string>{"SA02", "LE03", "SE01", "LE04"}));
  const json& gale = messages[0];
  EXPECT_EQ(gale["frequency"], 518);
  EXPECT_EQ(gale["station"], "S");
  EXPECT_EQ(gale["subject"], "A");
  EXPECT_EQ(gale["category"], "Navigational warnings");
  EXPECT_EQ(gale["time"], "2026-03-05T03:00:00Z");
  EXPECT_EQ(gale["alert"], true);  // a mandatory subject of an alerting station
  EXPECT_EQ(gale["new"], false);
  // Latin-1 from the air comes out as UTF-8; markup stays text for the page to show as text.
  EXPECT_EQ(gale["lines"], json::array({"GALE <b>\u00C4", "NEXT", ""}));
  EXPECT_EQ(messages[2]["new"], true);
  EXPECT_EQ(messages[2]["alert"], false);  // subject E does not alert
  EXPECT_EQ(messages[3]["time"], nullptr);
}

TEST_F(WebApi, BulletinsOfBothLanguagesAndTheFaxList) {
  put(0, 0, 1, 3, "FQEW01", {2026, 3, 5, 8, 0, 0, 0}, "ALT\n");
  put(0, 0, 0, 3, "FQEW02", {2026, 3, 5, 20, 0, 0, 0}, "NEU\nZWEITE", 1);  // broken off
  put(1, 2, 0, 6, "FQEN03", {2026, 3, 5, 12, 0, 0, 0}, "ENGLISH\n");
  put(2, 0, 0, 0, "FAX001", {2026, 3, 5, 6, 0, 0, 0}, "xx");
  put(2, 1, 0, 0, "FAX002", {2026, 3, 5, 9, 0, 0, 0}, "xx");
  put(5, 0, 0, 21, "BOS001", {2026, 3, 5, 7, 0, 0, 0}, "xx");

  const json bulletins = json::parse(bulletinsJson(*store))["bulletins"];
  EXPECT_EQ(keys(bulletins), (std::vector<std::string>{"FQEW02", "FQEN03", "FQEW01"}));
  EXPECT_EQ(bulletins[0]["language"], "de");
  EXPECT_EQ(bulletins[1]["language"], "en");
  EXPECT_EQ(bulletins[0]["transmitter"], "DDH47 (147.3 kHz)");
  EXPECT_EQ(bulletins[0]["brokenOff"], true);
  EXPECT_EQ(bulletins[0]["lines"].back(), "Aufzeichnung nach Sendeplan abgebrochen.");
  EXPECT_FALSE(bulletins[0]["title"].get<std::string>().empty());
  EXPECT_EQ(bulletins[0]["title"], bulletins[2]["title"]);  // one schedule entry
  EXPECT_EQ(bulletins[2]["brokenOff"], false);
  EXPECT_EQ(bulletins[0]["synop"], nullptr);
  EXPECT_EQ(bulletins[0]["windMap"], false);

  // Coded bulletins are told apart from those in words, and so are the ship bulletins the
  // wind map decodes from other SYNOP code.
  struct Coded {
    int table;
    const char* key;
    const char* text;
    json synop;
    bool windMap;
  };
  const Coded coded[] = {
      {0, "SMVX41", "ZCZC 412\nSMVX41 EDZW 051200\nBBXX\nDBBH 05124 99543=\n", "ship", true},
      {1, "SIVX45", "ZCZC 1\r\nSIVX45 EDZW 051500\r\nBBXX\r\nDBBH 05154 99543=\r\n", "ship", true},
      {1, "SMEU71", "ZCZC 2\nSMEU71 EDZW 051200\nAAXX 05121\n10015 32970 61604=\n", "land", false},
      {0, "SXEN40", "ZCZC 5\nSXEN40 DWAV 051200\nHELGOLAND SUEDWEST 5\n", nullptr, false},
      {0, "FQEW04", "ZCZC 6\nFQEW04\nIM TEXT STEHT BBXX\n", nullptr, false},
  };
  int minute = 0;
  for (const Coded& c : coded) {
    put(c.table, 3, 0, 3, c.key, {2026, 3, 5, 23, ++minute, 0, 0}, c.text);
    const json newest = json::parse(bulletinsJson(*store))["bulletins"][0];
    ASSERT_EQ(newest["key"], c.key);
    EXPECT_EQ(newest["synop"], c.synop) << c.key;
    EXPECT_EQ(newest["windMap"], c.windMap) << c.key;
  }

  const json stations = json::parse(faxListJson(*store))["stations"];
  ASSERT_EQ(stations.size(), 5u);
  EXPECT_EQ(stations[0]["station"], "FAX DWD");
  EXPECT_EQ(keys(stations[0]["charts"]), (std::vector<std::string>{"FAX002", "FAX001"}));
  EXPECT_EQ(keys(stations[3]["charts"]), (std::vector<std::string>{"BOS001"}));
  EXPECT_TRUE(stations[1]["charts"].empty());
  EXPECT_FALSE(stations[0]["charts"][0].contains("lines"));
}

TEST_F(WebApi, BarographCurveEndsWithTheNewestSample) {
  json empty = json::parse(barographJson(*store, {}));
  EXPECT_TRUE(empty["samples"].empty());
  EXPECT_EQ(empty["pressureHPa"], nullptr);
  EXPECT_EQ(empty["tendencyHPa"], nullptr);

  baroSamples(2000, 1300);  // 1013.00 hPa rising 0.01 hPa a minute
  BarographRequest request;
  request.days = 1;
  request.stepMinutes = 60;
  const json answer = json::parse(barographJson(*store, request));
  const json& samples = answer["samples"];
  ASSERT_EQ(samples.size(), 24u);  // 1440 minutes, one point an hour
  EXPECT_EQ(samples.back()["time"], "2026-03-05T15:20:00");
  EXPECT_EQ(samples.back()["hPa"], 1033.0);  // sample 1999: 1300 + 1999 Pa above 100000
  EXPECT_EQ(samples.front()["time"], "2026-03-04T16:20:00");
  EXPECT_EQ(answer["pressureHPa"], 1033.0);
  EXPECT_EQ(answer["tendencyHPa"], 1.8);

  request.days = 99;  // limited to the week the ring holds
  request.stepMinutes = 0;
  EXPECT_EQ(json::parse(barographJson(*store, request))["samples"].size(), 2000u);
}

TEST_F(WebApi, EachRouteGetsItsAnswerAndRefusalsTheirStatus) {
  navtex(kNavtex518, "QA01", {2026, 3, 5, 1, 0, 0, 0});
  WebData data;
  NavtexFilter filter;
  filter.choose(kNavtex518, NavtexFilter::kStationsShown, 'Q', false);
  data.SetFilter(filter);
  data.SetAlerts({{{2026, 3, 5, 9, 5, 0, 0}, AlertKind::Pressure, "Fall", false}});
  data.NoteNewData();
  const WebData::Snapshot snapshot = data.Take();
  EXPECT_EQ(snapshot.generation, 3u) << "the filter, the alerts and the new data each count";

  const std::pair<WebRoute, const char*> answers[] = {
      {WebRoute::Bulletins, "bulletins"}, {WebRoute::Navtex, "hidden"},
      {WebRoute::Alerts, "unseen"},       {WebRoute::Barograph, "samples"},
      {WebRoute::FaxList, "stations"},    {WebRoute::Synop, "cells"},
      {WebRoute::SeaWeather, "areas"}};
  for (auto [route, member] : answers) {
    const WebAnswer a = answerWebRequest({.route = route}, *store, snapshot);
    EXPECT_EQ(a.status, 200) << member;
    EXPECT_EQ(a.contentType, "application/json; charset=utf-8") << member;
    EXPECT_TRUE(json::parse(a.body).contains(member)) << member;
  }
  // The handed-over filter and alerts are the ones used.
  EXPECT_EQ(
      json::parse(answerWebRequest({.route = WebRoute::Navtex}, *store, snapshot).body)["hidden"],
      1);
  EXPECT_EQ(
      json::parse(answerWebRequest({.route = WebRoute::Alerts}, *store, snapshot).body)["unseen"],
      1);

  for (int status : {400, 401, 404, 405, 413, 414}) {
    const WebAnswer a = answerWebRequest({.status = status}, *store, snapshot);
    EXPECT_EQ(a.status, status);
    EXPECT_EQ(a.contentType, "text/plain; charset=utf-8");
    EXPECT_EQ(a.body.find("bulletins"), std::string::npos);
  }
  EXPECT_EQ(answerWebRequest({.status = 401}, *store, snapshot).body,
            "Diese Seite ist nur mit dem Zugangsschl\u00FCssel des Dienstes zu \u00F6ffnen.\n");
}

TEST_F(WebApi, SeaWeatherPutsTheUsersAreasFirstAndTheMapEscapesReceivedText) {
  put(0, 1, 1, 3, "FQEN50", {2026, 12, 10, 0, 7, 0, 0}, seaweather::samples::kGermanReport);
  put(0, 0, 0, 3, "WODL45", {2026, 12, 10, 0, 2, 0, 0}, seaweather::samples::kGermanWarnings);
  ASSERT_TRUE(seaweather::SaveMySeaAreas(store->dataFolder(), {{"utsira", "westliche-ostsee"}}).ok);
  const WebData::Snapshot snapshot;
  const json sea =
      json::parse(answerWebRequest({.route = WebRoute::SeaWeather}, *store, snapshot).body);
  EXPECT_EQ(sea["mine"], json({"utsira", "westliche-ostsee"}));
  EXPECT_EQ(sea["report"]["issued"], "10.12.2026, 00:05 UTC");
  EXPECT_EQ(sea["warnings"]["heading"], "WODL45");
  ASSERT_EQ(sea["areas"].size(), seaweather::seaAreas().size());
  const struct {
    std::size_t index;
    const char* id;
    bool mine;
    json bft;
    json warning;
  } cases[] = {
      {0, "deutsche-bucht", false, 8, "Sturm"},
      {8, "utsira", true, 12, "Orkan"},
      {13, "westliche-ostsee", true, 7, "Starkwind"},
      {5, "dogger", false, nullptr, nullptr},
  };
  for (const auto& c : cases) {
    const json& area = sea["areas"][c.index];
    EXPECT_EQ(area["id"], c.id);
    EXPECT_EQ(area["mine"], c.mine) << c.id;
    EXPECT_EQ(area["bftMax"], c.bft) << c.id;
    EXPECT_EQ(area["warning"], c.warning) << c.id;
  }
  EXPECT_EQ(sea["areas"][13]["forecast"]["text"],
            "SUEDWEST BIS WEST 6 BIS 7, SPAETER 5, SEE 2,5 METER, DIESIG");
  const std::string detail = sea["areas"][13]["detail"];
  EXPECT_LT(detail.find("Starkwindwarnung"), detail.find("Vorhersage"));

  // A report with markup in an area's text: the JSON carries it as text, the map escapes it.
  put(0, 1, 0, 3, "FQEN50", {2026, 12, 10, 6, 7, 0, 0},
      "FQEN50 EDZW 100605\nAM 10.12.2026, 06.05 UTC\n"
      "DEUTSCHE BUCHT: <svg onload><script>alert(1)</script> & 7.\n");
  const WebAnswer svg = answerWebRequest({.route = WebRoute::SeaMap}, *store, snapshot);
  EXPECT_EQ(svg.status, 200);
  EXPECT_EQ(svg.contentType, "image/svg+xml; charset=utf-8");
  EXPECT_EQ(svg.cacheControl, "no-store");
  EXPECT_EQ(svg.body.find("<script"), std::string::npos);
  EXPECT_EQ(svg.body.find("<svg onload"), std::string::npos);
  EXPECT_NE(svg.body.find("&lt;svg onload&gt;&lt;script&gt;alert(1)&lt;/script&gt; &amp; 7"),
            std::string::npos);
  const json newer =
      json::parse(answerWebRequest({.route = WebRoute::SeaWeather}, *store, snapshot).body);
  EXPECT_EQ(newer["areas"][0]["forecast"]["text"], "<svg onload><script>alert(1)</script> & 7");
}

TEST(WebText, EscapingAndTimes) {
  EXPECT_EQ(markupEscape("<script>alert('x&y')</script> \"q\" \u00C4\x01\x1b[2J\t\n"),
            "&lt;script&gt;alert(&#39;x&amp;y&#39;)&lt;/script&gt; &quot;q&quot; \u00C4[2J\t\n");
  const json alerts = json::parse(
      alertsJson({{{2026, 3, 5, 9, 5, 0, 0}, AlertKind::Navtex, "Sturm \"A\"\n</script>", false},
                  {{2026, 3, 5, 8, 0, 0, 0}, AlertKind::Pressure, "Fall", true}}));
  EXPECT_EQ(alerts["unseen"], 1);
  EXPECT_EQ(alerts["alerts"][0]["kind"], "NAVTEX");
  EXPECT_EQ(alerts["alerts"][0]["text"], "Sturm \"A\"\n</script>");
  EXPECT_EQ(alerts["alerts"][1]["time"], "2026-03-05T08:00:00Z");
  // While unseen, the older pressure fall leads the NAVTEX warnings, as in the window.
  const json ranked = json::parse(
      alertsJson({{{2026, 3, 5, 9, 6, 0, 0}, AlertKind::Navtex, "B2", false},
                  {{2026, 3, 5, 9, 5, 0, 0}, AlertKind::Navtex, "B1", false},
                  {{2026, 3, 5, 9, 4, 0, 0}, AlertKind::Pressure, "f\u00E4llt", false}}));
  EXPECT_EQ(ranked["alerts"][0]["kind"], "Luftdruck");
  EXPECT_EQ(ranked["alerts"][1]["text"], "B2");
  EXPECT_EQ(ranked["unseen"], 3);
  EXPECT_EQ(isoTime({2026, 2, 30, 0, 0, 0, 0}, true), "");
}

}  // namespace
}  // namespace tern::testing
