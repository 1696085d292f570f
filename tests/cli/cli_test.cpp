// tern-cli as a script would use it: exit status, stdout, the data files it leaves.
#include <gtest/gtest.h>
#include <pty.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <future>
#include <map>
#include <nlohmann/json.hpp>
#include <set>
#include <sstream>
#include <thread>

#include "cli/cli_run.h"
#include "common/folder_lock.h"
#include "common/sha256.h"
#include "common/version.h"
#include "fakes/pseudo_terminal.h"
#include "fakes/scratch_folder.h"
#include "geo/graticule_chart.h"
#include "link/protocol.h"
#include "sim/pty_receiver.h"
#include "sim/sim_stream_server.h"
#include "update/test_images.h"

namespace {

using tern::testing::CliRun;
using tern::testing::run;

class Cli : public ::testing::Test {
 protected:
  tern::testing::ScratchFolder dir_{"tern_cli"};
};

TEST_F(Cli, ReadoutFromTheSimulatedReceiverThenDump) {
  CliRun readout = run("readout --simulate --data-folder " + dir_.string());
  ASSERT_EQ(readout.status, 0) << readout.out;
  EXPECT_NE(readout.out.find("Status: Lade DWD Daten ..."), std::string::npos);
  for (const char* name :
       {"dwd_d_data.bin", "navtex_518_data.bin", "fax_dwd_data.bin", "baro_data.bin"}) {
    EXPECT_TRUE(std::filesystem::exists(dir_ / name)) << name;
  }

  CliRun dump = run("dump --data-folder " + dir_.string());
  ASSERT_EQ(dump.status, 0);
  auto json = nlohmann::json::parse(dump.out);
  ASSERT_EQ(json["tables"].size(), 7u);
  EXPECT_EQ(json["tables"][0]["name"], "RTTY DWD DEUTSCH");
  EXPECT_FALSE(json["tables"][0]["records"].empty());
  const auto& first = json["tables"][0]["records"][0];
  for (const char* key : {"row", "slot", "code", "transmitter", "length", "key", "received",
                          "flag_byte", "new", "sha256"}) {
    EXPECT_TRUE(first.contains(key)) << key;
  }
  EXPECT_EQ(first["sha256"].get<std::string>().size(), 64u);
  EXPECT_GT(json["barometer"]["count"].get<int>(), 0);
  EXPECT_EQ(json["barometer"]["samples"].size(), json["barometer"]["count"].get<std::size_t>());
  // Laid out to the byte as the indented dump of the same document, which scripts compare.
  EXPECT_EQ(nlohmann::ordered_json::parse(dump.out).dump(2) + "\n", dump.out);

  // Output that cannot be written is a failure, not a silent success.
  const std::string errors = (dir_ / "errors.txt").string();
  const int raw = std::system((std::string(TERN_BIN_DIR) + "/tern-cli dump --data-folder " +
                               dir_.string() + " >/dev/full 2>" + errors)
                                  .c_str());
  EXPECT_EQ(WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, 1);
  std::ifstream text(errors);
  EXPECT_EQ(
      std::string(std::istreambuf_iterator<char>(text), {}),
      "tern-cli: Die Ausgabe kann nicht geschrieben werden: Kein Platz mehr auf dem Datenträger\n");
}

TEST_F(Cli, SynopDecodesTheStoredBulletinsOfADataFolder) {
  ASSERT_EQ(run("readout --simulate --data-folder " + dir_.string()).status, 0);
  CliRun synop = run("synop --data-folder " + dir_.string());
  ASSERT_EQ(synop.status, 0);
  auto reports = nlohmann::json::parse(synop.out);
  ASSERT_TRUE(reports.is_array());
  int ships = 0, coastal = 0;
  for (const auto& r : reports) {
    ships += r["kind"] == 1;
    coastal += r["kind"] == 2;
    EXPECT_FALSE(r["lines"].empty());
  }
  EXPECT_GT(ships, 0);
  EXPECT_GT(coastal, 0);
  EXPECT_EQ(run("synop --data-folder " + (dir_ / "missing").string()).status, 2);

  // The schedule files that key the rows may live elsewhere, as for readout and dump.
  CliRun withProgram = run("synop --data-folder " + dir_.string() + " --program-folder " +
                           std::string(TERN_BIN_DIR));
  ASSERT_EQ(withProgram.status, 0);
  EXPECT_EQ(withProgram.out, synop.out);
}

void writeFile(const std::filesystem::path& path, const std::string& text) {
  std::FILE* f = std::fopen(path.c_str(), "wb");
  ASSERT_NE(f, nullptr);
  std::fwrite(text.data(), 1, text.size(), f);
  std::fclose(f);
}

TEST_F(Cli, SeewetterReadsTheNewestBulletinsOfADataFolder) {
  ASSERT_EQ(run("readout --simulate --data-folder " + dir_.string()).status, 0);
  CliRun r = run("seewetter --json --data-folder " + dir_.string());
  ASSERT_EQ(r.status, 0);
  const auto json = nlohmann::json::parse(r.out);
  std::set<std::string> headings;
  for (const auto& b : json["bulletins"]) {
    headings.insert(b["heading"].get<std::string>());
    EXPECT_TRUE(b["fully_read"].get<bool>()) << b;
  }
  EXPECT_EQ(headings, (std::set<std::string>{"FQEN50", "WODL45"}));
  const std::set<std::string> points = {"N", "NNE", "NE", "ENE", "E", "ESE", "SE", "SSE",
                                        "S", "SSW", "SW", "WSW", "W", "WNW", "NW", "NNW"};
  ASSERT_FALSE(json["areas"].empty());
  for (const auto& a : json["areas"]) {
    EXPECT_TRUE(a["id"].is_string()) << a;
    EXPECT_TRUE(a["unread"].empty()) << a;
    for (const auto& d : a["directions"]) EXPECT_TRUE(points.count(d.get<std::string>())) << a;
  }
  CliRun lines = run("seewetter --data-folder " + dir_.string());
  ASSERT_EQ(lines.status, 0);
  EXPECT_NE(lines.out.find("\nDeutsche Bucht: "), std::string::npos) << lines.out;
}

TEST_F(Cli, SeewetterReadsABulletinFileAndMarksWhatItCannotRead) {
  // Mixed case in Latin-1, one area inline, one unknown.
  const std::string report =
      "Vorhersagen g\xFCltig bis 10.12. 12 UTC:\nWestliche Ostsee:\nS\xFC"
      "dwest bis West 6 bis "
      "7, sp\xE4ter 5, See 2,5 Meter, diesig. FIQCHER: West 7.\n";
  writeFile(dir_ / "report.txt", report);
  CliRun r = run("seewetter --json --file " + (dir_ / "report.txt").string());
  ASSERT_EQ(r.status, 0);
  const auto json = nlohmann::json::parse(r.out);
  ASSERT_EQ(json["areas"].size(), 2u);
  const auto& west = json["areas"][0];
  EXPECT_EQ(west["id"], "westliche-ostsee");
  EXPECT_EQ(west["name"], "Westliche Ostsee");
  EXPECT_EQ(west["directions"], nlohmann::json::array({"SW", "W"}));
  EXPECT_EQ(west["bft_min"], 5);
  EXPECT_EQ(west["bft_max"], 7);
  EXPECT_TRUE(west["gusts_bft"].is_null());
  EXPECT_EQ(west["sea_m"], 2.5);
  EXPECT_EQ(west["visibility"], "diesig");
  EXPECT_EQ(west["text"], "S\u00fcdwest bis West 6 bis 7, sp\u00e4ter 5, See 2,5 Meter, diesig");
  EXPECT_TRUE(json["areas"][1]["id"].is_null());
  EXPECT_FALSE(json["areas"][1]["known"].get<bool>());
  EXPECT_EQ(json["bulletins"][0]["heading"], "FQEN50");
  EXPECT_EQ(json["bulletins"][0]["language"], "de");
  EXPECT_FALSE(json["bulletins"][0]["fully_read"].get<bool>());
  CliRun lines = run("seewetter --file " + (dir_ / "report.txt").string());
  EXPECT_NE(lines.out.find("Westliche Ostsee: SW bis W 6-7, sp\u00e4ter 5, See 2,5 m, diesig\n"),
            std::string::npos)
      << lines.out;
  EXPECT_NE(lines.out.find("Unbekanntes Seegebiet \"FIQCHER\": W 7\n"), std::string::npos);

  writeFile(dir_ / "warnings.txt",
            "WODL45 EDZW 100000\nSTRONG WIND, GALE AND STORM WARNINGS\nAT 10.12.2026, 00.00 UTC\n"
            "SOUTHERN BALTIC: GALE WARNING WEST-NORTHWEST 8.\n=\n");
  const auto warnings =
      nlohmann::json::parse(run("seewetter --json --file " + (dir_ / "warnings.txt").string()).out);
  ASSERT_EQ(warnings["warnings"].size(), 1u);
  EXPECT_EQ(warnings["warnings"][0]["id"], "suedliche-ostsee");
  EXPECT_EQ(warnings["warnings"][0]["level"], "Sturm");
  EXPECT_EQ(warnings["warnings"][0]["bft"], 8);
  EXPECT_EQ(warnings["warnings"][0]["directions"], nlohmann::json::array({"WNW"}));
  EXPECT_EQ(warnings["bulletins"][0]["issued"], "2026-12-10T00:00:00Z");
  EXPECT_EQ(warnings["bulletins"][0]["language"], "en");
  EXPECT_NE(run("seewetter --file " + (dir_ / "warnings.txt").string())
                .out.find("Sturmwarnung S\u00fcdliche Ostsee: WNW 8 Bft"),
            std::string::npos);

  const std::string data = " --data-folder " + dir_.string();
  const struct {
    std::string arguments;
    int status;
  } refused[] = {
      {"seewetter", 2},
      {"seewetter --json", 2},
      {"seewetter --file " + (dir_ / "report.txt").string() + data, 2},
      {"seewetter --file " + (dir_ / "missing.txt").string(), 1},
      {"seewetter --data-folder " + (dir_ / "missing").string(), 2},
      {"seewetter --bogus" + data, 2},
      {"seewetter --file " + (dir_ / "report.txt").string() + " --program-folder /x", 2},
  };
  for (const auto& c : refused) {
    CliRun failed = run(c.arguments, true);
    EXPECT_EQ(failed.status, c.status) << c.arguments;
    EXPECT_EQ(failed.out.rfind("tern-cli: ", 0), 0u) << c.arguments << ": " << failed.out;
  }
}

// The drawn cells of `arguments` (a synop command with --map), keyed by "column,row".
std::map<std::string, nlohmann::json> mapCells(const std::string& arguments) {
  CliRun r = run("synop --map " + arguments);
  EXPECT_EQ(r.status, 0);
  std::map<std::string, nlohmann::json> cells;
  for (const auto& cell : nlohmann::json::parse(r.out)) {
    cells[std::to_string(cell["column"].get<int>()) + "," +
          std::to_string(cell["row"].get<int>())] = cell;
  }
  return cells;
}

TEST_F(Cli, SynopMapDrawsTheCellsOfTheReports) {
  writeFile(dir_ / "sxen40.txt",
            "ZCZC 005\r\nSXEN40 DWAV 051200\r\nBEOBACHTUNGEN VOM 05.03.2026 12 UTC\r\n"
            "HELGOLAND SUEDWEST 5 18 KM\r\n=\r\n");
  auto coastal =
      mapCells("--bulletin " + (dir_ / "sxen40.txt").string() + " --store german --heading SXEN40");
  ASSERT_EQ(coastal.size(), 1u);
  const auto& helgoland = coastal["60,64"];
  EXPECT_EQ(helgoland["x"], 840);
  EXPECT_EQ(helgoland["y"], 616);
  EXPECT_EQ(helgoland["icon"], 2);
  EXPECT_EQ(helgoland["kind"], 2);

  // Calm, not measured, and a direction that varies (dd 99: listed, not drawn).
  writeFile(dir_ / "smvx41.txt",
            "ZCZC 001\r\nSMVX41 EDZW 051200\r\nBBXX\r\n"
            "DCALM 05124 99550 10050 41496 80000 10052=\r\n"
            "DNOWD 05124 99560 10150 41496 ///// 10052=\r\n"
            "DVARI 05124 99570 10250 41496 89905 10052=\r\n");
  auto ships =
      mapCells("--bulletin " + (dir_ / "smvx41.txt").string() + " --store german --heading SMVX41");
  ASSERT_EQ(ships.size(), 2u);
  EXPECT_EQ(ships["54,66"]["icon"], 16);
  EXPECT_EQ(ships["76,69"]["icon"], 17);
  EXPECT_EQ(ships["54,66"]["kind"], 1);

  // After a simulated read-out: every drawn cell in the map, in drawing order.
  ASSERT_EQ(run("readout --simulate --data-folder " + dir_.string()).status, 0);
  CliRun map = run("synop --map --data-folder " + dir_.string());
  ASSERT_EQ(map.status, 0);
  auto cells = nlohmann::json::parse(map.out);
  ASSERT_FALSE(cells.empty());
  int previous = -1;
  for (const auto& c : cells) {
    const int order = c["row"].get<int>() * 131 + c["column"].get<int>();
    EXPECT_GT(order, previous);
    previous = order;
    EXPECT_EQ(c["x"], c["column"].get<int>() * 14);
    EXPECT_EQ(c["y"], (108 - c["row"].get<int>()) * 14);
    EXPECT_GE(c["icon"].get<int>(), 0);
    EXPECT_LE(c["icon"].get<int>(), 17);
  }
}

TEST_F(Cli, FailuresHaveTheirExitStatus) {
  EXPECT_EQ(run("readout --port /dev/nonexistent --data-folder " + dir_.string()).status, 1);
  EXPECT_EQ(run("readout --simulate").status, 2);  // no data folder
  EXPECT_EQ(run("dump --data-folder " + (dir_ / "missing").string()).status, 2);
  EXPECT_EQ(run("nosuchcommand").status, 2);
  EXPECT_EQ(run("info --simulate").status, 0);
}

TEST_F(Cli, VersionOptionAndCommandPrintTheProgramsVersion) {
  const std::string expected = std::string("tern-cli ") + tern::kProgramVersion + "\n";
  EXPECT_EQ(run("--version").out, expected);
  EXPECT_EQ(run("version").out, expected);
  EXPECT_EQ(run("--version extra").status, 2);
}

TEST_F(Cli, WrongArgumentSetsAreRefused) {
  const std::string data = " --data-folder " + dir_.string();
  EXPECT_EQ(run("version extra").status, 2);
  EXPECT_EQ(run("version").status, 0);
  EXPECT_EQ(run("dump" + data + " stray words").status, 2);
  EXPECT_EQ(run("payload --data-folder /nonexistent").status, 1);
  EXPECT_EQ(run("schedules --data-folder /nonexistent").status, 1);
  std::ofstream(dir_ / "bulletin.txt") << "SMVX41 EDZW 051200\n";
  const std::string bulletin = " --bulletin " + (dir_ / "bulletin.txt").string();
  EXPECT_EQ(run("synop" + bulletin + data).status, 2);
  EXPECT_EQ(run("synop" + data + " --heading SMVX41").status, 2);
  EXPECT_EQ(run("synop" + bulletin + " --store german --heading SMVX41 --program-folder /x").status,
            2);
  EXPECT_EQ(run("synop" + bulletin + " --store german --heading SMVX41").status, 0);
}

TEST_F(Cli, EveryCommandExplainsItselfInGerman) {
  const std::string overview = run("--help").out;
  for (const char* command :
       {"version", "info", "payload", "schedules", "synop", "seewetter", "readout", "dump", "fax",
        "export", "update", "receive-test", "watch", "doctor"}) {
    EXPECT_NE(overview.find(std::string("\n  ") + command), std::string::npos) << command;
    // The help wins over every other word, so a half-typed command line can ask for it.
    for (const char* form : {" --help", " -h", " --data-folder /nonexistent --help"}) {
      CliRun help = run(std::string(command) + form, true);
      EXPECT_EQ(help.status, 0) << command << form << ": " << help.out;
      EXPECT_EQ(help.out.rfind(std::string("Aufruf: tern-cli ") + command, 0), 0u)
          << command << form << ": " << help.out;
    }
  }
  EXPECT_NE(run("watch --help").out.find("--on-alert BEFEHL"), std::string::npos);
  EXPECT_NE(run("readout --help").out.find("--data-folder ORDNER"), std::string::npos);
}

TEST_F(Cli, RefusalsAreGerman) {
  const struct {
    std::string arguments;
    int status;
    const char* text;
  } cases[] = {
      {"nosuchcommand", 2, "Unbekannter Befehl 'nosuchcommand'"},
      {"dump --bogus", 2, "Unbekannte Option --bogus (siehe tern-cli dump --help)"},
      {"dump --data-folder", 2, "Die Option --data-folder braucht einen Wert"},
      {"info --simulate --port /dev/null", 2, "--simulate und --port schließen einander aus"},
      {"readout --simulate", 2, "readout braucht --data-folder ORDNER"},
      {"payload --data-folder /nonexistent", 1, "Den Datenordner /nonexistent/ gibt es nicht"},
      {"fax " + dir_.string() + "/missing.bin x.bmp", 1, "kann nicht geöffnet werden"},
      {"fax a b --turn x", 2, "--turn braucht eine ganze Zahl"},
      {"receive-test --simulate --transmitter XYZ", 2, "Unbekannter Sender 'XYZ'"},
      {"schedules extra", 2, "Unerwartetes Argument extra"},
  };
  for (const auto& c : cases) {
    CliRun r = run(c.arguments, true);
    EXPECT_EQ(r.status, c.status) << c.arguments << ": " << r.out;
    EXPECT_NE(r.out.find(c.text), std::string::npos) << c.arguments << ": " << r.out;
  }
}

// Every entry of a folder: type and, for regular files, the bytes.
std::map<std::string, std::string> snapshot(const std::filesystem::path& folder) {
  std::map<std::string, std::string> out;
  for (const auto& e : std::filesystem::directory_iterator(folder)) {
    std::string value = std::to_string(static_cast<int>(e.symlink_status().type())) + ":";
    if (e.is_regular_file()) {
      std::ifstream in(e.path(), std::ios::binary);
      value += std::string(std::istreambuf_iterator<char>(in), {});
    }
    out[e.path().filename().string()] = value;
  }
  return out;
}

TEST_F(Cli, ReadOnlyCommandsReportBadFilesAndLeaveTheFolderAsItIs) {
  ASSERT_EQ(run("readout --simulate --data-folder " + dir_.string()).status, 0);
  // A damaged table, a folder and a FIFO named like data files, a FIFO as the settings file,
  // and a temporary of an interrupted write.
  std::filesystem::resize_file(dir_ / "fax_dwd_data.bin",
                               std::filesystem::file_size(dir_ / "fax_dwd_data.bin") - 5);
  std::filesystem::remove(dir_ / "dwd_e_data.bin");
  std::filesystem::create_directory(dir_ / "dwd_e_data.bin");
  std::filesystem::remove(dir_ / "navtex_490_data.bin");
  ASSERT_EQ(::mkfifo((dir_ / "navtex_490_data.bin").c_str(), 0644), 0);
  ASSERT_EQ(::mkfifo((dir_ / "TERN_CONFIG.CFG").c_str(), 0644), 0);
  std::ofstream(dir_ / "dwd_d_data.bin.tmp-Ab12Cd") << "half";
  const auto before = snapshot(dir_);

  CliRun dump = run("dump --data-folder " + dir_.string(), true);
  EXPECT_EQ(dump.status, 1);
  EXPECT_NE(dump.out.find("beschädigt: Inhalt beschädigt: " + (dir_ / "fax_dwd_data.bin").string()),
            std::string::npos)
      << dump.out;
  EXPECT_NE(dump.out.find("nicht lesbar: " + (dir_ / "navtex_490_data.bin").string() +
                          " ist keine gewöhnliche Datei"),
            std::string::npos);
  EXPECT_NE(dump.out.find("nicht lesbar: " + (dir_ / "dwd_e_data.bin").string() +
                          " kann nicht gelesen werden"),
            std::string::npos);
  EXPECT_EQ(run("synop --data-folder " + dir_.string()).status, 1);
  EXPECT_EQ(run("schedules --data-folder " + dir_.string()).status, 0);  // settings: defaults
  EXPECT_EQ(run("payload --data-folder " + dir_.string()).status, 0);
  EXPECT_TRUE(snapshot(dir_) == before) << "byte for byte, nothing renamed or removed";
}

TEST_F(Cli, ASecondWriterIsRefusedButReadersAreNot) {
  tern::FolderLock first(dir_.string());
  ASSERT_EQ(first.state(), tern::FolderLock::State::Held);
  CliRun second = run("readout --simulate --data-folder " + dir_.string(), true);
  EXPECT_EQ(second.status, 1);
  EXPECT_NE(second.out.find("Der Datenordner " + dir_.slash() +
                            " wird bereits von einem anderen TERN-Programm benutzt."),
            std::string::npos)
      << second.out;
  EXPECT_FALSE(std::filesystem::exists(dir_ / "dwd_d_data.bin")) << "it wrote nothing";
  EXPECT_EQ(run("dump --data-folder " + dir_.string()).status, 0);
}

// The simulated receiver served on a pseudo-terminal, as a real one on a serial port.
class CliOnPty : public Cli {
 protected:
  void SetUp() override {
    if (auto why = tern::testing::pseudoTerminalMissing()) GTEST_SKIP() << *why;
    Cli::SetUp();
  }
  void serve(tern::sim::Scenario s) {
    char name[256] = {};
    ASSERT_EQ(::openpty(&master_, &slave_, name, nullptr, nullptr), 0);
    path_ = name;
    receiver_ = std::make_unique<tern::sim::SimReceiver>(std::move(s), clock_);
    server_ = std::jthread(
        [this](std::stop_token st) { tern::sim::serveSimReceiver(*receiver_, master_, st); });
  }
  void TearDown() override {
    if (server_.joinable()) {
      server_.request_stop();
      server_.join();
      ::close(slave_);
      ::close(master_);
    }
  }
  tern::SystemClock clock_;
  int master_ = -1, slave_ = -1;
  std::string path_;
  std::unique_ptr<tern::sim::SimReceiver> receiver_;
  std::jthread server_;
};

TEST_F(CliOnPty, ReadoutSaysWhatFailedAfterTheLinkWasLostMidPass) {
  tern::sim::Scenario s;
  tern::sim::SimRecord chart;
  chart.code = 0;
  chart.key = "PWAB80";
  chart.received = clock_.utcNow();
  chart.data = tern::Bytes(100, 0x55);
  s.logs[tern::protocol::kGroupFax] = {chart};
  s.faults.silentFromCommand = tern::protocol::kNextRecord;  // falls silent in the fax loop
  serve(std::move(s));
  CliRun r = run("readout --port " + path_ + " --data-folder " + dir_.string(), true);
  EXPECT_EQ(r.status, 1) << r.out;
  EXPECT_NE(r.out.find("Das Auslesen von FAX wurde nicht beendet"), std::string::npos) << r.out;
}

TEST_F(Cli, FaxDecodesOneRecordingToABitmap) {
  // Nineteen runs of 197 white bits: 468 bytes, two scan lines.
  std::FILE* f = std::fopen((dir_ / "chart.bin").c_str(), "wb");
  ASSERT_NE(f, nullptr);
  for (int i = 0; i < 19; ++i) std::fputc(0xBF, f);
  std::fclose(f);
  const std::string data = (dir_ / "chart.bin").string() + " " + (dir_ / "out.bmp").string();
  CliRun plain = run("fax " + data);
  ASSERT_EQ(plain.status, 0);
  EXPECT_EQ(plain.out, "0 0 1799 1\n");
  EXPECT_EQ(std::filesystem::file_size(dir_ / "out.bmp"), 62u + 228 * 2);  // 1800 x 2, one bit

  CliRun dropped = run("fax " + data + " --quality --half --rotate 5 --turn -9000 --buffer " +
                       (dir_ / "buffer.bin").string());
  ASSERT_EQ(dropped.status, 0);
  EXPECT_EQ(dropped.out, "0 0 1799 2399\n");
  EXPECT_EQ(std::filesystem::file_size(dir_ / "out.bmp"), 118u + 600 * 900);  // 1200 x 900
  EXPECT_EQ(std::filesystem::file_size(dir_ / "buffer.bin"), 2400u * 2400);

  EXPECT_EQ(run("fax " + data + " --turn x").status, 2);
  EXPECT_EQ(run("fax " + data + " --rotate -1").status, 2);
  EXPECT_EQ(run("fax " + (dir_ / "missing.bin").string() + " x.bmp").status, 1);
}

TEST_F(Cli, FaxWithACalibrationWritesTheChartAsMaps) {
  const tern::testing::GraticuleChart& chart = tern::testing::MercatorChart();
  const tern::Bytes data = chart.faxData();
  std::ofstream(dir_ / "chart.bin", std::ios::binary)
      .write(reinterpret_cast<const char*>(data.data()), static_cast<std::streamsize>(data.size()));
  tern::Calibration calibration = chart.calibrate({{10, -70}, {60, 10}, {30, -40}});
  calibration.points[2].row += 12;  // clicked beside the crossing
  std::ofstream(dir_ / "chart.txt") << tern::FormatCalibration(calibration);
  const std::string out = (dir_ / "atlantic").string();

  // Given with an extension, OUT still names the pair.
  CliRun r = run("fax " + (dir_ / "chart.bin").string() + " " + out + ".tif --geo " +
                 (dir_ / "chart.txt").string());
  ASSERT_EQ(r.status, 0) << r.out;
  EXPECT_NE(r.out.find("Projektion: +proj=merc +lon_0=-34 "), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("Punkt 3: Abweichung "), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("(mehr als 5 px: bitte prüfen)"), std::string::npos) << r.out;
  EXPECT_TRUE(std::filesystem::exists(out + ".tif"));
  EXPECT_TRUE(std::filesystem::exists(out + ".mbtiles"));
  EXPECT_FALSE(std::filesystem::exists(out + ".tif.tif"));

  std::ofstream(dir_ / "flat.txt")
      << "projection=polar-north\npoint=10,10,50,0\npoint=900,10,50,40\n";
  CliRun refused = run("fax " + (dir_ / "chart.bin").string() + " " + (dir_ / "flat").string() +
                           " --geo " + (dir_ / "flat.txt").string(),
                       true);
  EXPECT_EQ(refused.status, 1);
  EXPECT_NE(refused.out.find("Alle Punkte liegen auf demselben Breitenkreis"), std::string::npos);
  EXPECT_FALSE(std::filesystem::exists(dir_ / "flat.tif"));

  // A point typed far beyond the 1800 x 2400 chart, and a full disk (a file size limit, the
  // signal it raises ignored): refused, with nothing written.
  tern::Calibration far = calibration;
  far.points[1].column = 90000;
  std::ofstream(dir_ / "far.txt") << tern::FormatCalibration(far);
  struct Case {
    const char* calibration;
    const char* limits;
    const char* error;
  } cases[] = {
      {"far.txt", "", "Punkt 2 (Spalte 90000, Zeile "},
      {"chart.txt", "trap '' XFSZ; ulimit -f 16;", "nicht geschrieben werden"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.calibration);
    CliRun failed = run("fax " + (dir_ / "chart.bin").string() + " " + (dir_ / "failed").string() +
                            " --geo " + (dir_ / c.calibration).string(),
                        true, c.limits);
    EXPECT_EQ(failed.status, 1) << failed.out;
    EXPECT_NE(failed.out.find(c.error), std::string::npos) << failed.out;
    EXPECT_EQ(failed.out.find("Geschrieben"), std::string::npos) << failed.out;
    EXPECT_FALSE(std::filesystem::exists(dir_ / "failed.tif"));
    EXPECT_FALSE(std::filesystem::exists(dir_ / "failed.mbtiles"));
  }
}

// A copy of tern-cli without the map and web modules beside it: everything else works, a
// chart to place and a page to serve are refused with the reason instead of a crash.
TEST_F(Cli, WithoutTheModulesOnlyChartPlacingAndTheWebPageAreRefused) {
  const std::filesystem::path alone = dir_ / "alone";
  std::filesystem::create_directories(alone);
  std::filesystem::copy_file(std::string(TERN_BIN_DIR) + "/tern-cli", alone / "tern-cli");
  const tern::testing::GraticuleChart& chart = tern::testing::LatLonChart();
  const tern::Bytes data = chart.faxData();
  std::ofstream(dir_ / "chart.bin", std::ios::binary)
      .write(reinterpret_cast<const char*>(data.data()), static_cast<std::streamsize>(data.size()));
  std::ofstream(dir_ / "chart.txt")
      << tern::FormatCalibration(chart.calibrate({{-20, -60}, {70, 10}}));

  const std::string cli = "timeout 60 " + (alone / "tern-cli").string() + " ";
  auto status = [](const std::string& command, const std::string& errors = "/dev/null") {
    const int raw = std::system((command + " >/dev/null 2>" + errors).c_str());
    return WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  };
  EXPECT_EQ(status(cli + "version"), 0);
  EXPECT_EQ(
      status(cli + "fax " + (dir_ / "chart.bin").string() + " " + (dir_ / "flat.bmp").string()), 0);
  const std::string refused = (dir_ / "refused.txt").string();
  EXPECT_EQ(status(cli + "fax " + (dir_ / "chart.bin").string() + " " + (dir_ / "map").string() +
                       " --geo " + (dir_ / "chart.txt").string(),
                   refused),
            1);
  std::stringstream text;
  text << std::ifstream(refused).rdbuf();
  EXPECT_NE(
      text.str().find("sind nicht installiert: " + (alone / "tern-geo.so").string() + " fehlt."),
      std::string::npos)
      << text.str();
  EXPECT_FALSE(std::filesystem::exists(dir_ / "map.tif"));

  const std::string noPage = (dir_ / "no-page.txt").string();
  EXPECT_EQ(
      status(cli + "watch --simulate --http 127.0.0.1:0 --data-folder " + (dir_ / "data").string(),
             noPage),
      1);
  std::stringstream page;
  page << std::ifstream(noPage).rdbuf();
  EXPECT_NE(page.str().find("Die Web-Seite ist nicht installiert: " +
                            (alone / "tern-web.so").string() + " fehlt."),
            std::string::npos)
      << page.str();
}

TEST_F(Cli, UpdateOfTheSimulatedReceiverStoresItsMessagesFirstAndRunsOnlyWhenForced) {
  // A user's data folder of its own: no firmware files and no messages of the test user's.
  const std::string home = "XDG_DATA_HOME=" + (dir_ / "share").string();
  const std::string data = " --data-folder " + (dir_ / "data").string();
  CliRun forced = run("update --simulate --force" + data + " </dev/null", true, home);
  EXPECT_EQ(forced.status, 0) << forced.out;
  std::size_t at = 0;
  for (const char* text : {"Angebotene Firmware: 1.2.4", "Meldungen werden gelesen ...",
                           "Bootloader wird übertragen ...", "Firmware wird verifiziert ...",
                           "  Seite 1 von 127\n  Seite 2 von 127\n", "  Seite 127 von 127",
                           "Programmierung gestartet ..."}) {
    at = forced.out.find(text, at);
    EXPECT_NE(at, std::string::npos) << text << " in order in\n" << forced.out;
  }
  // The demo receiver's messages were stored before its memory was formatted.
  auto json = nlohmann::json::parse(run("dump" + data).out);
  for (int table : {0, 2}) EXPECT_FALSE(json["tables"][table]["records"].empty()) << table;
  EXPECT_GT(json["barometer"]["count"].get<int>(), 0);

  // Up to date: nothing written, said on one line, and no failure for a periodic script.
  CliRun upToDate = run("update --simulate" + data, true, home);
  EXPECT_EQ(upToDate.status, 0) << upToDate.out;
  EXPECT_NE(upToDate.out.find("Die Firmware des Empfängers ist aktuell (1.2.4)"), std::string::npos)
      << upToDate.out;
  EXPECT_EQ(upToDate.out.find("Bootloader"), std::string::npos);
  // No receiver and no installed images: told in German, nothing done.
  CliRun noFiles =
      run("update --force --port /nonexistent/tty --program-folder " + dir_.string(), true, home);
  EXPECT_EQ(noFiles.status, 1);
  EXPECT_NE(noFiles.out.find("Es sind keine Firmware-Dateien installiert"), std::string::npos);
  EXPECT_NE(noFiles.out.find((dir_ / "share/TERN/firmware/").string()), std::string::npos);
}

// The update on receivers reached as real ones, with the images and their manifest in the
// user's own firmware folder.
TEST_F(Cli, ALostAcknowledgementIsToldAndOnlyTheNewFirmwareExitsZero) {
  using tern::protocol::kStartProgramming;
  const std::string home = "XDG_DATA_HOME=" + (dir_ / "share").string();
  tern::testing::installTestFirmware(dir_ / "share/TERN");
  struct Case {
    const char* what;
    std::function<void(tern::sim::Scenario&)> setUp;
    int status;
    const char* text;
    int programmed;
  };
  const Case cases[] = {
      {"new firmware running", [](tern::sim::Scenario&) {}, 0, "Programmierung gestartet ...", 1},
      {"old firmware running",
       [](tern::sim::Scenario& s) { s.faults.lostRequest = kStartProgramming; }, 1,
       "arbeitet weiter mit der Firmware 1.2.3", 0},
      {"no answer", [](tern::sim::Scenario& s) { s.reprogrammingTime = std::chrono::minutes(2); },
       1, "und antwortet nicht", 1},
  };
  if (auto why = tern::testing::pseudoTerminalMissing()) GTEST_SKIP() << *why;
  // Each waits 10 s for its receiver: the three run side by side.
  std::vector<std::unique_ptr<tern::testing::PtyReceiver>> receivers;
  std::vector<std::future<CliRun>> runs;
  for (std::size_t i = 0; i < std::size(cases); ++i) {
    tern::sim::Scenario s;
    s.firmwareVersion = "1.2.3";
    s.firmwareAfterProgramming = "1.2.4";
    s.faults.shortReplyTo = kStartProgramming;  // the acknowledgement is lost
    s.faults.shortReplyBy = 2;
    cases[i].setUp(s);
    receivers.push_back(std::make_unique<tern::testing::PtyReceiver>(std::move(s)));
    const std::string arguments = "update --port " + receivers.back()->path + " --data-folder " +
                                  (dir_ / ("data" + std::to_string(i))).string() + " </dev/null";
    runs.push_back(std::async(std::launch::async, [=] { return run(arguments, true, home); }));
  }
  for (std::size_t i = 0; i < std::size(cases); ++i) {
    const CliRun r = runs[i].get();
    EXPECT_EQ(r.status, cases[i].status) << cases[i].what << ":\n" << r.out;
    EXPECT_NE(r.out.find("Empfänger nicht trennen!"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find(cases[i].text), std::string::npos) << r.out;
    EXPECT_EQ(receivers[i]->receiver.programmingStarts(), cases[i].programmed) << cases[i].what;
  }
}

TEST_F(Cli, ReceiveTestPrintsTheStreamUntilTheReceiverEndsIt) {
  CliRun test = run("receive-test --simulate --transmitter DDK9");
  ASSERT_EQ(test.status, 0) << test.out;
  EXPECT_EQ(test.out.rfind("Start Empfangstest DDK9\n\nRYRY", 0), 0u) << test.out;
  EXPECT_NE(test.out.find("\nSEEWETTERBERICHT FUER NORD- UND OSTSEE\n"), std::string::npos);
  EXPECT_EQ(test.out.find('\r'), std::string::npos);
  EXPECT_TRUE(test.out.ends_with("=\nEmpfangstest abgeschlossen.\n")) << test.out;

  EXPECT_EQ(run("receive-test --simulate --transmitter DDH3").status, 2);  // a fax transmitter
  EXPECT_EQ(run("receive-test --simulate").status, 2);
}

}  // namespace

namespace {

std::set<std::string> filesIn(const std::filesystem::path& folder) {
  std::set<std::string> names;
  for (const auto& e : std::filesystem::directory_iterator(folder))
    names.insert(e.path().filename());
  return names;
}

// The message data that an exported text file was written from: the line ends it added
// taken away again (the final one only when the data did not end with a line feed).
std::vector<std::string> dataCandidates(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  std::string data;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
    data += text[i];
  }
  std::vector<std::string> candidates{data};
  if (!data.empty() && data.back() == '\n') candidates.push_back(data.substr(0, data.size() - 1));
  return candidates;
}

TEST_F(Cli, ExportMirrorsTheDataFilesOfASimulatedReadout) {
  ASSERT_EQ(run("readout --simulate --data-folder " + dir_.string()).status, 0);
  const auto out = dir_ / "export";
  std::filesystem::create_directories(out);
  CliRun exported = run("export --data-folder " + dir_.string() + " " + out.string());
  ASSERT_EQ(exported.status, 0) << exported.out;
  EXPECT_EQ(filesIn(out), (std::set<std::string>{"BARO", "DWD_DEUTSCH", "DWD_ENGLISH", "FAX",
                                                 "INTERNAT", "NATIONAL", "SYNOP"}));
  EXPECT_EQ(filesIn(out / "SYNOP"), std::set<std::string>{"synop.gpx"});
  EXPECT_TRUE(filesIn(out / "BARO").empty());  // no chart without the window
  // The count said is the count of files there, the waypoint file included, on a first
  // export and on one that finds everything in place.
  auto filesBelow = [](const std::filesystem::path& folder) {
    std::size_t n = 0;
    for (const auto& e : std::filesystem::recursive_directory_iterator(folder))
      n += e.is_regular_file();
    return n;
  };
  EXPECT_NE(exported.out.find("Geschrieben: " + std::to_string(filesBelow(out)) + " Dateien\n"),
            std::string::npos)
      << exported.out;
  CliRun unchanged = run("export --data-folder " + dir_.string() + " " + out.string());
  EXPECT_EQ(unchanged.out, exported.out);

  auto json = nlohmann::json::parse(run("dump --data-folder " + dir_.string()).out);
  auto expectedNames = [](const nlohmann::json& records, bool newestOnly, const char* extension) {
    std::set<std::string> names;
    for (const auto& r : records) {
      if (newestOnly && (r["slot"] != 0 || r["length"] == 0)) continue;
      std::string key = r["key"];
      names.insert((extension[1] == 'B' ? key.substr(0, 6) : key) + extension);
    }
    return names;
  };
  EXPECT_EQ(filesIn(out / "DWD_DEUTSCH"),
            expectedNames(json["tables"][0]["records"], true, ".TXT"));
  EXPECT_EQ(filesIn(out / "DWD_ENGLISH"),
            expectedNames(json["tables"][1]["records"], true, ".TXT"));
  EXPECT_EQ(filesIn(out / "INTERNAT"), expectedNames(json["navtex_518"], false, ".TXT"));
  EXPECT_EQ(filesIn(out / "NATIONAL"), expectedNames(json["navtex_490"], false, ".TXT"));
  std::set<std::string> charts;
  for (int t = 2; t < 7; ++t) {
    const auto names = expectedNames(json["tables"][t]["records"], true, ".BMP");
    charts.insert(names.begin(), names.end());
  }
  EXPECT_EQ(filesIn(out / "FAX"), charts);

  // A text file holds the bytes of its record.
  const auto& bulletin = json["tables"][0]["records"][0];
  ASSERT_EQ(bulletin["slot"], 0);
  bool matches = false;
  for (const std::string& data :
       dataCandidates(out / "DWD_DEUTSCH" / (bulletin["key"].get<std::string>() + ".TXT")))
    matches = matches ||
              tern::sha256Hex(tern::ByteView(reinterpret_cast<const std::uint8_t*>(data.data()),
                                             data.size())) == bulletin["sha256"].get<std::string>();
  EXPECT_TRUE(matches);

  // A missing target is made (with its parents) and named; a file in its place is refused.
  const std::filesystem::path fresh = dir_ / "card" / "export";
  CliRun made = run("export --data-folder " + dir_.string() + " " + fresh.string());
  EXPECT_EQ(made.status, 0) << made.out;
  EXPECT_NE(made.out.find("Zielordner " + fresh.string() + " angelegt"), std::string::npos);
  EXPECT_TRUE(std::filesystem::is_directory(fresh / "DWD_DEUTSCH"));
  CliRun again = run("export --data-folder " + dir_.string() + " " + fresh.string());
  EXPECT_EQ(again.status, 0) << again.out;
  EXPECT_EQ(again.out.find("angelegt"), std::string::npos) << "it was there already";
  std::ofstream(dir_ / "plain") << "x";
  CliRun onFile =
      run("export --data-folder " + dir_.string() + " " + (dir_ / "plain").string(), true);
  EXPECT_EQ(onFile.status, 1);
  EXPECT_NE(onFile.out.find("ist kein Ordner"), std::string::npos) << onFile.out;
  EXPECT_EQ(run("export --data-folder " + dir_.string()).status, 2);
}

}  // namespace

// Damaged data files and an unusable settings file are said, with exit status 1, and an
// export leaves the mirror of the damaged channel as it was.
TEST_F(Cli, DamagedFilesAndUnusableSettingsAreTold) {
  const std::string data = " --data-folder " + dir_.string();
  ASSERT_EQ(run("readout --simulate" + data).status, 0);
  const auto out = dir_ / "export";
  std::filesystem::create_directories(out);
  ASSERT_EQ(run("export" + data + " " + out.string()).status, 0);
  const auto mirrored = filesIn(out / "DWD_DEUTSCH");
  ASSERT_FALSE(mirrored.empty());

  std::ofstream(dir_ / "TERN_CONFIG.CFG") << "not a settings file";
  CliRun send = run("readout --simulate --send-settings" + data, true);
  EXPECT_EQ(send.status, 1) << send.out;
  EXPECT_NE(
      send.out.find("Die Einstellungsdatei " + dir_.slash() + "TERN_CONFIG.CFG ist unbrauchbar"),
      std::string::npos)
      << send.out;
  EXPECT_EQ(send.out.find("Status: Sendeplan"), std::string::npos) << "nothing was sent";

  std::filesystem::resize_file(dir_ / "dwd_d_data.bin",
                               std::filesystem::file_size(dir_ / "dwd_d_data.bin") / 3);
  CliRun exported = run("export" + data + " " + out.string(), true);
  EXPECT_EQ(exported.status, 1) << exported.out;
  EXPECT_NE(
      exported.out.find("beschädigt: Inhalt beschädigt: " + (dir_ / "dwd_d_data.bin").string()),
      std::string::npos)
      << exported.out;
  EXPECT_EQ(filesIn(out / "DWD_DEUTSCH"), mirrored);
  EXPECT_EQ(run("synop" + data + " --gpx " + (dir_ / "s.gpx").string()).status, 1);

  CliRun again = run("readout --simulate" + data, true);
  EXPECT_EQ(again.status, 1) << again.out;
  EXPECT_NE(again.out.find("Die DWD-Nachrichten wurden bis zum Ende"), std::string::npos)
      << again.out;
  EXPECT_TRUE(std::filesystem::exists(dir_ / "dwd_d_data.bin.damaged"));
  EXPECT_EQ(run("dump" + data).status, 0) << "whole again";
}

TEST_F(Cli, SynopGpxOfTheDemoReportsValidatesAsGpx11) {
  ASSERT_EQ(run("readout --simulate --data-folder " + dir_.string()).status, 0);
  const std::string gpx = (dir_ / "synop.gpx").string();
  ASSERT_EQ(run("synop --data-folder " + dir_.string() + " --gpx " + gpx).status, 0);
  const std::string check = "xmllint --noout --schema " + std::string(TERN_TEST_DATA_DIR) +
                            "/gpx/gpx11_subset.xsd " + gpx + " 2>/dev/null";
  EXPECT_EQ(std::system(check.c_str()), 0);

  // One waypoint per report with a known position.
  auto reports = nlohmann::json::parse(run("synop --data-folder " + dir_.string()).out);
  std::size_t placed = 0;
  for (const auto& r : reports) placed += !r["latitude"].is_null() && !r["longitude"].is_null();
  std::ifstream in(gpx);
  const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  std::size_t waypoints = 0;
  for (auto at = text.find("<wpt "); at != std::string::npos; at = text.find("<wpt ", at + 1))
    ++waypoints;
  EXPECT_GT(waypoints, 0u);
  EXPECT_EQ(waypoints, placed);
}
