#include "seaweather/sea_map_svg.h"

#include <cstdio>

#include "common/base64.h"
#include "common/markup_escape.h"

namespace tern::seaweather {

namespace {

constexpr double kLegendHeight = 164;
constexpr WarningLevel kWarningSteps[] = {WarningLevel::StrongWind, WarningLevel::Gale,
                                          WarningLevel::Storm, WarningLevel::ViolentStorm,
                                          WarningLevel::Hurricane};

std::string num(double v) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%.1f", v);
  return buf;
}

std::string pathOf(const std::vector<MapPoint>& ring) {
  std::string d;
  for (const MapPoint& p : ring) {
    d += d.empty() ? 'M' : 'L';
    d += num(p.x) + "," + num(p.y);
  }
  return d + "Z";
}

// Dark writing on light fills, white on the dark ones.
std::string inkOn(std::uint32_t rgb) {
  const double luminance =
      0.299 * ((rgb >> 16) & 0xFF) + 0.587 * ((rgb >> 8) & 0xFF) + 0.114 * (rgb & 0xFF);
  return luminance < 128 ? "#FFFFFF" : "#111111";
}

void appendArea(std::string& out, const SeaMapArea& a) {
  out += "<g class=\"area\" data-id=\"" + markupEscape(a.id) + "\"><title>" + markupEscape(a.line) +
         "</title><path d=\"" + pathOf(a.outline) + "\" fill=\"" + colourHex(a.fill) +
         "\" stroke=\"#FFFFFF\" stroke-width=\"1.5\"/></g>\n";
}

void appendWarning(std::string& out, const SeaMapArea& a) {
  if (a.warning == WarningLevel::None) return;
  const std::string d = pathOf(a.outline);
  out += "<path d=\"" + d + "\" fill=\"none\" stroke=\"" + colourHex(kWarningEdgeColour) +
         "\" stroke-width=\"7\" stroke-linejoin=\"round\"/>\n<path d=\"" + d +
         "\" fill=\"none\" stroke=\"" + colourHex(warningColour(a.warning)) +
         "\" stroke-width=\"4\" stroke-linejoin=\"round\"/>\n";
}

void appendLabel(std::string& out, const SeaMapArea& a) {
  const std::string ink = inkOn(a.fill);
  const double x = a.label.x;
  const double y = a.label.y;
  if (a.arrowDegrees) {
    // An arrow of 26 units through the point, drawn pointing north and turned.
    out += "<path d=\"M0,13V-6M-6,-4L0,-13L6,-4Z\" fill=\"" + ink + "\" stroke=\"" + ink +
           "\" stroke-width=\"2.5\" transform=\"translate(" + num(x - 14) + " " + num(y) +
           ") rotate(" + num(*a.arrowDegrees) + ")\"/>\n";
  }
  const double textX = a.arrowDegrees ? x + 9 : x;
  // A warned area also shows its warning at the force: along a coast the outline is under
  // the land, and a lagoon's outline may be nearly all there.
  if (a.warning != WarningLevel::None) {
    const std::string box = "<rect x=\"" + num(textX - 17) + "\" y=\"" + num(y - 16) +
                            "\" width=\"34\" height=\"32\" rx=\"6\" fill=\"" + colourHex(a.fill) +
                            "\" stroke=\"";
    out += box + colourHex(kWarningEdgeColour) + "\" stroke-width=\"7\"/>\n";
    out += box + colourHex(warningColour(a.warning)) + "\" stroke-width=\"4\"/>\n";
  }
  if (a.bftMax >= 0) {
    out += "<text x=\"" + num(textX) + "\" y=\"" + num(y + 8) + "\" fill=\"" + ink +
           "\" font-size=\"24\" font-weight=\"bold\" text-anchor=\"middle\">" +
           std::to_string(a.bftMax) + "</text>\n";
  }
}

// Large enough to read where the map is shown a phone's width (about a third of its size).
void appendLegend(std::string& out, const SeaMap& map) {
  const double top = map.height + 8;
  out += "<g font-size=\"24\" fill=\"#111111\">\n<text x=\"8\" y=\"" + num(top + 24) +
         "\">Beaufort (stärkster Wind der Vorhersage)</text>\n";
  for (int bft = 0; bft <= 12; ++bft) {
    const double x = 8 + bft * 64;
    out += "<rect x=\"" + num(x) + "\" y=\"" + num(top + 36) +
           "\" width=\"62\" height=\"38\" fill=\"" + colourHex(beaufortColour(bft)) +
           "\"/><text x=\"" + num(x + 31) + "\" y=\"" + num(top + 63) +
           "\" text-anchor=\"middle\" fill=\"" + inkOn(beaufortColour(bft)) + "\">" +
           std::to_string(bft) + "</text>\n";
  }
  out += "<rect x=\"" + num(8 + 13 * 64) + "\" y=\"" + num(top + 36) +
         "\" width=\"150\" height=\"38\" fill=\"" + colourHex(kNoForecastColour) +
         "\"/><text x=\"" + num(8 + 13 * 64 + 75) + "\" y=\"" + num(top + 63) +
         "\" text-anchor=\"middle\">keine</text>\n";
  double x = 8;
  for (WarningLevel level : kWarningSteps) {
    const std::string name(levelName(level));
    out += "<rect x=\"" + num(x + 3) + "\" y=\"" + num(top + 92) +
           "\" width=\"28\" height=\"20\" fill=\"none\" stroke=\"" +
           colourHex(warningColour(level)) + "\" stroke-width=\"6\"/><text x=\"" + num(x + 40) +
           "\" y=\"" + num(top + 110) + "\">" + markupEscape(name) + "</text>\n";
    x += 56 + 13 * static_cast<double>(name.size());
  }
  std::string stand = std::string(kOutlinesNote);
  if (!map.issued.empty()) stand = "Stand " + map.issued + " · " + stand;
  out += "<text x=\"8\" y=\"" + num(top + 146) + "\">" + markupEscape(stand) + "</text>\n</g>\n";
}

}  // namespace

std::string seaMapSvg(const SeaMap& map, std::span<const unsigned char> landPng) {
  const double height = map.height + kLegendHeight;
  std::string out = "<svg xmlns=\"http://www.w3.org/2000/svg\" viewBox=\"0 0 " + num(map.width) +
                    " " + num(height) + "\" width=\"" + num(map.width) + "\" height=\"" +
                    num(height) + "\" role=\"img\" aria-label=\"Seewetterkarte\" " +
                    "font-family=\"sans-serif\">\n<rect width=\"" + num(map.width) +
                    "\" height=\"" + num(height) + "\" fill=\"#F4F6F8\"/>\n<rect width=\"" +
                    num(map.width) + "\" height=\"" + num(map.height) + "\" fill=\"" +
                    colourHex(kOpenWaterColour) + "\"/>\n";
  for (const SeaMapArea& a : map.areas) appendArea(out, a);
  for (const SeaMapArea& a : map.areas) appendWarning(out, a);
  if (!landPng.empty()) {
    out += "<image x=\"0\" y=\"0\" width=\"" + num(map.width) + "\" height=\"" + num(map.height) +
           "\" preserveAspectRatio=\"none\" href=\"data:image/png;base64,";
    out += base64(landPng);
    out += "\"/>\n";
  }
  for (const SeaMapArea& a : map.areas) appendLabel(out, a);
  appendLegend(out, map);
  return out + "</svg>\n";
}

}  // namespace tern::seaweather
