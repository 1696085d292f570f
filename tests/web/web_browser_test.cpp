// The web page in a real browser: tern-cli watch serves the simulated receiver's demo data,
// Debian's headless chromium opens the page at phone and screen size, the page must show the
// newest NAVTEX message, a loaded fax chart, the barograph and the wind map in its layout, and
// a message the receiver records meanwhile must appear without a reload. The screenshots land
// in $TERN_WEB_SCREENSHOTS when it is set (scripts/make-readme-pictures.sh uses that).
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <regex>

#include "cli/child_process.h"
#include "fakes/scratch_folder.h"
#include "link/protocol.h"
#include "sim/demo_scenario.h"
#include "sim/pty_receiver.h"
#include "web/headless_browser.h"

namespace tern::testing {
namespace {

using namespace std::chrono_literals;

// The key of the newest NAVTEX message the receiver holds.
std::string newestNavtexKey(const sim::Scenario& s) {
  const auto& log = s.logs[protocol::kGroupNavtex];
  const auto newest = std::max_element(log.begin(), log.end(), [](const auto& a, const auto& b) {
    return secondsSinceEpoch(a.received) < secondsSinceEpoch(b.received);
  });
  return newest == log.end() ? std::string() : newest->key;
}

std::string texts(const nlohmann::json& value) { return value.is_null() ? "null" : value.dump(); }

TEST(WebBrowser, PhoneAndScreenShowTheDataAndANewMessageAppearsWithoutReload) {
  const std::string chromium = findChromium();
  if (chromium.empty())
    GTEST_SKIP() << "chromium is not installed (Debian package chromium): the page is not "
                    "tried in a browser";
  ScratchFolder dir{"tern_web_browser"};
  sim::Scenario scenario = sim::demoScenario(SystemClock().utcNow());
  const std::string newest = newestNavtexKey(scenario);
  ASSERT_FALSE(newest.empty());
  PtyReceiver receiver(std::move(scenario));
  // On every address, so the page must carry the token: the first visit brings it in the
  // address, every later request (data, pictures, events) as the cookie.
  Child watch({std::string(TERN_BIN_DIR) + "/tern-cli", "watch", "--port", receiver.path,
               "--data-folder", (dir / "data").string(), "--http", "0.0.0.0:0"},
              {"XDG_RUNTIME_DIR=" + dir.string()});
  ASSERT_TRUE(watch.waitFor("Neue NAVTEX-Meldungen gespeichert", 60)) << watch.output;
  ASSERT_TRUE(watch.waitFor("Neue Wetterkarten gespeichert", 60)) << watch.output;
  std::smatch found;
  ASSERT_TRUE(std::regex_search(watch.output, found,
                                std::regex(R"(http://[^ :/]+:([0-9]+)/\?token=([0-9a-f]+))")))
      << watch.output;
  const std::string url = "http://127.0.0.1:" + found[1].str() + "/?token=" + found[2].str();

  const char* pictures = std::getenv("TERN_WEB_SCREENSHOTS");
  const std::string shots = pictures != nullptr && *pictures != 0 ? pictures : dir.string();
  struct Size {
    int width, height;
    bool columns;  // the sections side by side
  };
  for (const Size size : {Size{360, 740, false}, Size{1920, 1080, true}}) {
    const std::string name = std::to_string(size.width) + "x" + std::to_string(size.height);
    HeadlessBrowser browser(chromium, (dir / ("profile-" + name)).string(), size.width,
                            size.height);
    ASSERT_TRUE(browser.ok()) << browser.failure();
    ASSERT_TRUE(browser.navigate(url)) << name;
    ASSERT_TRUE(browser.waitUntil("document.body.dataset.loaded === 'true'", 20s)) << name;
    // The token left the address; without the cookie nothing is answered.
    EXPECT_EQ(browser.evaluate("location.search === '' && fetch('/api/navtex', {credentials: "
                               "'omit'}).then(r => r.status)"),
              401)
        << name;
    EXPECT_EQ(browser.evaluate("document.querySelector('#navtex-list .msg .key').textContent"),
              newest)
        << name;
    EXPECT_TRUE(
        browser.waitUntil("[...document.querySelectorAll('#fax-list img')]"
                          ".some(i => i.complete && i.naturalWidth > 0)",
                          20s))
        << name;
    EXPECT_EQ(browser.evaluate("document.querySelector('#baro-chart path.line')"
                               ".getAttribute('d').split('L').length > 100"),
              true)
        << name;
    EXPECT_EQ(browser.evaluate("document.querySelectorAll('#wind-map g.icon').length > 10"), true)
        << name;
    EXPECT_EQ(browser.evaluate("document.documentElement.scrollWidth <= innerWidth"), true)
        << name << ": wider than the screen";
    const auto layout = browser.evaluate(
        "(() => { const a = document.getElementById('navtex').getBoundingClientRect();"
        "  const b = document.getElementById('berichte').getBoundingClientRect();"
        "  return b.left >= a.right && Math.abs(a.top - b.top) < 2 ? 'columns' :"
        "         b.top >= a.bottom ? 'stacked' : 'overlapping'; })()");
    EXPECT_EQ(layout, size.columns ? "columns" : "stacked") << name;
    const std::string png = browser.screenshot();
    ASSERT_GT(png.size(), 1000u) << name;
    std::ofstream(shots + "/web-" + name + ".png", std::ios::binary) << png;

    // A tap on a coastal station's arrow opens its bulletin with the station's line marked.
    EXPECT_EQ(browser.evaluate(
                  "(() => { document.querySelector('#wind-map g.icon.coastal')"
                  "  .dispatchEvent(new MouseEvent('click', {bubbles: true}));"
                  "  const d = document.getElementById('report-window');"
                  "  const open = d.open && /^\\* /m.test(d.querySelector('pre').textContent);"
                  "  d.close(); return open; })()"),
              true)
        << name;

    if (!size.columns) continue;
    // A message recorded now reaches the open page through the event stream.
    ASSERT_EQ(browser.evaluate("window.stillThisPage = true"), true);
    sim::SimRecord record;
    record.code = 10;  // 518 kHz
    record.key = "EA99";
    record.received = SystemClock().utcNow();
    const std::string text = "ZCZC EA99\r\nNAV WARNING FROM THE TEST\r\nNNNN\r\n";
    record.data.assign(text.begin(), text.end());
    receiver.receiver.addRecord(protocol::kGroupNavtex, record);
    EXPECT_TRUE(browser.waitUntil(
        "document.querySelector('#navtex-list .msg .key').textContent === 'EA99'", 30s))
        << texts(browser.evaluate("document.querySelector('#navtex-list .msg').textContent"));
    EXPECT_EQ(browser.evaluate("window.stillThisPage === true && document.querySelector("
                               "'#navtex-list .msg').matches('.arrived[open]') && "
                               "document.querySelector('#navtex-list .msg .badge.new') !== null"),
              true);
  }
}

}  // namespace
}  // namespace tern::testing
