// tern-cli fax: decodes one recording's data bytes (the message data, without the record
// header) as the fax viewer shows a chart, and writes the shown picture as a BMP file, so
// charts can be looked at and compared without the window. With --geo CALIBRATION the chart
// is placed on the earth instead and written as OUT.tif (GeoTIFF) and OUT.mbtiles (Web
// Mercator tiles), with each calibration point's residual on standard output.
#include <charconv>
#include <cstdio>
#include <iostream>
#include <string>
#include <string_view>

#include "cli/cli_args.h"
#include "cli/commands.h"
#include "common/file_io.h"
#include "fax/bmp_writer.h"
#include "fax/fax_image.h"
#include "geo/calibration.h"
#include "geo/chart_fit.h"
#include "geo/chart_writer.h"
#include "messages/message_record.h"
#include "presenters/fax_calibration.h"
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

}  // namespace

int cmdFax(const Words& words) {
  Args args(words, {"--turn", "--rotate", "--buffer", "--geo"});
  if (int status = refuseOptions(args, {"--quality", "--half"}, "fax")) return status;
  if (args.positional().size() != 2)
    return fail(args.value("--geo") ? "fax --geo braucht DATEN und AUS (ohne Endung)"
                                    : "fax braucht DATEN und AUS.bmp");
  const std::string& dataPath = args.positional()[0];
  const std::string& outPath = args.positional()[1];

  int turn = 0;
  if (auto text = args.value("--turn")) {
    auto value = wholeNumber(*text);
    if (!value) return fail("--turn braucht eine ganze Zahl, nicht '" + *text + "'");
    turn = *value;
  }
  int rotations = 0;
  if (auto text = args.value("--rotate")) {
    auto value = wholeNumber(*text);
    if (!value || *value < 0)
      return fail("--rotate braucht eine Zahl von Vierteldrehungen, nicht '" + *text + "'");
    rotations = *value % 4;  // four turns bring the buffer back exactly
  }

  FileData data = readWholeFile(dataPath, MessageRecord::kMaxDataLength);
  if (!data.status) return fail(data.status.message, 1);

  FaxImage image;
  const FaxRect rect = image.Decode(data.bytes, args.flag("--quality"), turn);
  // The calibration is made on the unturned full-size chart: --rotate and --half do not
  // change the map.
  if (auto calibration = args.value("--geo")) return writeMap(image, rect, *calibration, outPath);
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
  return 0;
}

}  // namespace tern::cli
