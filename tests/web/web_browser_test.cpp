// The web page in a real browser: tern-cli watch serves the simulated receiver's demo data,
// Debian's headless chromium opens the page at phone and screen size, the page must show the
// newest NAVTEX message, a loaded fax chart, the barograph and the wind map in its layout, and
// a message the receiver records meanwhile must appear without a reload. A second test reads
// the page as the crew would: the pressure fall first and in sight, coded bulletins folded,
// large enough targets and text, and the three views. The screenshots land in
// $TERN_WEB_SCREENSHOTS when it is set (scripts/make-readme-pictures.sh uses that), else in
// tern-web-screenshots in the temporary folder, where they outlive the test.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <memory>
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
using nlohmann::json;

// The key of the newest NAVTEX message the receiver holds.
std::string newestNavtexKey(const sim::Scenario& s) {
  const auto& log = s.logs[protocol::kGroupNavtex];
  const auto newest = std::max_element(log.begin(), log.end(), [](const auto& a, const auto& b) {
    return secondsSinceEpoch(a.received) < secondsSinceEpoch(b.received);
  });
  return newest == log.end() ? std::string() : newest->key;
}

std::string texts(const json& value) { return value.is_null() ? "null" : value.dump(); }

struct Size {
  int width, height;
  bool columns;  // the sections side by side
  std::string name() const { return std::to_string(width) + "x" + std::to_string(height); }
};
constexpr Size kPhone{360, 740, false};
constexpr Size kScreen{1920, 1080, true};

// The simulated receiver with the demo's data behind `tern-cli watch --http` on every address,
// so the page must carry the token: the first visit brings it in the address, every later
// request (data, pictures, events) as the cookie.
class DemoService {
 public:
  explicit DemoService(sim::Scenario scenario)
      : receiver(std::move(scenario)),
        watch({std::string(TERN_BIN_DIR) + "/tern-cli", "watch", "--port", receiver.path,
               "--data-folder", (dir / "data").string(), "--http", "0.0.0.0:0"},
              {"XDG_RUNTIME_DIR=" + dir.string()}) {}

  // Waits for the first read-out; the page's address with the token, or empty.
  std::string start() {
    if (!watch.waitFor("Neue NAVTEX-Meldungen gespeichert", 60) ||
        !watch.waitFor("Neue Wetterkarten gespeichert", 60))
      return {};
    std::smatch found;
    if (!std::regex_search(watch.output, found,
                           std::regex(R"(http://[^ :/]+:([0-9]+)/\?token=([0-9a-f]+))")))
      return {};
    return "http://127.0.0.1:" + found[1].str() + "/?token=" + found[2].str();
  }

  static std::string shots() {
    const char* pictures = std::getenv("TERN_WEB_SCREENSHOTS");
    if (pictures != nullptr && *pictures != 0) return pictures;
    const auto folder = std::filesystem::temp_directory_path() / "tern-web-screenshots";
    std::filesystem::create_directories(folder);
    return folder.string();
  }
  // Saves the page as shown; the file's path.
  std::string save(HeadlessBrowser& browser, const std::string& name) const {
    const std::string png = browser.screenshot();
    EXPECT_GT(png.size(), 1000u) << name;
    const std::string path = shots() + "/web-" + name + ".png";
    std::ofstream(path, std::ios::binary) << png;
    return path;
  }

  ScratchFolder dir{"tern_web_browser"};
  PtyReceiver receiver;
  Child watch;
};

std::unique_ptr<HeadlessBrowser> openPage(const std::string& chromium, const DemoService& service,
                                          const std::string& url, const Size& size) {
  auto browser = std::make_unique<HeadlessBrowser>(
      chromium, (service.dir / ("profile-" + size.name())).string(), size.width, size.height);
  EXPECT_TRUE(browser->ok()) << browser->failure();
  if (!browser->ok()) return nullptr;
  EXPECT_TRUE(browser->navigate(url)) << size.name();
  EXPECT_TRUE(browser->waitUntil("document.body.dataset.loaded === 'true'", 20s)) << size.name();
  return browser;
}

// A NAVTEX message on 518 kHz received now, as the receiver records it.
sim::SimRecord navtexNow(const std::string& key, const std::string& line) {
  sim::SimRecord record;
  record.code = 10;  // 518 kHz
  record.key = key;
  record.received = SystemClock().utcNow();
  const std::string text = "ZCZC " + key + "\r\n" + line + "\r\nNNNN\r\n";
  record.data.assign(text.begin(), text.end());
  return record;
}

TEST(WebBrowser, PhoneAndScreenShowTheDataAndANewMessageAppearsWithoutReload) {
  const std::string chromium = findChromium();
  if (chromium.empty())
    GTEST_SKIP() << "chromium is not installed (Debian package chromium): the page is not "
                    "tried in a browser";
  sim::Scenario scenario = sim::demoScenario(SystemClock().utcNow());
  const std::string newest = newestNavtexKey(scenario);
  ASSERT_FALSE(newest.empty());
  DemoService service(std::move(scenario));
  const std::string url = service.start();
  ASSERT_FALSE(url.empty()) << service.watch.output;

  for (const Size& size : {kPhone, kScreen}) {
    const std::string name = size.name();
    const auto browser = openPage(chromium, service, url, size);
    ASSERT_NE(browser, nullptr);
    // The token left the address; without the cookie nothing is answered.
    EXPECT_EQ(browser->evaluate("location.search === '' && fetch('/api/navtex', {credentials: "
                                "'omit'}).then(r => r.status)"),
              401)
        << name;
    EXPECT_EQ(browser->evaluate("document.querySelector('#navtex-list .msg .key').textContent"),
              newest)
        << name;
    EXPECT_TRUE(
        browser->waitUntil("[...document.querySelectorAll('#fax-list img')]"
                           ".some(i => i.complete && i.naturalWidth > 0)",
                           20s))
        << name;
    EXPECT_EQ(browser->evaluate("document.querySelector('#baro-chart path.line')"
                                ".getAttribute('d').split('L').length > 100"),
              true)
        << name;
    EXPECT_EQ(browser->evaluate("document.querySelectorAll('#wind-map g.icon').length > 10"), true)
        << name;
    EXPECT_EQ(browser->evaluate("document.documentElement.scrollWidth <= innerWidth"), true)
        << name << ": wider than the screen";
    const auto layout = browser->evaluate(
        "(() => { const a = document.getElementById('navtex').getBoundingClientRect();"
        "  const b = document.getElementById('berichte').getBoundingClientRect();"
        "  return b.left >= a.right && Math.abs(a.top - b.top) < 2 ? 'columns' :"
        "         b.top >= a.bottom ? 'stacked' : 'overlapping'; })()");
    EXPECT_EQ(layout, size.columns ? "columns" : "stacked") << name;
    service.save(*browser, name);

    // A tap on a coastal station's arrow opens its bulletin with the station's line marked.
    EXPECT_EQ(browser->evaluate(
                  "(() => { document.querySelector('#wind-map g.icon.coastal')"
                  "  .dispatchEvent(new MouseEvent('click', {bubbles: true}));"
                  "  const d = document.getElementById('report-window');"
                  "  const open = d.open && /^\\* /m.test(d.querySelector('pre').textContent);"
                  "  d.close(); return open; })()"),
              true)
        << name;

    // The sea weather: the map a picture of its own, every area listed, a tap opens its texts.
    EXPECT_TRUE(
        browser->waitUntil("(() => { const i = document.getElementById('sea-map');"
                           "  return !i.hidden && i.complete && i.naturalWidth > 0; })()",
                           20s))
        << name;
    EXPECT_EQ(browser->evaluate("document.querySelectorAll('#sea-all li').length"), 24) << name;
    EXPECT_EQ(browser->evaluate("(() => { document.querySelector('#sea-all button').click();"
                                "  const d = document.getElementById('report-window');"
                                "  const open = d.open && d.querySelector('h3').textContent"
                                "    === 'Deutsche Bucht';"
                                "  d.close(); return open; })()"),
              true)
        << name;
    browser->evaluate("document.getElementById('seewetter').scrollIntoView()");
    service.save(*browser, name + "-seewetter");

    if (!size.columns) continue;
    // A message recorded now reaches the open page through the event stream.
    ASSERT_EQ(browser->evaluate("window.stillThisPage = true"), true);
    service.receiver.receiver.addRecord(protocol::kGroupNavtex,
                                        navtexNow("EA99", "NAV WARNING FROM THE TEST"));
    EXPECT_TRUE(browser->waitUntil(
        "document.querySelector('#navtex-list .msg .key').textContent === 'EA99'", 30s))
        << texts(browser->evaluate("document.querySelector('#navtex-list .msg').textContent"));
    EXPECT_EQ(browser->evaluate("window.stillThisPage === true && document.querySelector("
                                "'#navtex-list .msg').matches('.arrived[open]') && "
                                "document.querySelector('#navtex-list .msg .badge.new') !== null"),
              true);
  }
}

// ---- measured in the page ---------------------------------------------------------------

// The first alarm of the card: its kind, text, whether it leads the card and is whole on the
// screen as the page opens, and whether any alarm text is cut.
constexpr const char* kFirstAlarm = R"js((() => {
  const items = [...document.querySelectorAll('#alarm-list li')];
  if (items.length === 0) return null;
  const r = items[0].getBoundingClientRect();
  const list = document.getElementById('alarm-list');
  return {
    kinds: items.map(li => li.querySelector('.kind').textContent),
    text: items[0].querySelector('.text').textContent,
    lead: items[0].classList.contains('lead'),
    inSight: scrollY === 0 && r.top >= 0 && r.bottom <= innerHeight,
    cut: list.scrollHeight > list.clientHeight + 1 ||
         items.some(li => li.scrollWidth > li.clientWidth + 1),
  };
})())js";

// Every control that can be tapped, measured with its fold-outs open: those under 44 CSS
// pixels either way. The map's arrows count by their touch circle.
constexpr const char* kSmallTargets = R"js((() => {
  for (const d of document.querySelectorAll('details')) d.open = true;
  const small = [];
  let measured = 0;
  const targets = document.querySelectorAll(
      'button, a[href], summary, input, select, [role=button], #wind-map .target');
  for (const e of targets) {
    if (e.closest('dialog:not([open])')) continue;
    const r = e.getBoundingClientRect();
    if (r.width === 0 && r.height === 0) continue;  // not shown at this size
    ++measured;
    if (r.width < 43.5 || r.height < 43.5)
      small.push(`${e.tagName} "${e.textContent.trim().slice(0, 30)}" ` +
                 `${r.width.toFixed(1)}x${r.height.toFixed(1)}`);
  }
  return {measured, small: small.slice(0, 12)};
})())js";

// Every shown text under 16 px, but for the small print of times, marks and axis labels.
constexpr const char* kSmallText = R"js((() => {
  const small = [];
  const exempt = '.badge, time, .freq, .lang, .count, .status, svg';
  const walker = document.createTreeWalker(document.body, NodeFilter.SHOW_TEXT);
  for (let n = walker.nextNode(); n; n = walker.nextNode()) {
    const e = n.parentElement;
    if (!n.textContent.trim() || e.closest(exempt)) continue;
    const r = e.getBoundingClientRect();
    if (r.width === 0 && r.height === 0) continue;
    const size = parseFloat(getComputedStyle(e).fontSize);
    if (size < 16) small.push(`${e.tagName}.${e.className} ${size}px "${n.textContent.trim().slice(0, 30)}"`);
  }
  return small.slice(0, 12);
})())js";

// Colours that are not red (more than half as much green or blue as red) on anything shown,
// and pictures drawn without the view's filter.
constexpr const char* kNotRed = R"js((() => {
  const bad = [];
  const check = (e, what, value) => {
    const m = /rgba?\(([\d.]+), ([\d.]+), ([\d.]+)(?:, ([\d.]+))?\)/.exec(value);
    if (!m || (m[4] !== undefined && +m[4] === 0)) return;
    const [r, g, b] = [+m[1], +m[2], +m[3]];
    if (g > r / 2 + 4 || b > r / 2 + 4)
      bad.push(`${e.tagName}.${e.getAttribute('class') || ''} ${what} ${value}`);
  };
  for (const e of document.querySelectorAll('*')) {
    const r = e.getBoundingClientRect();
    if (r.width === 0 && r.height === 0) continue;
    const s = getComputedStyle(e);
    check(e, 'color', s.color);
    check(e, 'background', s.backgroundColor);
    for (const side of ['Top', 'Left'])
      if (parseFloat(s[`border${side}Width`]) > 0) check(e, 'border', s[`border${side}Color`]);
    if (e instanceof SVGElement) {
      check(e, 'fill', s.fill);
      check(e, 'stroke', s.stroke);
    }
  }
  const unfiltered = [...document.querySelectorAll('img, svg image')]
      .filter(i => getComputedStyle(i).filter === 'none').length;
  return {bad: bad.slice(0, 12), unfiltered};
})())js";

// Puts the newest ship bulletin in SYNOP code at the top of the bulletins' answer, as when it
// is the newest one received.
constexpr const char* kCodedNewest = R"js(
  const realFetch = window.fetch;
  window.fetch = async (...args) => {
    const answer = await realFetch(...args);
    if (!String(args[0]).startsWith('/api/bulletins')) return answer;
    const data = await answer.json();
    const i = data.bulletins.findIndex(b => b.windMap);
    if (i > 0) data.bulletins.unshift(...data.bulletins.splice(i, 1));
    return new Response(JSON.stringify(data), {status: answer.status, headers: answer.headers});
  };)js";

constexpr const char* kBulletinFolds = R"js((() => {
  const all = [...document.querySelectorAll('#bulletin-list details.msg')];
  const coded = all.filter(d => d.classList.contains('coded'));
  const open = all.filter(d => d.open);
  return {
    firstIsCoded: all.length > 0 && all[0] === coded[0],
    codedOpen: coded.filter(d => d.open).length,
    labelled: coded.filter(d => d.querySelector('.cat').textContent.startsWith(
        'Schiffsmeldungen im SYNOP-Code, entschlüsselt auf der Windkarte')).length,
    openIsFirstInWords: open.length === 1 && open[0] === all.find(d => !coded.includes(d)),
  };
})())js";

constexpr const char* kView =
    "document.documentElement.dataset.view + ':' + "
    "document.querySelector('#view-choice [aria-pressed=true]').dataset.value";

TEST(WebBrowser, PressureFallLeadsTargetsAreLargeAndTheViewsAreKept) {
  const std::string chromium = findChromium();
  if (chromium.empty())
    GTEST_SKIP() << "chromium is not installed (Debian package chromium): the page is not "
                    "tried in a browser";
  DemoService service(sim::demoScenario(SystemClock().utcNow()));
  // The demo's own NAVTEX warnings alert only where one was received in the last two hours,
  // which depends on the hour; a gale warning received now alerts at any hour.
  service.receiver.receiver.addRecord(protocol::kGroupNavtex,
                                      navtexNow("EB98", "GALE WARNING FROM THE TEST"));
  const std::string url = service.start();
  ASSERT_FALSE(url.empty()) << service.watch.output;
  const std::string page = url.substr(0, url.find('?'));

  for (const Size& size : {kPhone, kScreen}) {
    const std::string name = size.name();
    const auto browser = openPage(chromium, service, url, size);
    ASSERT_NE(browser, nullptr);

    // The demo's pressure fall came before its NAVTEX warnings; while unseen it still leads,
    // whole and on the first screen. The wait allows for a service under a sanitizer on a
    // busy machine; it ends as soon as both are there.
    ASSERT_TRUE(browser->waitUntil(
        "document.querySelectorAll('#alarm-list li').length >= 2 && "
        "[...document.querySelectorAll('#alarm-list .kind')].some(k => k.textContent === "
        "'NAVTEX')",
        30s))
        << name;
    const json alarm = browser->evaluate(kFirstAlarm);
    ASSERT_TRUE(alarm.is_object()) << name;
    EXPECT_EQ(alarm["kinds"][0], "Luftdruck") << name << " " << alarm.dump();
    EXPECT_TRUE(alarm["text"].get<std::string>().starts_with("Luftdruck fällt")) << name;
    EXPECT_EQ(alarm["lead"], true) << name;
    EXPECT_EQ(alarm["inSight"], true) << name << ": the pressure fall needs scrolling";
    EXPECT_EQ(alarm["cut"], false) << name << ": an alarm is cut";
    if (!size.columns) {
      EXPECT_EQ(browser->evaluate(kSmallText), json::array()) << name << ": text under 16 px";
    }

    // Nothing chosen: the device's wish decides; a choice is kept and wins over it.
    EXPECT_EQ(browser->evaluate(kView), "day:day") << name;
    browser->call(
        "Emulation.setEmulatedMedia",
        {{"features", json::array({{{"name", "prefers-color-scheme"}, {"value", "dark"}}})}});
    EXPECT_TRUE(browser->waitUntil("document.documentElement.dataset.view === 'dark'", 5s)) << name;
    EXPECT_EQ(browser->evaluate(kView), "dark:dark") << name;
    service.save(*browser, name + "-dunkel");
    browser->evaluate("document.querySelector('#view-choice [data-value=night]').click()");
    EXPECT_EQ(browser->evaluate("localStorage.getItem('tern-view')"), "night") << name;
    ASSERT_TRUE(browser->navigate(page)) << name;
    ASSERT_TRUE(browser->waitUntil("document.body.dataset.loaded === 'true'", 20s)) << name;
    EXPECT_EQ(browser->evaluate(kView), "night:night") << name;
    browser->waitUntil(
        "[...document.querySelectorAll('#fax-list img')]"
        ".every(i => i.complete)",
        10s);
    const std::string night = service.save(*browser, name + "-nacht");
    std::cout << "Night view at " << name << ": " << night << "\n";
    const json red = browser->evaluate(kNotRed);
    EXPECT_EQ(red["bad"], json::array()) << name << ": not red at night";
    EXPECT_EQ(red["unfiltered"], 0) << name << ": a picture keeps its colours at night";

    const json targets = browser->evaluate(kSmallTargets);
    EXPECT_GT(targets["measured"].get<int>(), 20) << name;
    EXPECT_EQ(targets["small"], json::array()) << name << ": touch targets under 44 px";

    // When the newest bulletin is coded, it stays folded with its label, and the newest one in
    // words opens instead.
    browser->call("Page.addScriptToEvaluateOnNewDocument", {{"source", kCodedNewest}});
    ASSERT_TRUE(browser->navigate(page)) << name;
    ASSERT_TRUE(browser->waitUntil("document.body.dataset.loaded === 'true'", 20s)) << name;
    const json folds = browser->evaluate(kBulletinFolds);
    EXPECT_EQ(folds["firstIsCoded"], true) << name << " " << texts(folds);
    EXPECT_EQ(folds["codedOpen"], 0) << name;
    EXPECT_GT(folds["labelled"].get<int>(), 0) << name;
    EXPECT_EQ(folds["openIsFirstInWords"], true) << name;
  }
}

}  // namespace
}  // namespace tern::testing
