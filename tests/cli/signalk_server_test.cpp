// tern-cli watch against a real Signal K server (signalk-server from the npm registry, which
// the test has scripts/install-signalk.sh put into the user's cache folder the first time):
// one UDP NMEA 0183 input for MDA/XDR/NRX and one UDP Signal K input for the deltas, then the
// server's REST API read back. Skipped, and says why, where Node.js 20 is missing or the
// server cannot be installed (no npm registry).
#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <nlohmann/json.hpp>
#include <thread>

#include "cli/child_process.h"
#include "fakes/scratch_folder.h"

namespace {

using nlohmann::json;
using tern::testing::Child;

std::string commandOutput(const std::string& command, const char* errors = " 2>/dev/null") {
  std::string out;
  if (FILE* pipe = ::popen((command + errors).c_str(), "r")) {
    char buf[256];
    while (std::fgets(buf, sizeof buf, pipe)) out += buf;
    ::pclose(pipe);
  }
  while (!out.empty() && (out.back() == '\n' || out.back() == '\r')) out.pop_back();
  return out;
}

std::filesystem::path serverScript() {
  if (const char* own = std::getenv("TERN_SIGNALK_SERVER")) return own;
  const char* cache = std::getenv("XDG_CACHE_HOME");
  const std::filesystem::path base =
      cache ? std::filesystem::path(cache) : std::filesystem::path(std::getenv("HOME")) / ".cache";
  return base / "tern/signalk-server/node_modules/signalk-server/bin/signalk-server";
}

// A socket bound to a free loopback port; the port, and the socket itself for TCP.
struct FreePort {
  int fd = -1;
  int port = 0;
  explicit FreePort(int type) : fd(::socket(AF_INET, type, 0)) {
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t len = sizeof a;
    if (::bind(fd, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0 &&
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&a), &len) == 0)
      port = ntohs(a.sin_port);
  }
  ~FreePort() { close(); }
  void close() {
    if (fd >= 0) ::close(fd);
    fd = -1;
  }
};

// GET on the loopback; the body, or nothing when the server did not answer with 200.
std::optional<std::string> httpGet(int port, const std::string& path) {
  const int s = ::socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in a{};
  a.sin_family = AF_INET;
  a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  a.sin_port = htons(static_cast<std::uint16_t>(port));
  timeval timeout{5, 0};
  ::setsockopt(s, SOL_SOCKET, SO_RCVTIMEO, &timeout, sizeof timeout);
  std::string reply;
  if (::connect(s, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0) {
    const std::string request = "GET " + path + " HTTP/1.0\r\nHost: localhost\r\n\r\n";
    if (::send(s, request.data(), request.size(), MSG_NOSIGNAL) ==
        static_cast<ssize_t>(request.size())) {
      char buf[4096];
      for (ssize_t n; (n = ::recv(s, buf, sizeof buf, 0)) > 0;) reply.append(buf, n);
    }
  }
  ::close(s);
  const auto body = reply.find("\r\n\r\n");
  if (reply.rfind("HTTP/1.1 200", 0) != 0 || body == std::string::npos) return std::nullopt;
  return reply.substr(body + 4);
}

json provider(const std::string& id, const char* type, int port) {
  return {{"id", id},
          {"enabled", true},
          {"pipeElements",
           {{{"type", "providers/simple"},
             {"options",
              {{"logging", false},
               {"type", type},
               {"subOptions", {{"type", "udp"}, {"port", port}}}}}}}}};
}

TEST(SignalKServer, TakesThePressureAndTheAlertsOfTheService) {
  const std::string node = commandOutput("node --version");  // "v20.11.1"
  const int major = node.size() > 1 ? std::atoi(node.c_str() + 1) : 0;
  if (major < 20) {
    GTEST_SKIP() << "Signal K test skipped: signalk-server needs Node.js 20 or newer, found "
                 << (node.empty() ? "none" : node) << " (Debian 12 has 18).";
  }
  const auto script = serverScript();
  if (!std::filesystem::exists(script)) {
    // Once per user: a few minutes; quick and silent when the registry cannot be reached.
    const std::string said = commandOutput(TERN_SIGNALK_INSTALL, " 2>&1");
    if (!std::filesystem::exists(script)) {
      GTEST_SKIP() << "Signal K test skipped: " << script << " could not be installed: " << said;
    }
  }

  tern::testing::ScratchFolder dir{"tern_signalk"};
  FreePort http(SOCK_STREAM), nmea(SOCK_DGRAM), deltas(SOCK_DGRAM);
  ASSERT_TRUE(http.port && nmea.port && deltas.port);
  ASSERT_EQ(::listen(http.fd, 16), 0);
  nmea.close();  // the server binds them itself
  deltas.close();
  // Nothing but the two inputs and the REST API: no TCP servers of its own, no discovery.
  const json settings = {
      {"interfaces",
       {{"nmea-tcp", false},
        {"tcp", false},
        {"appstore", false},
        {"plugins", false},
        {"webapps", false},
        {"mfd_webapp", false},
        {"playground", false},
        {"logfiles", false},
        {"wasm", false}}},
      {"mdns", false},
      {"ssl", false},
      {"pipedProviders",
       {provider("tern-nmea", "NMEA0183", nmea.port), provider("tern", "SignalK", deltas.port)}}};
  std::ofstream(dir / "settings.json") << settings.dump(2);
  // The listening socket is handed over as systemd's socket activation would.
  Child server({commandOutput("command -v node"), script.string(), "-c", dir.string()},
               {"LISTEN_FDS=1", "HOME=" + dir.string()}, http.fd);
  // The server has its own copy now. Ours, kept open, would take the connections of a
  // server that died at its start, and every check below would wait out its time-out.
  http.close();
  const std::string api = "/signalk/v1/api/vessels/self/";
  bool up = false;
  for (int i = 0; i < 240 && !up; ++i) {
    up = httpGet(http.port, "/signalk").has_value();
    if (!up) std::this_thread::sleep_for(std::chrono::milliseconds(500));
  }
  ASSERT_TRUE(up) << "the Signal K server did not start within two minutes";

  Child watch({std::string(TERN_BIN_DIR) + "/tern-cli", "watch", "--simulate", "--data-folder",
               (dir / "data").string(), "--nmea-udp", "127.0.0.1:" + std::to_string(nmea.port),
               "--signalk", "127.0.0.1:" + std::to_string(deltas.port)});
  ASSERT_TRUE(watch.waitFor("Neue NAVTEX-Meldungen gespeichert", 60)) << watch.output;
  // Ended here, so its whole log is known before the server is asked.
  watch.signal(SIGTERM);
  ASSERT_EQ(watch.wait(30), 0) << watch.output;
  // "Barometer gelesen: 1013.2 hPa am Empfänger": no barometer height set, so this is also
  // the sea-level pressure sent.
  const auto at = watch.output.find("Barometer gelesen: ");
  ASSERT_NE(at, std::string::npos);
  const double logged = std::atof(watch.output.c_str() + at + 19);

  // Both inputs give the pressure: MDA through the NMEA connection, the delta through the
  // Signal K one.
  json pressure;
  for (int i = 0; i < 40; ++i) {
    if (auto body = httpGet(http.port, api + "environment/outside/pressure")) {
      pressure = json::parse(*body);
      if (pressure["values"].contains("tern-nmea.WI") && pressure["values"].contains("tern.XX"))
        break;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
  }
  std::cout << "GET " << api << "environment/outside/pressure\n" << pressure.dump() << "\n";
  ASSERT_TRUE(pressure["values"].contains("tern-nmea.WI")) << pressure;
  ASSERT_TRUE(pressure["values"].contains("tern.XX")) << pressure;
  for (const auto& [source, v] : pressure["values"].items()) {
    EXPECT_NEAR(v["value"].get<double>() / 100.0, logged, 0.5) << source;
  }
  EXPECT_EQ(pressure["values"]["tern-nmea.WI"]["sentence"], "MDA");

  // The alerts of the log, as notifications.
  int navtexAlerts = 0;
  for (auto a = watch.output.find("ALARM: NAVTEX"); a != std::string::npos;
       a = watch.output.find("ALARM: NAVTEX", a + 1))
    ++navtexAlerts;
  json notifications, navtex;
  for (int i = 0; i < 40; ++i) {
    if (auto body = httpGet(http.port, api + "notifications")) {
      notifications = json::parse(*body);
      navtex = notifications.value("navtex", json::object());
      if (static_cast<int>(navtex.size()) >= navtexAlerts) break;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
  }
  std::cout << "GET " << api << "notifications\n" << notifications.dump() << "\n";
  EXPECT_EQ(static_cast<int>(navtex.size()), navtexAlerts);
  // Said by subject: a distress or navigational warning sounds as an alarm.
  for (const auto& [id, n] : navtex.items()) {
    const char subject = id.size() > 1 ? id[1] : ' ';
    const char* state = subject == 'D' || subject == 'A' ? "alarm"
                        : subject == 'B'                 ? "warn"
                                                         : "alert";
    EXPECT_EQ(n["value"]["state"], state) << id;
    EXPECT_EQ(n["value"]["message"].get<std::string>().rfind("NAVTEX ", 0), 0u) << n;
  }
  const bool gale = watch.output.find("ALARM: Luftdruck fällt stark") != std::string::npos;
  const bool strong = watch.output.find("ALARM: Luftdruck fällt:") != std::string::npos;
  if (gale || strong) {
    const json& p = notifications["environment"]["outside"]["pressure"]["value"];
    EXPECT_EQ(p["state"], gale ? "alarm" : "warn");
    EXPECT_EQ(p["method"], json({"visual", "sound"}));
    EXPECT_EQ(p["message"].get<std::string>().rfind("Luftdruck fällt", 0), 0u);
  }
  EXPECT_GT(navtexAlerts + gale + strong, 0) << "the demo brought no alert";
  server.signal(SIGTERM);
}

}  // namespace
