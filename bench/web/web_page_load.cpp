// The served page's load time on the demo data: tern-cli watch --simulate serves the page,
// headless chromium loads it again and again with its cache off (each time after the last
// load's connections have closed), and the page itself says when it showed its data (the
// "tern-data-shown" mark). Prints the figures; asserts nothing.
//   web_page_load [LOADS]
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <regex>
#include <thread>
#include <vector>

#include "served_page.h"
#include "web/headless_browser.h"

namespace {

double median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values.empty() ? 0 : values[values.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
  using tern::testing::HeadlessBrowser;
  const int loads = argc > 1 ? std::max(1, std::atoi(argv[1])) : 10;
  const std::string chromium = tern::testing::findChromium();
  if (chromium.empty()) {
    std::cerr << "chromium is not installed (Debian package chromium)\n";
    return 1;
  }
  int status = 0;
  {
    const tern::bench::ServedPage page("tern_web_load", "Neue Wetterkarten gespeichert");
    if (!page.ok()) {
      status = 1;
    } else {
      const std::string& url = page.url();
      HeadlessBrowser browser(chromium, page.folder("profile").string(), 1920, 1080);
      browser.call("Network.enable");
      browser.call("Network.setCacheDisabled", {{"cacheDisabled", true}});
      std::vector<double> shown, loaded, kilobytes;
      for (int i = 0; i < loads && browser.ok(); ++i) {
        // Each load as a reader's first: the connections of the one before have timed out.
        browser.navigate("about:blank");
        std::this_thread::sleep_for(std::chrono::milliseconds(2500));
        if (!browser.navigate(url) ||
            !browser.waitUntil("performance.getEntriesByName('tern-data-shown').length > 0 && "
                               "[...document.images].every(i => i.complete)",
                               std::chrono::seconds(30))) {
          std::cerr << "load " << i + 1 << " did not finish\n";
          status = 1;
          break;
        }
        const auto figures = browser.evaluate(
            "(() => { const n = performance.getEntriesByType('navigation')[0];"
            "  const all = [n, ...performance.getEntriesByType('resource')];"
            "  const last = Math.max(...all.map(e => e.responseEnd));"
            "  return [performance.getEntriesByName('tern-data-shown')[0].startTime, last,"
            "          all.reduce((s, e) => s + e.encodedBodySize, 0) / 1024]; })()");
        shown.push_back(figures[0]);
        loaded.push_back(figures[1]);
        kilobytes.push_back(figures[2]);
      }
      if (!shown.empty()) {
        std::printf("web page on the demo data, %zu loads, cache off, 1920x1080:\n", shown.size());
        std::printf("  data shown after      %7.0f ms (median)\n", median(shown));
        std::printf("  every request done    %7.0f ms (median; fax charts and wind map included)\n",
                    median(loaded));
        std::printf("  bytes of all requests %7.0f KiB\n", median(kilobytes));
      }
    }
  }
  return status;
}
