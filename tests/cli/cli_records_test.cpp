// tern-cli fax from a data folder and dump --text: what they take from the data files is what
// the window shows of them, found by the names the window gives them.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>

#include "cli/cli_run.h"
#include "config/schedule_table.h"
#include "config/tree_control.h"
#include "fakes/recording_sink.h"
#include "fakes/scratch_folder.h"
#include "fax/fax_image.h"
#include "geo/graticule_chart.h"
#include "messages/data_files.h"

namespace tern::testing {
namespace {

namespace fs = std::filesystem;

std::string fileText(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

MessageRecord record(std::uint8_t code, const std::string& key, int day, const Bytes& data,
                     std::uint8_t flagByte = 0) {
  MessageRecord r;
  r.header = makeHeader(code, static_cast<std::uint32_t>(data.size()), key,
                        CivilTime{2026, 12, day, 12, 30, 0, 0}, flagByte);
  r.newFlag = 1;
  r.data = data;
  return r;
}

Bytes latin1(const std::string& text) { return Bytes(text.begin(), text.end()); }

constexpr int kDwdFax = kFirstFaxTable;

// A data folder whose DWD fax file holds two charts of ASXX40 and one of ASXX69 that the
// receiver dropped for its reception quality; the settings give DWD a slant of 37. The
// charts' data bytes lie beside it as the old form of the command takes them.
class CliRecords : public ::testing::Test {
 protected:
  void SetUp() override {
    MessageTable table(kSchedules[kDwdFax].identifierCount);
    table.slot(0, 0) = record(0, "ASXX40", 10, mercator_);
    table.slot(0, 1) = record(1, "ASXX40", 9, latLon_);
    table.slot(5, 0) = record(2, "ASXX69", 10, mercator_, kQualityFlagBit);
    ASSERT_TRUE(writeDataFile(data_ / tableFileName(kDwdFax), serializeTable(table)));
    ASSERT_TRUE(writeDataFile(dir_ / "mercator.bin", mercator_));
    ASSERT_TRUE(writeDataFile(dir_ / "latlon.bin", latLon_));
    saveSettings();
  }
  void saveSettings() {
    RecordingSink sink;
    TTreeControl settings(sink, data_.string() + "/");
    settings.AddSchedules(std::string(TERN_BIN_DIR) + "/");
    settings.SetFaxTurn(kDwdFax, 37);
    ASSERT_TRUE(settings.SaveSettings());
  }
  std::string in(const char* name) const { return (dir_ / name).string(); }
  std::string folder() const { return " --data-folder " + data_.string(); }

  ScratchFolder dir_{"tern_cli_records"};
  fs::path data_ = [this] {
    fs::create_directories(dir_ / "data");
    return dir_ / "data";
  }();
  Bytes mercator_ = MercatorChart().faxData();
  Bytes latLon_ = LatLonChart().faxData();
};

TEST_F(CliRecords, AChartOfADataFolderIsThePictureOfItsRecordAsTheWindowShowsIt) {
  const struct {
    std::string fromFolder;  // the new form's choice of chart and picture
    std::string fromData;    // the old form given the record's data bytes, slant and quality
  } cases[] = {
      {"--station DWD --row ASXX40", "mercator.bin --turn 37"},
      {"--station dwd --row asxx40 --slot 1 --half --rotate 1",
       "latlon.bin --turn 37 --half "
       "--rotate 1"},
      {"--station 'FAX DWD' --row ASXX40 --slot 0 --turn 0", "mercator.bin"},
      {"--station DWD --row ASXX69", "mercator.bin --quality --turn 37"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.fromFolder);
    const CliRun shown = run("fax" + folder() + " " + c.fromFolder + " " + in("a.bmp"), true);
    const std::string data = c.fromData.substr(0, c.fromData.find(' '));
    const CliRun decoded =
        run("fax " + in(data.c_str()) + " " + in("b.bmp") + c.fromData.substr(data.size()), true);
    ASSERT_EQ(shown.status, 0) << shown.out;
    ASSERT_EQ(decoded.status, 0) << decoded.out;
    EXPECT_EQ(shown.out, decoded.out);
    EXPECT_TRUE(fileText(in("a.bmp")) == fileText(in("b.bmp"))) << "pixel for pixel";
  }
  // The slant of the settings made a difference above.
  ASSERT_EQ(run("fax " + in("mercator.bin") + " " + in("b.bmp")).status, 0);
  ASSERT_EQ(run("fax" + folder() + " --station DWD --row ASXX40 " + in("a.bmp")).status, 0);
  EXPECT_FALSE(fileText(in("a.bmp")) == fileText(in("b.bmp")));

  // An unusable settings file: drawn without slant, as the window would, and said; a slant
  // given on the command line needs no settings.
  std::ofstream(data_ / kSettingsFileName) << "not a settings file";
  const CliRun unusable =
      run("fax" + folder() + " --station DWD --row ASXX40 " + in("a.bmp"), true);
  EXPECT_EQ(unusable.status, 0) << unusable.out;
  EXPECT_NE(unusable.out.find("passt nicht zu den Sendeplan-Dateien: es gelten die "
                              "Voreinstellungen"),
            std::string::npos)
      << unusable.out;
  EXPECT_TRUE(fileText(in("a.bmp")) == fileText(in("b.bmp")));
  const CliRun given =
      run("fax" + folder() + " --station DWD --row ASXX40 --turn 0 " + in("a.bmp"), true);
  EXPECT_EQ(given.status, 0) << given.out;
  EXPECT_EQ(given.out.find("Einstellungsdatei"), std::string::npos) << given.out;
  saveSettings();

  // Placed on the earth the same way: the residuals and the map files alike (of one name: the
  // files hold it).
  fs::create_directories(dir_ / "f");
  fs::create_directories(dir_ / "d");
  std::ofstream(in("cal.txt")) << FormatCalibration(
      MercatorChart().calibrate({{10, -70}, {60, 10}, {30, -40}}));
  const CliRun map = run(
      "fax" + folder() + " --station DWD --row ASXX40 " + in("f/chart") + " --geo " + in("cal.txt"),
      true);
  ASSERT_EQ(map.status, 0) << map.out;
  const CliRun mapOfData =
      run("fax " + in("mercator.bin") + " " + in("d/chart") + " --turn 37 --geo " + in("cal.txt"),
          true);
  ASSERT_EQ(mapOfData.status, 0) << mapOfData.out;
  EXPECT_EQ(map.out.substr(0, map.out.find("Geschrieben")),
            mapOfData.out.substr(0, mapOfData.out.find("Geschrieben")));
  EXPECT_TRUE(fileText(in("f/chart.tif")) == fileText(in("d/chart.tif")));
  const CliRun dropped = run(
      "fax" + folder() + " --station DWD --row ASXX69 " + in("dropped") + " --geo " + in("cal.txt"),
      true);
  EXPECT_EQ(dropped.status, 1);
  EXPECT_NE(dropped.out.find("Der Empfänger hat diese Karte verworfen"), std::string::npos);
}

TEST_F(CliRecords, WhatIsNotThereIsSaidWithWhatIs) {
  const std::string whole = (data_ / tableFileName(kDwdFax)).string();
  const struct {
    std::string arguments;
    int status;
    std::string text;
  } cases[] = {
      {folder() + " --station DWX --row ASXX40", 2,
       "Unbekannte Faxstation 'DWX' (bekannt: DWD, NORTHWOOD, HALIFAX, BOSTON, NEW_ORLEANS)"},
      {folder() + " --station DWD --row ASXX41", 1,
       "Bei DWD gibt es keine Karte ASXX41 (gespeichert: ASXX40, ASXX69)"},
      {folder() + " --station DWD --row ASXX69 --slot 2", 1,
       "Die Karte ASXX69 von DWD hat keine Aufnahme 2 (vorhanden: 0 vom 10.12. 12:30 UTC)"},
      {folder() + " --station DWD --row ASXX40 --slot 3", 2, "--slot braucht eine Zahl von 0"},
      {folder() + " --station DWD --row ASXX40 --slot -1", 2, "--slot braucht eine Zahl von 0"},
      {folder() + " --station HALIFAX --row ASXX01", 1,
       "Bei HALIFAX gibt es keine Karte ASXX01 (es ist keine Karte gespeichert)"},
      {folder() + " --station DWD", 2, "fax --data-folder braucht --station, --row und AUS.bmp"},
      {folder() + " --station DWD --row ASXX40 --quality", 2, "--quality gilt nur für DATEN"},
      {" --data-folder " + in("missing") + " --station DWD --row ASXX40", 2,
       "Den Datenordner " + in("missing") + "/ gibt es nicht"},
      {" " + in("mercator.bin") + " --row ASXX40", 2, "--row gilt nur mit --data-folder ORDNER"},
      // The whole file where one chart's data belong: said, not drawn as a black bar.
      {" " + whole, 1,
       whole + " ist eine ganze Datendatei mit 102 Datensätzen, nicht die Daten einer Aufnahme"},
  };
  for (const auto& c : cases) {
    const CliRun r = run("fax" + c.arguments + " " + in("x.bmp"), true);
    EXPECT_EQ(r.status, c.status) << c.arguments << ": " << r.out;
    EXPECT_NE(r.out.find(c.text), std::string::npos) << c.arguments << ": " << r.out;
    EXPECT_FALSE(fs::exists(in("x.bmp"))) << c.arguments;
  }

  // A file cut inside the dropped chart: the charts before the damage are still there, and
  // the damage is said.
  // Row 0 (two charts and an empty slot), rows 1 to 4 empty, the header of row 5's chart.
  fs::resize_file(whole, 27 + mercator_.size() + 27 + latLon_.size() + 27 * 14 + 100);
  const CliRun before = run("fax" + folder() + " --station DWD --row ASXX40 " + in("x.bmp"), true);
  EXPECT_EQ(before.status, 1) << before.out;
  EXPECT_NE(before.out.find("beschädigt: "), std::string::npos) << before.out;
  EXPECT_TRUE(fs::exists(in("x.bmp")));
  const CliRun cut = run("fax" + folder() + " --station DWD --row ASXX69 " + in("y.bmp"), true);
  EXPECT_EQ(cut.status, 1) << cut.out;
  EXPECT_NE(cut.out.find("Bei DWD gibt es keine Karte ASXX69 (gespeichert: ASXX40)"),
            std::string::npos)
      << cut.out;
}

TEST_F(CliRecords, DumpTextIsTheTextTheWindowShowsInUtf8) {
  MessageTable german(kSchedules[0].identifierCount);
  // Broken off by the schedule (flag bit 0): the window adds its line about it.
  german.slot(2, 0) = record(3, "WODL45", 10,
                             latin1("ST\xDCRMISCHE B\xD6"
                                    "EN \xFC"
                                    "ber der Ostsee\r\r\nNNNN\r\r\n"),
                             1);
  german.slot(2, 1) = record(3, "WODL45", 9, latin1("ruhig"));
  ASSERT_TRUE(writeDataFile(data_ / tableFileName(0), serializeTable(german)));
  NavtexList navtex;
  const Bytes message = latin1("ZCZC SA42\r\nGEF\xC4HRDUNG\r\n");
  navtex.append(makeHeader(10, static_cast<std::uint32_t>(message.size()), "SA42",
                           CivilTime{2026, 12, 10, 13, 0, 0, 0}),
                message, 1);
  ASSERT_TRUE(writeDataFile(data_ / navtexFileName(0), serializeNavtex(navtex)));

  const CliRun plain = run("dump" + folder());
  const CliRun withText = run("dump" + folder() + " --text");
  ASSERT_EQ(plain.status, 0);
  ASSERT_EQ(withText.status, 0);
  // Parsing refuses text that is not UTF-8; the layout is the indented dump's.
  auto json = nlohmann::ordered_json::parse(withText.out);
  EXPECT_EQ(json.dump(2) + "\n", withText.out);
  const auto& bulletins = json["tables"][0]["records"];
  ASSERT_EQ(bulletins.size(), 2u);
  EXPECT_EQ(bulletins[0]["text"],
            "STÜRMISCHE BÖEN über der Ostsee\nNNNN\n\nAufzeichnung nach Sendeplan abgebrochen.");
  EXPECT_EQ(bulletins[1]["text"], "ruhig");
  EXPECT_EQ(json["navtex_" + std::string(navtexFrequency(0).name)][0]["text"],
            "ZCZC SA42\nGEFÄHRDUNG\n");
  for (const auto& chart : json["tables"][kDwdFax]["records"])
    EXPECT_FALSE(chart.contains("text")) << chart["key"];

  // Without --text: the same document without the texts.
  for (auto& table : json["tables"])
    for (auto& r : table["records"]) r.erase("text");
  for (auto& r : json["navtex_" + std::string(navtexFrequency(0).name)]) r.erase("text");
  EXPECT_EQ(json.dump(2) + "\n", plain.out);
}

}  // namespace
}  // namespace tern::testing
