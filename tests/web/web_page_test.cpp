// The page's own files as the service answers them, what the page asks the service for, and
// /api/synop over the sample bulletins.
#include <gtest/gtest.h>

#include <fstream>
#include <nlohmann/json.hpp>
#include <regex>
#include <sstream>

#include "fakes/store_fixture.h"
#include "web/page_files.h"
#include "web/web_api.h"
#include "web/web_site.h"

namespace tern::testing {
namespace {

using nlohmann::json;

std::string fileText(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

std::string builtIn(std::string_view name) {
  const PageFile* file = findPageFile(name);
  if (file == nullptr) return {};
  return {reinterpret_cast<const char*>(file->bytes.data()), file->bytes.size()};
}

const std::string kPage = std::string(TERN_ASSETS_DIR) + "/../src/web/page/";

using WebPage = StoreTest;

TEST_F(WebPage, FilesAreServedAsBuiltWithTheirTypesAndCaching) {
  struct Case {
    WebRoute route;
    std::string source;
    const char* type;
    const char* cache;
  };
  const Case cases[] = {
      {WebRoute::Page, kPage + "index.html", "text/html; charset=utf-8", "no-cache"},
      {WebRoute::Script, kPage + "tern.js", "text/javascript; charset=utf-8", "no-cache"},
      {WebRoute::Style, kPage + "tern.css", "text/css; charset=utf-8", "no-cache"},
      {WebRoute::Icon, TERN_ASSETS_DIR "/desktop/tern.svg", "image/svg+xml", "max-age=86400"},
      {WebRoute::WindMap, TERN_ASSETS_DIR "/pictures/wind_map.png", "image/png", "max-age=86400"},
      {WebRoute::Navtex, "", "application/json; charset=utf-8", "no-store"},
  };
  for (const Case& c : cases) {
    const WebAnswer a = answerWebRequest({.route = c.route}, *store, {});
    EXPECT_EQ(a.status, 200) << c.source;
    EXPECT_EQ(a.contentType, c.type) << c.source;
    EXPECT_EQ(a.cacheControl, c.cache) << c.source;
    if (!c.source.empty()) {
      const std::string expected = fileText(c.source);
      ASSERT_FALSE(expected.empty()) << c.source;
      EXPECT_TRUE(a.body == expected) << c.source << " differs from what is built in";
    }
  }
  EXPECT_EQ(findPageFile("../index.html"), nullptr);
}

// Every address the document and the script use must pass the guard, or the page breaks where
// it listens on the network; and nothing may need an inline script or style, which the
// Content-Security-Policy forbids.
TEST(WebPageFiles, AskOnlyForWhatTheGuardLetsThroughAndNeedNoInlineCode) {
  const std::string html = builtIn("index.html");
  const std::string script = builtIn("tern.js");
  ASSERT_FALSE(html.empty());
  ASSERT_FALSE(script.empty());
  std::vector<std::string> addresses;
  const std::regex attribute(R"re((?:src|href)="(/[^"]*)")re");
  for (auto it = std::sregex_iterator(html.begin(), html.end(), attribute);
       it != std::sregex_iterator(); ++it)
    addresses.push_back((*it)[1]);
  const std::regex apiPath(R"re("(/api/[a-z]+)")re");
  for (auto it = std::sregex_iterator(script.begin(), script.end(), apiPath);
       it != std::sregex_iterator(); ++it)
    addresses.push_back((*it)[1]);
  EXPECT_GE(addresses.size(), 10u);
  EXPECT_NE(script.find("`/api/fax/${chart.id}.png`"), std::string::npos);
  addresses.push_back("/api/fax/17.png?width=900");
  for (const std::string& address : addresses)
    EXPECT_EQ(guardWebRequest({"GET", address, ""}, {}).status, 200) << address;

  struct Forbidden {
    const std::string& text;
    std::regex pattern;
    const char* why;
  };
  const Forbidden forbidden[] = {
      {html, std::regex("<script(?![^>]*\\bsrc=)"), "inline script"},
      {html, std::regex("<style"), "inline style sheet"},
      {html, std::regex("\\sstyle="), "style attribute"},
      {html, std::regex("\\son[a-z]+="), "event handler attribute"},
      {html, std::regex("(src|href)=\"(https?:)?//"), "file from elsewhere"},
      {script, std::regex("innerHTML|outerHTML|insertAdjacentHTML|document\\.write"),
       "markup from text"},
      {script, std::regex("\\beval\\(|new Function"), "code from text"},
  };
  for (const Forbidden& f : forbidden) EXPECT_FALSE(std::regex_search(f.text, f.pattern)) << f.why;
}

class WebSynop : public StoreTest {
 protected:
  void bulletin(int row, const std::string& heading, const char* sample) {
    put(0, row, 0, 3, heading, {2026, 3, 5, 12, 30, 0, 0},
        fileText(std::string(TERN_TEST_DATA_DIR) + "/synop/" + sample));
  }
};

TEST_F(WebSynop, ReportsCellsAndLinesAsTheWindowShowsThem) {
  // No bulletins, no reports; the map is still described.
  const json none = json::parse(synopJson(*store));
  EXPECT_TRUE(none["reports"].empty());
  EXPECT_TRUE(none["cells"].empty());
  EXPECT_EQ(none["map"]["width"], 1835);

  bulletin(0, "SXEN40", "sxen40.txt");
  bulletin(1, "SMVX41", "smvx41_german.txt");
  const json answer = json::parse(synopJson(*store));
  const json& reports = answer["reports"];
  const json& cells = answer["cells"];
  EXPECT_EQ(answer["map"]["west"], -20.0);
  EXPECT_EQ(answer["map"]["north"], 72.0);
  EXPECT_EQ(answer["map"]["picture"], "/wind_map.png");

  auto find = [&](const std::string& name) -> const json* {
    for (const json& r : reports)
      if (r["name"] == name) return &r;
    return nullptr;
  };
  auto cellOf = [&](std::size_t index) -> const json* {
    for (const json& c : cells)
      for (const json& member : c["reports"])
        if (member == index) return &c;
    return nullptr;
  };
  struct Case {
    const char* name;
    const char* kind;
    double latitude, longitude;
    json direction, speed;
    int column, row;
    json icon;            // where the wind blows to, 16 calm
    const char* ownLine;  // the line the report window marks, or the first line of a ship
  };
  const Case cases[] = {
      {"HELGOLAND", "coastal", 54.1, 7.9, 225, 9.75, 60, 64, 2, "* HELGOLAND SUEDWEST 5"},
      {"DEN HELDER", "coastal", 53.0, 4.9, 0, 6.95, 54, 61, 8, "* DEN HELDER NORD 4"},
      {"HEL ", "coastal", 55.0, 19.0, 315, 2.85, 85, 66, 6, "* HEL NORDWEST 2"},
      {"DBBH", "ship", 54.3, 6.7, 270, 7.716, 58, 65, 4, "Funkrufzeichen: DBBH"},
  };
  for (const Case& c : cases) {
    const json* r = find(c.name);
    ASSERT_NE(r, nullptr) << c.name;
    EXPECT_EQ((*r)["kind"], c.kind) << c.name;
    EXPECT_NEAR((*r)["latitude"].get<double>(), c.latitude, 1e-9) << c.name;
    EXPECT_NEAR((*r)["longitude"].get<double>(), c.longitude, 1e-9) << c.name;
    EXPECT_EQ((*r)["direction"], c.direction) << c.name;
    EXPECT_NEAR((*r)["speedMs"].get<double>(), c.speed.get<double>(), 0.01) << c.name;
    EXPECT_EQ((*r)["day"], 5) << c.name;
    EXPECT_EQ((*r)["hour"], 12) << c.name;
    const json* cell = cellOf(static_cast<std::size_t>(r - &reports[0]));
    ASSERT_NE(cell, nullptr) << c.name;
    EXPECT_EQ((*cell)["column"], c.column) << c.name;
    EXPECT_EQ((*cell)["row"], c.row) << c.name;
    EXPECT_EQ((*cell)["x"], c.column * 14) << c.name;
    EXPECT_EQ((*cell)["y"], (108 - c.row) * 14) << c.name;
    EXPECT_EQ((*cell)["icon"], c.icon) << c.name;
    EXPECT_EQ((*cell)["coastal"], std::string(c.kind) == "coastal") << c.name;
    // A coastal station shows the whole bulletin with only its own line marked.
    int marked = 0;
    bool found = false;
    for (const json& line : (*r)["lines"]) {
      const std::string text = line;
      marked += text.starts_with("* ");
      found = found || text.starts_with(c.ownLine);
      EXPECT_EQ(text.find('\r'), std::string::npos) << c.name;
    }
    EXPECT_TRUE(found) << c.name << "\n" << (*r)["lines"].dump(1);
    EXPECT_EQ(marked, std::string(c.kind) == "coastal" ? 1 : 0) << c.name;
  }
  // Every report in a cell is listed there once.
  std::size_t members = 0;
  for (const json& c : cells) members += c["reports"].size();
  EXPECT_EQ(members, reports.size());
}

}  // namespace
}  // namespace tern::testing
