// tern-cli fax: decodes one recording as the fax viewer shows a chart and writes the shown
// picture as a BMP file, so charts can be looked at and compared without the window. The
// recording is a file of its data bytes (the message data, without the record header), or a
// chart of a data folder named as the fax tree names it: station, schedule row and slot,
// decoded as the window decodes it (the record's quality flag, the station's slant of the
// folder's settings). With --geo CALIBRATION the chart is placed on the earth instead and
// written as OUT.tif (GeoTIFF) and OUT.mbtiles (Web Mercator tiles), with each calibration
// point's residual on standard output.
#include <cerrno>
#include <charconv>
#include <cstdio>
#include <iostream>
#include <optional>
#include <string>
#include <string_view>

#include "cli/cli_args.h"
#include "cli/commands.h"
#include "common/file_io.h"
#include "common/latin1.h"
#include "config/schedule_table.h"
#include "fax/bmp_writer.h"
#include "fax/fax_image.h"
#include "geo/calibration.h"
#include "geo/chart_fit.h"
#include "geo/chart_writer.h"
#include "messages/data_files.h"
#include "messages/message_record.h"
#include "presenters/fax_calibration.h"
#include "presenters/fax_chart_lookup.h"
#include "presenters/fax_map.h"

namespace tern::cli {

namespace {

std::optional<int> wholeNumber(const std::string& text) {
  int value = 0;
  const char* end = text.data() + text.size();
  auto [ptr, ec] = std::from_chars(text.data(), end, value);
  if (ec != std::errc() || ptr != end) return std::nullopt;
  return value;
}

// A calibration is a few lines of text.
constexpr std::size_t kMaxCalibrationBytes = 64 * 1024;

// OUT names the pair of files; someone who types OUT.tif or OUT.mbtiles means the same pair,
// not OUT.tif.tif.
std::string mapBase(std::string out) {
  for (std::string_view ext : {".tif", ".mbtiles"})
    if (out.size() > ext.size() && out.ends_with(ext))
      return out.substr(0, out.size() - ext.size());
  return out;
}

int writeMap(const FaxImage& image, const FaxRect& rect, const std::string& calibrationPath,
             const std::string& outPath) {
  const std::string outBase = mapBase(outPath);
  FileData text = readWholeFile(calibrationPath, kMaxCalibrationBytes);
  if (!text.status)
    return fail("Die Kalibrierung " + calibrationPath +
                    " kann nicht gelesen werden: " + text.status.message,
                1);
  const CalibrationParse parsed = ParseCalibration(
      std::string_view(reinterpret_cast<const char*>(text.bytes.data()), text.bytes.size()));
  if (!parsed.calibration) return fail(calibrationPath + ": " + parsed.error, 1);
  const ChartFit fit = FitChart(*parsed.calibration);
  if (!fit.ok()) return fail(calibrationPath + ": " + fit.error, 1);
  if (image.QualityFlag())
    return fail("Der Empfänger hat diese Karte verworfen: es gibt nichts zu georeferenzieren", 1);

  std::cout << "Projektion: " << fit.georeference->proj << '\n';
  for (std::size_t k = 0; k < fit.residuals.size(); ++k)
    std::cout << ResidualLine(k, fit.residuals[k]) << '\n';
  const ChartRaster raster = FaxChartRaster(image, rect, 0);
  if (std::string outside =
          CalibrationOutsideError(*parsed.calibration, raster.width, raster.height);
      !outside.empty())
    return fail(calibrationPath + ": " + outside, 1);
  const std::string name = outBase.substr(outBase.find_last_of('/') + 1);
  if (FileStatus s = WriteChartFiles(raster, *fit.georeference, {.name = name}, outBase); !s)
    return fail(s.message, 1);
  std::cout << "Geschrieben: " << outBase << ".tif, " << outBase << ".mbtiles\n";
  return 0;
}

// What a decode takes: the recording's data, whether the receiver dropped it, the slant.
struct Recording {
  Bytes data;
  bool quality = false;
  int turn = 0;
};

// DATEN, the old form: a file of one recording's data bytes. A whole data file given instead
// would decode as a black bar and an extra line of noise: it is refused with the way to it.
std::optional<Recording> recordingOfFile(const std::string& path, bool quality, int& status) {
  FileData data = readWholeFile(path, MessageRecord::kMaxDataLength);
  if (!data.status) {
    status = fail(data.status.message + (data.status.error == EFBIG
                                             ? " (eine Aufnahme ist nie größer; ist es eine ganze "
                                               "Datendatei? Dann --data-folder ORDNER --station "
                                               "STATION --row ZEILE)"
                                             : ""),
                  1);
    return std::nullopt;
  }
  if (const std::size_t records = wholeDataFileRecords(data.bytes); records > 0) {
    status = fail(path + " ist eine ganze Datendatei mit " + std::to_string(records) +
                      " Datensätzen, nicht die Daten einer Aufnahme: eine Karte daraus mit "
                      "--data-folder ORDNER --station STATION --row ZEILE [--slot N]",
                  1);
    return std::nullopt;
  }
  return Recording{std::move(data.bytes), quality, 0};
}

// The new form: a chart of the data folder, found in its station's data file alone (the other
// channels' files are neither read nor judged), slant and quality as the window takes them.
std::optional<Recording> recordingOfFolder(const Args& args, int& status) {
  const std::string stationName = args.value("--station").value_or("");
  const std::optional<int> station = FaxStationOf(stationName);
  if (!station) {
    std::string known;
    for (int k = 0; k < kFaxStationCount; ++k) known += (k == 0 ? "" : ", ") + FaxStationName(k);
    status = fail("Unbekannte Faxstation '" + stationName + "' (bekannt: " + known + ")");
    return std::nullopt;
  }
  std::optional<int> slot;
  if (auto text = args.value("--slot")) {
    slot = wholeNumber(*text);
    if (!slot || *slot < 0 || *slot >= MessageTable::kSlots) {
      status = fail("--slot braucht eine Zahl von 0 (die neueste Aufnahme) bis " +
                    std::to_string(MessageTable::kSlots - 1) + ", nicht '" + *text + "'");
      return std::nullopt;
    }
  }
  ReadOnlySession session(sessionOptionsOf(args), nullptr);
  if ((status = requireDataFolder(session, 2))) return std::nullopt;
  const int tableIndex = kFirstFaxTable + *station;
  MessageTable table(kSchedules[static_cast<std::size_t>(tableIndex)].identifierCount);
  const std::string path = session.DataFolder() + tableFileName(tableIndex);
  std::string problem;
  std::uint64_t serial = 0;
  const LoadResult loaded =
      loadTableFile(path, table, [&serial] { return ++serial; }, {false, &problem, nullptr});
  // A damaged file still holds its records before the damage; the chart may be among them.
  if (loaded == LoadResult::Unreadable || loaded == LoadResult::Damaged) {
    const MessageStore::LoadProblem named{path, loaded, problem};
    status = reportLoadProblems({&named, 1});
  }
  if (loaded == LoadResult::Unreadable) return std::nullopt;
  FaxChartLookup found =
      FindFaxChart(table, *station, utf8ToLatin1(args.value("--row").value_or("")), slot);
  if (!found.chart) {
    status = fail(found.error, 1);
    return std::nullopt;
  }
  Recording recording{std::move(found.chart->data),
                      (found.chart->flagByte() & kQualityFlagBit) != 0, 0};
  // The slant of the settings, unless --turn gives one.
  if (!args.value("--turn")) recording.turn = settingsOrDefaultsSaid(session).FaxTurn(tableIndex);
  return recording;
}

}  // namespace

int cmdFax(const Words& words) {
  Args args(words, {"--turn", "--rotate", "--buffer", "--geo", "--data-folder", "--program-folder",
                    "--station", "--row", "--slot"});
  if (int status = refuseOptions(args, {"--quality", "--half"}, "fax")) return status;
  const bool fromFolder = args.value("--data-folder").has_value();
  if (fromFolder) {
    if (!args.value("--station") || !args.value("--row") || args.positional().size() != 1)
      return fail(args.value("--geo")
                      ? "fax --data-folder braucht --station, --row und AUS (ohne Endung)"
                      : "fax --data-folder braucht --station, --row und AUS.bmp");
    // The record says whether the receiver dropped the chart, as it does for the window.
    if (args.flag("--quality"))
      return fail("--quality gilt nur für DATEN: bei --data-folder entscheidet die Aufnahme");
  } else {
    for (const char* option : {"--station", "--row", "--slot", "--program-folder"})
      if (args.value(option))
        return fail(std::string(option) + " gilt nur mit --data-folder ORDNER");
    if (args.positional().size() != 2)
      return fail(args.value("--geo") ? "fax --geo braucht DATEN und AUS (ohne Endung)"
                                      : "fax braucht DATEN und AUS.bmp");
  }
  const std::string& outPath = args.positional().back();

  std::optional<int> turnOption;
  if (auto text = args.value("--turn")) {
    turnOption = wholeNumber(*text);
    if (!turnOption) return fail("--turn braucht eine ganze Zahl, nicht '" + *text + "'");
  }
  int rotations = 0;
  if (auto text = args.value("--rotate")) {
    auto value = wholeNumber(*text);
    if (!value || *value < 0)
      return fail("--rotate braucht eine Zahl von Vierteldrehungen, nicht '" + *text + "'");
    rotations = *value % 4;  // four turns bring the buffer back exactly
  }

  int status = 0;
  std::optional<Recording> recording =
      fromFolder ? recordingOfFolder(args, status)
                 : recordingOfFile(args.positional().front(), args.flag("--quality"), status);
  if (!recording) return status;
  if (turnOption) recording->turn = *turnOption;

  FaxImage image;
  const FaxRect rect = image.Decode(recording->data, recording->quality, recording->turn);
  // The calibration is made on the unturned full-size chart: --rotate and --half do not
  // change the map.
  if (auto calibration = args.value("--geo")) {
    const int written = writeMap(image, rect, *calibration, outPath);
    return written != 0 ? written : status;
  }
  for (int k = 0; k < rotations; ++k) image.Rotate();
  FaxPicture picture;
  image.Render(args.flag("--half"), rotations, rect, picture);

  if (FileStatus s = writeBmp(outPath, picture); !s) return fail(s.message, 1);
  if (auto bufferPath = args.value("--buffer")) {
    if (FileStatus s = replaceFileAtomically(*bufferPath, image.Buffer()); !s)
      return fail(s.message, 1);
  }
  // A bitmap file has no text: the notice the viewer draws is told here instead.
  if (picture.notice)
    std::cerr << "tern-cli: Hinweis bei " << picture.notice->x << ' ' << picture.notice->y
              << " (nicht gezeichnet): " << picture.notice->text << '\n';
  std::cout << rect.left << ' ' << rect.top << ' ' << rect.right << ' ' << rect.bottom << '\n';
  return status;
}

}  // namespace tern::cli
