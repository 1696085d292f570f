// tern-cli watch as the service manager runs it: started, left to read out, ended by SIGTERM.
#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <nlohmann/json.hpp>
#include <set>
#include <sstream>
#include <thread>

#include "cli/child_process.h"
#include "common/sha256.h"
#include "config/tree_control.h"
#include "fakes/nrx_reader.h"
#include "fakes/recording_sink.h"
#include "fakes/scratch_folder.h"
#include "fakes/udp_listener.h"
#include "messages/channels.h"
#include "messages/navtex_filter.h"
#include "web/raw_http.h"

namespace {

using tern::testing::Child;

std::string runCapturingAll(const std::string& arguments) {
  std::string command = std::string(TERN_BIN_DIR) + "/tern-cli " + arguments + " 2>&1";
  FILE* pipe = ::popen(command.c_str(), "r");
  std::string out;
  char buffer[4096];
  std::size_t n;
  while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) out.append(buffer, n);
  ::pclose(pipe);
  return out;
}

// A plotter's reader: a socket with the kernel's default receive buffer, read between
// other work (here: a millisecond per datagram).
class PlotterReader {
 public:
  PlotterReader()
      : thread_([this] {
          while (!stop_) {
            auto d = rx_.receive(100);
            if (!d) continue;
            ::usleep(1000);
            std::lock_guard lock(mutex_);
            got_.push_back(*d);
          }
        }) {}
  ~PlotterReader() {
    stop_ = true;
    thread_.join();
  }
  std::string target() const { return rx_.target(); }
  std::size_t count() {
    std::lock_guard lock(mutex_);
    return got_.size();
  }
  // Waits until nothing came for `quietMs` after the first datagram; all that came.
  std::vector<std::string> settled(int quietMs, int limitS) {
    std::size_t seen = 0;
    for (int waited = 0; waited < limitS * 1000; waited += quietMs) {
      ::usleep(static_cast<useconds_t>(quietMs) * 1000);
      const std::size_t now = count();
      if (now > 0 && now == seen) break;
      seen = now;
    }
    std::lock_guard lock(mutex_);
    return got_;
  }

 private:
  tern::testing::UdpListener rx_;
  std::mutex mutex_;
  std::vector<std::string> got_;
  std::atomic<bool> stop_{false};
  std::thread thread_;
};

TEST(CliWatch, ReadsOutUntilSigtermAndLeavesEveryDataFileWhole) {
  tern::testing::ScratchFolder dir{"tern_watch"};
  // A local listener for the NRX sentences.
  PlotterReader rx;
  // The filter as the window's configuration dialog saves it: Pinneberg's 518 kHz station S
  // hidden.
  tern::NavtexFilter filter;
  filter.choose(tern::kNavtex518, tern::NavtexFilter::kStationsShown, 'S', false);
  ASSERT_TRUE(tern::SaveNavtexFilter(dir.slash(), filter));

  const std::string alertFile = (dir / "alerts.txt").string();
  Child watch({std::string(TERN_BIN_DIR) + "/tern-cli", "watch", "--simulate", "--data-folder",
               dir.string(), "--nmea-udp", rx.target(), "--on-alert",
               "printf '%s\\n' >>" + alertFile});
  ASSERT_TRUE(watch.waitFor("Neue NAVTEX-Meldungen gespeichert", 30)) << watch.output;
  EXPECT_NE(watch.output.find("Empfänger verbunden"), std::string::npos);
  // The first read-out's whole backlog, hundreds of sentences, paced out.
  const std::vector<std::string> datagrams = rx.settled(1500, 60);
  watch.signal(SIGTERM);
  ASSERT_EQ(watch.wait(30), 0) << watch.output;
  EXPECT_NE(watch.output.find("Alle Datendateien geschrieben, beendet"), std::string::npos);
  // Every line carries its UTC time stamp.
  std::size_t from = 0;
  for (auto nl = watch.output.find('\n'); nl != std::string::npos;
       from = nl + 1, nl = watch.output.find('\n', from)) {
    const std::string line = watch.output.substr(from, nl - from);
    ASSERT_GE(line.size(), 21u) << line;
    EXPECT_EQ(line[10], 'T') << line;
    EXPECT_EQ(line.substr(19, 2), "Z ") << line;
  }

  // Every alert of the log went to the alert command (which runs on its own).
  std::string expected;
  for (auto at = watch.output.find("ALARM: "); at != std::string::npos;
       at = watch.output.find("ALARM: ", at + 1)) {
    const auto end = watch.output.find('\n', at);
    expected += watch.output.substr(at + 7, end - at - 7) + "\n";
  }
  std::string got;
  for (int i = 0; i < 40 && got.size() < expected.size(); ++i) {
    ::usleep(50000);
    std::ifstream in(alertFile);
    got.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }
  std::multiset<std::string> expectedLines, gotLines;
  std::istringstream e(expected), g(got);
  for (std::string line; std::getline(e, line);) expectedLines.insert(line);
  for (std::string line; std::getline(g, line);) gotLines.insert(line);
  EXPECT_EQ(gotLines, expectedLines);

  // The files load without a complaint and hold what the simulated receiver sent.
  for (const auto& entry : std::filesystem::directory_iterator(dir.path())) {
    EXPECT_EQ(entry.path().string().find(".tmp"), std::string::npos) << entry.path();
  }
  const std::string dump = runCapturingAll("dump --data-folder " + dir.string());
  ASSERT_EQ(dump.rfind("{", 0), 0u) << dump.substr(0, 300);
  auto json = nlohmann::json::parse(dump);
  EXPECT_FALSE(json["navtex_518"].empty());
  EXPECT_FALSE(json["tables"][0]["records"].empty());
  EXPECT_GT(json["barometer"]["count"].get<int>(), 0);

  // Hidden: neither alerted nor sent, but logged as such and kept in the data file.
  EXPECT_NE(watch.output.find(" 518 kHz (ausgeblendet)"), std::string::npos);
  EXPECT_EQ(watch.output.find(") von S\n"), std::string::npos);
  int hiddenStored = 0;
  for (const auto& r : json["navtex_518"]) hiddenStored += r["key"].get<std::string>()[0] == 'S';
  EXPECT_GT(hiddenStored, 0);

  // Every NRX sentence as a 13-field reader takes it; every message equal to its record.
  tern::testing::NrxReader reader;
  int messages = 0;
  for (const std::string& datagram : datagrams) {
    if (datagram.rfind("$CRNRX", 0) != 0) continue;
    auto m = reader.feed(datagram);
    if (!m) continue;
    ++messages;
    EXPECT_FALSE(m->frequencyIndex == "2" && m->code[0] == 'S') << m->code;
    const auto& list = json[m->frequencyIndex == "1" ? "navtex_490" : "navtex_518"];
    const auto record =
        std::find_if(list.begin(), list.end(), [&](const auto& r) { return r["key"] == m->code; });
    ASSERT_NE(record, list.end()) << m->code;
    EXPECT_EQ(std::to_string((*record)["length"].get<int>()), m->total);
    EXPECT_EQ(tern::sha256Hex(tern::Bytes(m->text.begin(), m->text.end())),
              (*record)["sha256"].get<std::string>());
  }
  EXPECT_TRUE(reader.errors.empty()) << reader.errors.front();
  // Every message the filter shows reached the plotter whole.
  int shown = 0;
  for (const char* list : {"navtex_518", "navtex_490"}) {
    for (const auto& r : json[list]) {
      shown += !(std::string(list) == "navtex_518" && r["key"].get<std::string>()[0] == 'S');
    }
  }
  EXPECT_GT(messages, 50);
  EXPECT_EQ(messages, shown);
}

// A plotter whose name cannot be resolved yet does not end the service; a closed ssh
// terminal (SIGHUP) ends it as SIGTERM does, its files written.
TEST(CliWatch, AnUnknownPlotterIsToldAndSighupEndsItLikeSigterm) {
  tern::testing::ScratchFolder dir{"tern_watch_hup"};
  Child watch({std::string(TERN_BIN_DIR) + "/tern-cli", "watch", "--simulate", "--data-folder",
               dir.string(), "--nmea-udp", "no-such-host.invalid:10110"});
  ASSERT_TRUE(watch.waitFor("Neue NAVTEX-Meldungen gespeichert", 30)) << watch.output;
  EXPECT_NE(watch.output.find("Fehler: Der Rechner no-such-host.invalid ist nicht zu finden"),
            std::string::npos)
      << watch.output;
  watch.signal(SIGHUP);
  ASSERT_EQ(watch.wait(30), 0) << watch.output;
  EXPECT_NE(watch.output.find("Signal SIGHUP empfangen, beende"), std::string::npos);
  EXPECT_NE(watch.output.find("Alle Datendateien geschrieben, beendet"), std::string::npos)
      << watch.output;
  EXPECT_TRUE(std::filesystem::exists(dir / "navtex_518_data.bin"));
}

TEST(CliWatch, WithTheAutomaticExportOnWritesTheMirrorAndTheSynopWaypoints) {
  tern::testing::ScratchFolder dir{"tern_watch_export"};
  const auto exportFolder = dir / "export";
  std::filesystem::create_directories(exportFolder);
  {
    // The settings as the configuration dialog saves them.
    tern::testing::RecordingSink sink;
    tern::TTreeControl settings(sink, dir.slash() + "data/");
    std::filesystem::create_directories(dir / "data");
    settings.AddSchedules(std::string(TERN_BIN_DIR) + "/");
    settings.LoadSettings();
    ASSERT_TRUE(settings.SetExportPath(exportFolder.string()));
    settings.SetExportOn(true);
    ASSERT_TRUE(settings.Save());
  }
  Child watch({std::string(TERN_BIN_DIR) + "/tern-cli", "watch", "--simulate", "--data-folder",
               (dir / "data").string()});
  ASSERT_TRUE(watch.waitFor("Export geschrieben nach", 60)) << watch.output;
  watch.signal(SIGINT);
  ASSERT_EQ(watch.wait(30), 0) << watch.output;
  for (const char* sub : {"DWD_DEUTSCH", "INTERNAT", "FAX"}) {
    EXPECT_FALSE(std::filesystem::is_empty(exportFolder / sub)) << sub;
  }
  const auto gpx = exportFolder / "SYNOP" / "synop.gpx";
  ASSERT_TRUE(std::filesystem::exists(gpx));
  const std::string check = "xmllint --noout --schema " + std::string(TERN_TEST_DATA_DIR) +
                            "/gpx/gpx11_subset.xsd " + gpx.string() + " 2>/dev/null";
  EXPECT_EQ(std::system(check.c_str()), 0);
}

TEST(CliWatch, SaysWhichFilesAreDamagedOrUnusable) {
  tern::testing::ScratchFolder dir{"tern_watch_damaged"};
  std::ofstream(dir / "TERN_CONFIG.CFG") << "garbage";
  std::ofstream(dir / "dwd_d_data.bin") << "cut short";
  Child watch({std::string(TERN_BIN_DIR) + "/tern-cli", "watch", "--simulate", "--data-folder",
               dir.string()});
  ASSERT_TRUE(watch.waitFor("Neue DWD-Meldungen gespeichert", 30)) << watch.output;
  watch.signal(SIGTERM);
  ASSERT_EQ(watch.wait(30), 0) << watch.output;
  for (const std::string& text :
       {"Beschädigt: Inhalt beschädigt: " + (dir / "dwd_d_data.bin").string(),
        "Die Einstellungsdatei " + dir.slash() + "TERN_CONFIG.CFG ist unbrauchbar",
        std::string("Die gespeicherten DWD-Daten waren beschädigt")})
    EXPECT_NE(watch.output.find(text), std::string::npos) << text << "\n" << watch.output;
}

TEST(CliWatch, RefusesABadUdpTarget) {
  const std::string out = runCapturingAll(
      "watch --simulate --data-folder /tmp --nmea-udp localhost 2>&1; echo status=$?");
  EXPECT_NE(out.find("HOST:PORT"), std::string::npos) << out;
  EXPECT_NE(out.find("status=2"), std::string::npos) << out;
}

TEST(CliWatch, ServesTheWebPageAndSaysWhenItCannot) {
  tern::testing::ScratchFolder dir{"tern_watch_http"};
  // A port another program listens on.
  const int holder = ::socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t length = sizeof address;
  ASSERT_EQ(::bind(holder, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
  ASSERT_EQ(::listen(holder, 1), 0);
  ASSERT_EQ(::getsockname(holder, reinterpret_cast<sockaddr*>(&address), &length), 0);
  const std::string held = "127.0.0.1:" + std::to_string(ntohs(address.sin_port));
  const struct {
    std::string http, said, status;
  } refusals[] = {
      {"nonsense", "--http: Die Adresse \"nonsense\" ist nicht als [ADRESSE:]PORT zu lesen",
       "status=2"},
      {held, "Die Web-Seite kann nicht auf " + held + " angeboten werden", "status=1"},
  };
  for (const auto& r : refusals) {
    const std::string out = runCapturingAll("watch --simulate --data-folder " + dir.string() +
                                            " --http " + r.http + " 2>&1; echo status=$?");
    EXPECT_NE(out.find(r.said), std::string::npos) << out;
    EXPECT_NE(out.find(r.status), std::string::npos) << out;
  }
  ::close(holder);

  Child watch({std::string(TERN_BIN_DIR) + "/tern-cli", "watch", "--simulate", "--data-folder",
               dir.string(), "--http", "0"});
  ASSERT_TRUE(watch.waitFor("Neue NAVTEX-Meldungen gespeichert", 30)) << watch.output;
  const std::string prefix = "Web-Seite: http://127.0.0.1:";
  const auto at = watch.output.find(prefix);
  ASSERT_NE(at, std::string::npos) << watch.output;
  const int port = std::stoi(watch.output.substr(at + prefix.size()));
  const std::string navtex = tern::testing::httpExchange(
      port, "GET /api/navtex HTTP/1.1\r\nHost: localhost\r\nConnection: close\r\n\r\n");
  EXPECT_EQ(tern::testing::statusOf(navtex), 200);
  EXPECT_NE(navtex.find("\"messages\":[{"), std::string::npos);
  EXPECT_EQ(tern::testing::statusOf(tern::testing::httpExchange(
                port, "POST /api/navtex HTTP/1.1\r\nHost: localhost\r\n\r\n")),
            405);
  EXPECT_TRUE(watch.waitFor("Web-Seite: abgelehnt 405 POST /api/navtex von 127.0.0.1:", 5))
      << watch.output;
  watch.signal(SIGTERM);
  EXPECT_EQ(watch.wait(30), 0) << watch.output;
}

}  // namespace
