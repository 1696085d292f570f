// The service's answers over kept connections beside fresh ones: tern-cli watch --simulate
// serves the page, and /api/alerts is asked REQUESTS times on one kept (keep-alive)
// connection, REQUESTS times on a fresh connection each, alternately in one run, then by 8
// keep-alive clients at once for a few seconds. A kept connection saves the handshake, so
// its median should be below the fresh one's; a stall between an answer's head and body
// (Nagle's rule against the client's delayed acknowledgement) would put it near 40 ms.
// Prints the figures; asserts nothing.
//   web_keepalive [REQUESTS]
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <regex>
#include <thread>
#include <vector>

#include "served_page.h"
#include "web/raw_http.h"

namespace {

using Clock = std::chrono::steady_clock;
using tern::testing::RawConnection;
using tern::testing::wholeAnswers;

constexpr const char* kKept = "GET /api/alerts HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n";
constexpr const char* kFresh =
    "GET /api/alerts HTTP/1.1\r\nHost: 127.0.0.1\r\nConnection: close\r\n\r\n";

double percentile(std::vector<double> values, double p) {
  if (values.empty()) return 0;
  std::sort(values.begin(), values.end());
  return values[static_cast<std::size_t>(p * static_cast<double>(values.size() - 1))];
}

double msSince(Clock::time_point t) {
  return std::chrono::duration<double, std::milli>(Clock::now() - t).count();
}

// One request on the kept connection `c`; its time in ms, or -1.
double ask(RawConnection& c) {
  c.clear();
  const auto t = Clock::now();
  if (!c.send(kKept)) return -1;
  const std::string got =
      c.receiveUntil(5000, [](const std::string& bytes) { return wholeAnswers(bytes) >= 1; });
  return wholeAnswers(got) >= 1 ? msSince(t) : -1;
}

double askFresh(int port) {
  const auto t = Clock::now();
  RawConnection c(port);
  if (!c.connected() || !c.send(kFresh)) return -1;
  const std::string got =
      c.receiveUntil(5000, [](const std::string& bytes) { return wholeAnswers(bytes) >= 1; });
  return wholeAnswers(got) >= 1 ? msSince(t) : -1;
}

void report(const char* what, const std::vector<double>& ms) {
  std::printf("  %-28s median %7.3f ms   p90 %7.3f ms   max %7.3f ms   (%zu requests)\n", what,
              percentile(ms, 0.5), percentile(ms, 0.9), percentile(ms, 1.0), ms.size());
}

}  // namespace

int main(int argc, char** argv) {
  const int requests = argc > 1 ? std::max(10, std::atoi(argv[1])) : 1000;
  int status = 0;
  {
    const tern::bench::ServedPage page("tern_web_keepalive", "Neue NAVTEX-Meldungen gespeichert");
    if (!page.ok()) {
      status = 1;
    } else {
      const int port = page.port();
      std::vector<double> kept, fresh;
      RawConnection connection(port);
      for (int i = 0; i < requests && status == 0; ++i) {
        const double k = ask(connection);
        const double f = askFresh(port);
        if (k < 0 || f < 0) {
          std::cerr << "request " << i + 1 << " was not answered\n";
          status = 1;
        }
        kept.push_back(k);
        fresh.push_back(f);
      }
      constexpr int kClients = 8;
      constexpr auto kLoad = std::chrono::seconds(3);
      std::atomic<long> answered{0}, failed{0};
      std::vector<std::vector<double>> times(kClients);
      {
        std::vector<std::jthread> clients;
        const auto end = Clock::now() + kLoad;
        for (int c = 0; c < kClients; ++c)
          clients.emplace_back([&, c] {
            RawConnection mine(port);
            while (Clock::now() < end) {
              const double t = ask(mine);
              if (t < 0) {
                ++failed;
                return;
              }
              times[c].push_back(t);
              ++answered;
            }
          });
      }
      std::vector<double> loaded;
      for (const auto& t : times) loaded.insert(loaded.end(), t.begin(), t.end());
      std::printf("/api/alerts of tern-cli watch --simulate, in one run:\n");
      report("one kept connection", kept);
      report("a fresh connection each", fresh);
      std::printf("  kept median / fresh median   %.2f\n",
                  percentile(kept, 0.5) / percentile(fresh, 0.5));
      report("8 kept clients at once", loaded);
      std::printf("  8 kept clients               %.0f requests/s, %ld failed\n",
                  static_cast<double>(answered) / std::chrono::duration<double>(kLoad).count(),
                  failed.load());
      status = status != 0 || failed > 0;
    }
  }
  return status;
}
